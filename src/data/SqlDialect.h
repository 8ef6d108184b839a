#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class QSqlDatabase;

// The few SQL pieces that differ between engines. Stores write portable SQL
// and ask the dialect for these, so that a second engine only needs a second
// dialect. Values typed by the operator are never passed here: they are bound.
class SqlDialect
{
public:
    virtual ~SqlDialect();

    virtual QString name() const = 0;

    // A date constant of the program (never operator text), as stored:
    // 'yyyy-MM-dd'.
    virtual QString dateLiteral(const QDate& date) const;
    // Today as a constant, taken from the program's clock.
    QString today() const;
    // Whole days from the date expression `from` to the date expression `to`.
    virtual QString daysBetween(const QString& from, const QString& to) const = 0;
    virtual QString boolLiteral(bool value) const = 0;
    // `expr = other` without regard to letter case.
    virtual QString equalsNoCase(const QString& expr, const QString& other) const = 0;
    // `expr LIKE pattern` without regard to letter case, with '\' escaping
    // the wildcards (see escapeLike).
    virtual QString likeNoCase(const QString& expr, const QString& pattern) const = 0;
    // Starts a transaction that holds the write lock from its first statement,
    // so that codes allocated inside it cannot be taken by another workstation.
    virtual QString beginWrite() const = 0;
    // The number of characters of a text expression.
    virtual QString textLength(const QString& expr) const = 0;

    // ---- The engine's own statements, for the connection, the schema and
    // maintenance; stores never need them.

    // The first read of a newly opened file: fails on a file that is not a
    // database of this engine.
    virtual QString probe() const = 0;
    // Run on every new connection.
    virtual QStringList connectionSetup(bool writable, bool networkFileSystem) const = 0;
    // Trades durability for speed while a fresh file nobody else has open is
    // filled (`begin`), and back.
    virtual QStringList bulkLoad(bool begin) const = 0;
    // Leaves the file with nothing beside it (no write-ahead log), answering
    // the journal mode in force.
    virtual QString selfContained() const = 0;
    // One row with a count, bound to :name: tables of that name, any case.
    virtual QString tableExists() const = 0;
    // The names of the program's tables, one per row.
    virtual QString tableNames() const = 0;
    // The columns of a table of ours (never operator text): rows of name,
    // declared type, and whether the column is (part of) the primary key.
    virtual QString tableColumns(const QString& table) const = 0;
    // The schema version stamped into the file; the statement that sets it.
    virtual QString readVersion() const = 0;
    virtual QString writeVersion(int version) const = 0;
    // Rows of problems; a single "ok" when the file is sound.
    virtual QString integrityCheck() const = 0;
    virtual QString compact() const = 0;
    // Folds a write-ahead log back into the file.
    virtual QString checkpoint() const = 0;
    // A consistent, compacted copy of the whole database into :target.
    virtual QString copyInto() const = 0;

    enum class ReplaceResult
    {
        Replaced,
        InUse, // another connection holds the database: nothing changed
        Failed,
    };
    // Replaces the whole content of the database open on `target` by that of
    // the database file `sourceFile`, in one step on the open connection:
    // other connections see the old content or the new one, and a failure
    // leaves the old content. Must not run inside a transaction.
    virtual ReplaceResult replaceContent(const QSqlDatabase& target, const QString& sourceFile,
                                         QString* error) const;

    // Escapes %, _ and \ so that a typed text matches literally inside a
    // LIKE pattern built by the caller ("%" + escapeLike(text) + "%").
    static QString escapeLike(const QString& text);
};

class SqliteDialect : public SqlDialect
{
public:
    QString name() const override { return QStringLiteral("sqlite"); }
    QString daysBetween(const QString& from, const QString& to) const override;
    QString boolLiteral(bool value) const override;
    QString equalsNoCase(const QString& expr, const QString& other) const override;
    QString likeNoCase(const QString& expr, const QString& pattern) const override;
    QString beginWrite() const override;
    QString textLength(const QString& expr) const override;

    QString probe() const override;
    QStringList connectionSetup(bool writable, bool networkFileSystem) const override;
    QStringList bulkLoad(bool begin) const override;
    QString selfContained() const override;
    QString tableExists() const override;
    QString tableNames() const override;
    QString tableColumns(const QString& table) const override;
    QString readVersion() const override;
    QString writeVersion(int version) const override;
    QString integrityCheck() const override;
    QString compact() const override;
    QString checkpoint() const override;
    QString copyInto() const override;
    ReplaceResult replaceContent(const QSqlDatabase& target, const QString& sourceFile,
                                 QString* error) const override;
};
