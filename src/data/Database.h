#pragma once

#include "data/SqlDialect.h"

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

// Named values bound to a statement, in order: {{":id", 5}, {":name", text}}.
// QDate binds as "yyyy-MM-dd", QDateTime as "yyyy-MM-dd hh:mm:ss", bool as 1/0,
// any QString (also a null one) as text; an invalid QVariant() binds NULL.
using SqlParams = QList<QPair<QString, QVariant>>;

// One connection to a database of the system. All SQL of the program runs
// through an object of this class: it binds every value, speaks through its
// dialect where engines differ and keeps the transaction depth for
// TransactionGuard.
class Database
{
public:
    explicit Database(const QString& connectionName = QStringLiteral("contract"));
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing SQLite file; never creates one. Several processes may
    // have the file open: WAL journal on a local disk, the rollback journal on
    // a network file system, and a busy timeout so that a writer waits for
    // another instead of failing.
    bool open(const QString& filePath, QString* error = nullptr);
    // Creates a new, empty file (fails if it exists) and opens it.
    bool create(const QString& filePath, QString* error = nullptr);
    void close();
    bool isOpen() const;

    QString filePath() const { return m_filePath; }
    QString connectionName() const { return m_connectionName; }
    QSqlDatabase handle() const;
    const SqlDialect& dialect() const { return *m_dialect; }

    // Prepares `sql` and binds `params` by name. The query is not run.
    QSqlQuery prepare(const QString& sql, const SqlParams& params = {},
                      QString* error = nullptr) const;
    // Runs a statement; true when it ran.
    bool exec(const QString& sql, const SqlParams& params = {}, QString* error = nullptr);
    // Runs a prepared query; honours the failure injector.
    bool exec(QSqlQuery& query, QString* error = nullptr);
    // First column of the first row; an invalid QVariant when there is no row
    // or on failure (then `ok` is false).
    QVariant scalar(const QString& sql, const SqlParams& params = {}, bool* ok = nullptr,
                    QString* error = nullptr);

    bool tableExists(const QString& table);

    // Transactions; use TransactionGuard rather than these.
    int transactionDepth() const { return m_depth; }
    bool beginTransaction(QString* error = nullptr);
    bool commitTransaction(QString* error = nullptr);
    void rollbackTransaction();

    // Tests make a chosen statement fail to prove that a save rolls back.
    // The injector sees each statement's text; returning true fails it.
    using FailureInjector = std::function<bool(const QString& sql)>;
    void setFailureInjector(FailureInjector injector) { m_injector = std::move(injector); }

    static QVariant toSqlValue(const QVariant& value);

private:
    bool openConnection(const QString& filePath, bool mustExist, QString* error);
    bool configure(QString* error);

    QString m_connectionName;
    QString m_filePath;
    std::unique_ptr<SqlDialect> m_dialect;
    FailureInjector m_injector;
    int m_depth = 0;
    bool m_rollbackOnly = false;
};
