#pragma once

#include <QString>
#include <QStringList>

// The values fixed at login and read everywhere for the rest of the run.
struct SessionData
{
    QString OperName;
    int XtFlag = 0;   // 0 all contracts, 1 own contracts, 2 listed departments
    QString DeptList; // stored form: 'A','B'
    bool CanApprove = false;
    QString SysCode;                         // company name
    QStringList KeyValues = QStringList(16); // slots 1..15; slot 0 unused
    QString MoneyFormat;
    QString QuantityFormat; // never given a value: default number display
    QString PriceFormat;    // never given a value
    bool AutoCode = false;
    bool AutoContractCode = false;
    QString ImeName;
    int PrintRows = 5;
    int BackupMode = 0;
    bool ShowReminders = false;

    bool isAdmin() const { return OperName.trimmed().toLower() == QLatin1String("admin"); }
    // The departments of DeptList, unquoted, for binding.
    QStringList departments() const;
    QString keyValue(int slot) const { return KeyValues.value(slot); }
};

extern SessionData Session;

// Reads the stored department list form 'A','B' (quotes doubled inside a
// name, blanks around entries ignored; unquoted entries accepted as they
// stand) into its names.
QStringList parseDeptList(const QString& stored);
// The stored form of a list of department names.
QString formatDeptList(const QStringList& departments);

// The whole number of decimals a settings slot holds; `ok` is false when the
// text is not a whole number from 0 to 10, and the result is then 2.
int decimalsFromSlot(const QString& text, bool* ok = nullptr);
