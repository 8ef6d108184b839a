#pragma once

#include "data/CodeAllocation.h"
#include "data/Database.h"
#include "data/SqlBuilder.h"

#include <QString>
#include <QStringList>

// One counterpart unit (a Client row) as its windows edit it.
struct Client
{
    qint64 id = 0;
    QString code;
    QString name;
    QString type; // name path of its type node
    QString linkMan;
    QString phone;
    QString address;
    QString postcode;
    QString fax;
    QString handPhone;
    QString mem;
    bool stopped = false; // F_useFlag
    QString bank;
    QString account;
    QString ratecode;
    QString homepage;
    QString email;
    QString enrol;
};

// What the list windows of counterparts and projects search by: one of the
// search choices with its text, the type node and whether stopped rows are
// listed.
struct ReferenceListCriteria
{
    enum Choice
    {
        NoChoice = -1,
        ByCode = 0,
        ByName = 1,
        ByContact = 2,
        ByAddress = 3
    };
    int choice = NoChoice;
    QString text;     // trimmed before use
    QString typePath; // empty for the root: every type
    bool includeStopped = false;
};

// The statements of the counterpart windows. Every value is bound; search
// text is matched literally (quote, percent, underscore, backslash).
namespace ClientStore {

// The captions of the search choices, in Choice order.
QStringList searchChoices();

// The list of the counterpart list window, ordered by code.
SqlBuilder listQuery(const SqlDialect& dialect, const ReferenceListCriteria& criteria);

// The picker's list: never a stopped unit.
struct PickCriteria
{
    QString code;    // prefix
    QString name;    // anywhere
    QString address; // anywhere
    QString typePath;
};
SqlBuilder pickQuery(const SqlDialect& dialect, const PickCriteria& criteria);

// The automatic code that follows `lastCode` (the code of the most recently
// added unit): its last four digits plus one, wrapping 9999 to 0000, behind
// the same prefix; 0001 when the code does not end in four digits.
QString nextAutoCode(const QString& lastCode);
// True when the code's last four characters are digits.
bool hasNumberedTail(const QString& code);
// The next automatic code from the most recently added unit. Run inside the
// saving transaction.
AllocatedCode allocateAutoCode(Database& db);

// F_ID of a unit with the code, 0 when there is none; false on failure.
bool findByCode(Database& db, const QString& code, qint64* id, QString* error = nullptr);

// Adds the unit (the new F_ID into client->id) or rewrites the row
// client.id. Run inside the caller's transaction.
bool insert(Database& db, Client* client, QString* error = nullptr);
bool update(Database& db, const Client& client, QString* error = nullptr);

} // namespace ClientStore
