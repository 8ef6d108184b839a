#pragma once

#include <QString>
#include <QUrl>

class Database;

// The company that uses the system: the one row of SysInfo. Its name is
// what reports print and the session keeps (Session.SysCode).
struct CompanyInfo
{
    QString code; // company name (F_Code)
    QString name; // contact address (F_Name)
    QString manager;
    QString phone;
    QString handPhone;
    QString homepage;
    QString email;
    QString enroler;
    QString mem; // company profile, several lines

    bool operator==(const CompanyInfo&) const = default;
};

namespace CompanyInfoStore {

// The first row of SysInfo; all fields empty when there is none.
bool read(Database& db, CompanyInfo* info, QString* error);
// Stores the fields in every row of SysInfo (the table holds one), in one
// transaction. The caller re-reads the session's company name afterwards.
bool save(Database& db, const CompanyInfo& info, QString* error);

} // namespace CompanyInfoStore

// The e-mail test of the company window: ASCII letters, digits, "-", ".",
// "_" and "@" only; an "@" with something before it; no ".."; after the
// first "@" more than three characters with a "." that is followed by at
// least three more.
bool IsMailAddress(const QString& address);

// Where a home page address opens: unchanged with a scheme of its own
// ("http:", "https:"), else with "http://" in front; empty when blank.
QUrl HomePageUrl(const QString& address);
