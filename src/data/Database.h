#pragma once

#include "data/SqlDialect.h"

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
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

    struct OpenOptions
    {
        // Reads only: for a file or folder that cannot be written. Nothing is
        // written to the file, and no journal mode is set.
        bool readOnly = false;
        // Runs after the file has been found to be a database and before
        // anything is written to it; returning false refuses the file (the
        // connection is closed, the file untouched).
        std::function<bool(Database&, QString*)> accept;
    };

    // Opens an existing SQLite file; never creates one. Several processes may
    // have the file open: WAL journal on a local disk, the rollback journal on
    // a network file system, and a busy timeout so that a writer waits for
    // another instead of failing.
    bool open(const QString& filePath, QString* error = nullptr);
    bool open(const QString& filePath, const OpenOptions& options, QString* error = nullptr);
    // Creates a new, empty file (fails if it exists) and opens it.
    bool create(const QString& filePath, QString* error = nullptr);
    // Makes a new database in an empty file that the caller has just created
    // (a temporary file that is renamed into place when complete).
    bool createInEmptyFile(const QString& filePath, QString* error = nullptr);
    void close();
    bool isOpen() const;
    bool isReadOnly() const { return m_readOnly; }

    // Why the program could not write to the database file at `filePath`:
    // its folder or the file itself is read-only for this process. Empty when
    // both can be written.
    static QString whyNotWritable(const QString& filePath);
    // The reason of a failure in a short Chinese phrase for the operator,
    // from the detail text a call returned (often the engine's English).
    static QString plainReason(const QString& detail);

    QString filePath() const { return m_filePath; }
    QString connectionName() const { return m_connectionName; }
    QSqlDatabase handle() const;
    const SqlDialect& dialect() const { return *m_dialect; }

    // Prepares `sql` and binds `params` by name. The query is not run.
    QSqlQuery prepare(const QString& sql, const SqlParams& params = {},
                      QString* error = nullptr) const;
    // Runs a statement; true when it ran.
    bool exec(const QString& sql, const SqlParams& params = {}, QString* error = nullptr);
    // Runs a query made by prepare(); honours the failure injector. A query
    // whose preparation failed is never run: its error is returned.
    bool exec(QSqlQuery& query, QString* error = nullptr);
    // First column of the first row; an invalid QVariant when there is no row
    // or on failure (then `ok` is false).
    QVariant scalar(const QString& sql, const SqlParams& params = {}, bool* ok = nullptr,
                    QString* error = nullptr);

    bool tableExists(const QString& table);

    // Folds the journal back into the file and leaves the rollback journal
    // in force, so that the file alone holds the whole database: before a
    // new file is renamed into place. The next open turns WAL on again.
    bool makeSelfContained(QString* error = nullptr);
    // The settings every connection starts with (journal, synchronous
    // writes), applied again after a bulk load changed them.
    bool applySettings(QString* error = nullptr) { return configure(error); }

    // Replaces the whole content of the connected database by that of the
    // database file `sourceFile` (a checked copy of a backup), on this
    // connection, in one step: a failure leaves the old content. The failure
    // injector sees it as "RESTORE FROM <file>".
    SqlDialect::ReplaceResult replaceContent(const QString& sourceFile, QString* error = nullptr);

    // Transactions; use TransactionGuard rather than these.
    int transactionDepth() const { return m_depth; }
    bool beginTransaction(QString* error = nullptr);
    bool commitTransaction(QString* error = nullptr);
    void rollbackTransaction();

    // Tests make a chosen statement fail to prove that a save rolls back.
    // The injector sees each statement's text (also the one that begins a
    // transaction and COMMIT); returning true fails it.
    using FailureInjector = std::function<bool(const QString& sql)>;
    void setFailureInjector(FailureInjector injector) { m_injector = std::move(injector); }

    static QVariant toSqlValue(const QVariant& value);
    // The named parameters (":name") of a statement, each once, in order of
    // first appearance; quoted text and comments are skipped.
    static QStringList parameterNames(const QString& sql);

private:
    enum class FileState
    {
        Existing,
        New,
        Empty
    };
    bool openConnection(const QString& filePath, FileState state, const OpenOptions& options,
                        QString* error);
    bool connect(const QString& absolutePath, const QString& uriQuery, QString* error);
    bool readsAsDatabase(QString* error, QString* code = nullptr);
    bool configure(QString* error);
    bool injected(const QString& sql, QString* error) const;

    QString m_connectionName;
    QString m_filePath;
    std::unique_ptr<SqlDialect> m_dialect;
    FailureInjector m_injector;
    int m_depth = 0;
    bool m_rollbackOnly = false;
    bool m_readOnly = false;
};
