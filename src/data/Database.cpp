#include "data/Database.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>

#include <sys/vfs.h>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// WAL needs shared memory on one host; on a network file system several
// hosts share the file, so the rollback journal is used there.
bool onNetworkFileSystem(const QString& path)
{
    struct statfs info
    {
    };
    if (statfs(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE (sshfs and similar)
        return true;
    default:
        return false;
    }
}

} // namespace

Database::Database(const QString& connectionName)
    : m_connectionName(connectionName), m_dialect(std::make_unique<SqliteDialect>())
{
}

Database::~Database()
{
    close();
}

QSqlDatabase Database::handle() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && handle().isOpen();
}

bool Database::open(const QString& filePath, QString* error)
{
    return openConnection(filePath, true, error);
}

bool Database::create(const QString& filePath, QString* error)
{
    if (QFileInfo::exists(filePath)) {
        setError(error, QStringLiteral("文件已存在: %1").arg(filePath));
        return false;
    }
    return openConnection(filePath, false, error);
}

bool Database::openConnection(const QString& filePath, bool mustExist, QString* error)
{
    close();
    const QFileInfo info(filePath);
    if (mustExist && (!info.exists() || !info.isFile())) {
        setError(error, QStringLiteral("数据库文件不存在: %1").arg(filePath));
        return false;
    }
    // SQLite takes an empty file for an empty database and would write a
    // header into it; a database of ours is never empty.
    if (mustExist && info.size() == 0) {
        setError(error, QStringLiteral("空文件不是数据库: %1").arg(filePath));
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        // A URI with mode=rw keeps SQLite from creating a missing file.
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        url.setQuery(mustExist ? QStringLiteral("mode=rw") : QStringLiteral("mode=rwc"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) {
            setError(error, db.lastError().text());
        } else {
            m_filePath = info.absoluteFilePath();
            if (configure(error))
                return true;
        }
    }
    close();
    return false;
}

bool Database::configure(QString* error)
{
    // The first statement reads the file header: a file that is not a
    // database fails here rather than later.
    const QString journal =
        onNetworkFileSystem(m_filePath) ? QStringLiteral("DELETE") : QStringLiteral("WAL");
    QSqlQuery q(handle());
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=") + journal)) {
        setError(error, q.lastError().text());
        return false;
    }
    if (!q.exec(QStringLiteral("PRAGMA synchronous=NORMAL")) ||
        !q.exec(QStringLiteral("PRAGMA foreign_keys=OFF"))) {
        setError(error, q.lastError().text());
        return false;
    }
    return true;
}

void Database::close()
{
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    m_filePath.clear();
    m_depth = 0;
    m_rollbackOnly = false;
}

QVariant Database::toSqlValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        // A text is always bound as text, even an empty one that Qt holds as
        // a null string; only an invalid QVariant binds NULL.
        return value.toString().isNull() ? QVariant(QStringLiteral("")) : value;
    case QMetaType::QDate:
        return value.toDate().isValid()
                   ? QVariant(value.toDate().toString(QStringLiteral("yyyy-MM-dd")))
                   : QVariant(QMetaType(QMetaType::QString));
    case QMetaType::QDateTime:
        return value.toDateTime().isValid()
                   ? QVariant(value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
                   : QVariant(QMetaType(QMetaType::QString));
    case QMetaType::Bool:
        return QVariant(value.toBool() ? 1 : 0);
    default:
        return value;
    }
}

QSqlQuery Database::prepare(const QString& sql, const SqlParams& params, QString* error) const
{
    QSqlQuery q(handle());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        setError(error, q.lastError().text());
        return q;
    }
    for (const auto& [name, value] : params)
        q.bindValue(name, toSqlValue(value));
    return q;
}

bool Database::exec(QSqlQuery& query, QString* error)
{
    if (m_injector && m_injector(query.lastQuery())) {
        setError(error, QStringLiteral("injected failure"));
        return false;
    }
    if (!query.exec()) {
        setError(error, query.lastError().text());
        return false;
    }
    return true;
}

bool Database::exec(const QString& sql, const SqlParams& params, QString* error)
{
    if (!isOpen()) {
        setError(error, QStringLiteral("数据库未连接"));
        return false;
    }
    if (m_injector && m_injector(sql)) {
        setError(error, QStringLiteral("injected failure"));
        return false;
    }
    QSqlQuery q = prepare(sql, params, error);
    if (q.lastError().isValid())
        return false;
    if (!q.exec()) {
        setError(error, q.lastError().text());
        return false;
    }
    return true;
}

QVariant Database::scalar(const QString& sql, const SqlParams& params, bool* ok, QString* error)
{
    if (ok)
        *ok = false;
    if (!isOpen()) {
        setError(error, QStringLiteral("数据库未连接"));
        return {};
    }
    if (m_injector && m_injector(sql)) {
        setError(error, QStringLiteral("injected failure"));
        return {};
    }
    QSqlQuery q = prepare(sql, params, error);
    if (q.lastError().isValid() || !q.exec()) {
        setError(error, q.lastError().text());
        return {};
    }
    if (ok)
        *ok = true;
    return q.next() ? q.value(0) : QVariant();
}

bool Database::tableExists(const QString& table)
{
    bool ok = false;
    const QVariant n = scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = "
                                             "'table' AND name = :name COLLATE NOCASE"),
                              {{QStringLiteral(":name"), table}}, &ok);
    return ok && n.toInt() > 0;
}

bool Database::beginTransaction(QString* error)
{
    if (m_depth > 0) {
        ++m_depth;
        return true;
    }
    if (!isOpen()) {
        setError(error, QStringLiteral("数据库未连接"));
        return false;
    }
    QSqlQuery q(handle());
    if (!q.exec(m_dialect->beginWrite())) {
        setError(error, q.lastError().text());
        return false;
    }
    m_depth = 1;
    m_rollbackOnly = false;
    return true;
}

bool Database::commitTransaction(QString* error)
{
    if (m_depth <= 0)
        return false;
    if (m_depth > 1) {
        --m_depth;
        return !m_rollbackOnly;
    }
    if (m_rollbackOnly) {
        rollbackTransaction();
        setError(error, QStringLiteral("事务中的一步已失败，全部撤消"));
        return false;
    }
    QSqlQuery q(handle());
    if ((m_injector && m_injector(QStringLiteral("COMMIT"))) || !q.exec(QStringLiteral("COMMIT"))) {
        setError(error, q.lastError().isValid() ? q.lastError().text()
                                                : QStringLiteral("injected failure"));
        rollbackTransaction();
        return false;
    }
    m_depth = 0;
    return true;
}

void Database::rollbackTransaction()
{
    if (m_depth <= 0)
        return;
    if (m_depth > 1) {
        // An inner scope failed: the outer one may not commit.
        --m_depth;
        m_rollbackOnly = true;
        return;
    }
    QSqlQuery q(handle());
    q.exec(QStringLiteral("ROLLBACK"));
    m_depth = 0;
    m_rollbackOnly = false;
}
