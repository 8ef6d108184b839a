#include "data/Database.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

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
    return openConnection(filePath, FileState::Existing, {}, error);
}

bool Database::open(const QString& filePath, const OpenOptions& options, QString* error)
{
    return openConnection(filePath, FileState::Existing, options, error);
}

bool Database::create(const QString& filePath, QString* error)
{
    if (QFileInfo::exists(filePath)) {
        setError(error, QStringLiteral("文件已存在: %1").arg(filePath));
        return false;
    }
    return openConnection(filePath, FileState::New, {}, error);
}

bool Database::createInEmptyFile(const QString& filePath, QString* error)
{
    return openConnection(filePath, FileState::Empty, {}, error);
}

bool Database::openConnection(const QString& filePath, FileState state, const OpenOptions& options,
                              QString* error)
{
    close();
    const QFileInfo info(filePath);
    if (state != FileState::New && (!info.exists() || !info.isFile())) {
        setError(error, QStringLiteral("数据库文件不存在: %1").arg(filePath));
        return false;
    }
    // SQLite takes an empty file for an empty database and would write a
    // header into it; a database of ours is never empty.
    if (state == FileState::Existing && info.size() == 0) {
        setError(error, QStringLiteral("空文件不是数据库: %1").arg(filePath));
        return false;
    }
    if (state == FileState::Empty && info.size() != 0) {
        setError(error, QStringLiteral("文件不是空的: %1").arg(filePath));
        return false;
    }
    // mode=rw keeps SQLite from creating a missing file.
    const QString mode = options.readOnly          ? QStringLiteral("mode=ro")
                         : state == FileState::New ? QStringLiteral("mode=rwc")
                                                   : QStringLiteral("mode=rw");
    QString code;
    bool ok = connect(info.absoluteFilePath(), mode, error) && readsAsDatabase(error, &code);
    // SQLITE_READONLY_CANTINIT: no shared-memory file and none can be made.
    if (!ok && options.readOnly && code == QLatin1String("1544")) {
        // A WAL file in a folder that cannot be written has no shared-memory
        // file to read through. Read it as a file nobody changes: nobody can
        // be writing it without that file, and a backup is one snapshot.
        ok = connect(info.absoluteFilePath(), mode + QStringLiteral("&immutable=1"), error) &&
             readsAsDatabase(error);
    }
    if (ok) {
        m_filePath = info.absoluteFilePath();
        m_readOnly = options.readOnly;
        // Whether the file is one of ours is decided before anything is
        // written to it, the journal mode included.
        ok = (!options.accept || options.accept(*this, error)) && configure(error);
    }
    if (ok)
        return true;
    close();
    return false;
}

bool Database::connect(const QString& absolutePath, const QString& uriQuery, QString* error)
{
    close();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    QUrl url = QUrl::fromLocalFile(absolutePath);
    url.setQuery(uriQuery);
    db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open()) {
        setError(error, db.lastError().text());
        return false;
    }
    return true;
}

bool Database::readsAsDatabase(QString* error, QString* code)
{
    // The first statement reads the file header: a file that is not a
    // database fails here rather than later.
    QSqlQuery q(handle());
    if (!q.exec(m_dialect->probe())) {
        setError(error, q.lastError().text());
        if (code)
            *code = q.lastError().nativeErrorCode();
        return false;
    }
    return true;
}

bool Database::configure(QString* error)
{
    QSqlQuery q(handle());
    for (const QString& statement :
         m_dialect->connectionSetup(!m_readOnly, onNetworkFileSystem(m_filePath))) {
        if (!q.exec(statement)) {
            setError(error, q.lastError().text());
            return false;
        }
    }
    return true;
}

QString Database::whyNotWritable(const QString& filePath)
{
    // The effective rights, not the real ones: what SQLite will meet.
    const QFileInfo info(filePath);
    const QString folder = info.absolutePath();
    if (::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK, AT_EACCESS) != 0)
        return QStringLiteral(
                   "数据库所在的文件夹 %1 不能写入（修改数据需要在该文件夹中建立日志文件）")
            .arg(QDir::toNativeSeparators(folder));
    if (info.exists() &&
        ::faccessat(AT_FDCWD, QFile::encodeName(info.absoluteFilePath()).constData(), W_OK,
                    AT_EACCESS) != 0)
        return QStringLiteral("数据库文件 %1 是只读的").arg(QDir::toNativeSeparators(filePath));
    return QString();
}

QString Database::plainReason(const QString& detail)
{
    // The engine's own texts are fixed English phrases.
    static const struct
    {
        const char* engine;
        const char* plain;
    } kReasons[] = {
        {"file is not a database", "文件不是数据库"},
        {"database disk image is malformed", "数据库文件已损坏"},
        {"unable to open database file", "无法打开数据库文件（文件夹不存在或没有权限）"},
        {"attempt to write a readonly database", "数据库是只读的，不能写入"},
        {"database is locked", "数据库正被其他程序使用"},
        {"database table is locked", "数据库正被其他程序使用"},
        {"database or disk is full", "磁盘已满"},
        {"disk I/O error", "读写磁盘出错"},
        {"no such table", "数据库缺少数据表"},
        {"no such column", "数据库缺少字段"},
        {"injected failure", "数据库操作失败"},
    };
    for (const auto& r : kReasons) {
        if (detail.contains(QLatin1String(r.engine), Qt::CaseInsensitive))
            return QString::fromUtf8(r.plain);
    }
    // Texts of the program itself are Chinese already: their first line.
    QString first = detail.section(QLatin1Char('\n'), 0, 0).trimmed();
    for (const QChar c : std::as_const(first)) {
        if (c.unicode() >= 0x3000) {
            while (first.endsWith(QChar(0x3002)) || first.endsWith(QChar(0xFF01)) ||
                   first.endsWith(QLatin1Char('.')))
                first.chop(1);
            return first;
        }
    }
    return QStringLiteral("数据库操作失败");
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
    m_readOnly = false;
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

QStringList Database::parameterNames(const QString& sql)
{
    QStringList names;
    const qsizetype n = sql.size();
    const auto skipTo = [&](qsizetype from, QStringView end) {
        const qsizetype at = sql.indexOf(end, from);
        return at < 0 ? n : at + end.size();
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            i = skipTo(i + 1, QStringView(&c, 1)); // a doubled quote reopens at once
        } else if (c == QLatin1Char('[')) {
            i = skipTo(i + 1, u"]");
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            i = skipTo(i + 2, u"\n");
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            i = skipTo(i + 2, u"*/");
        } else if (c == QLatin1Char(':') && next == QLatin1Char(':')) {
            i += 2; // a type cast, not a parameter
        } else if (c == QLatin1Char(':')) {
            qsizetype end = i + 1;
            while (end < n && (sql.at(end).isLetterOrNumber() || sql.at(end) == QLatin1Char('_')))
                ++end;
            if (end > i + 1) {
                const QString name = sql.mid(i, end - i);
                if (!names.contains(name, Qt::CaseInsensitive))
                    names << name;
            }
            i = end;
        } else {
            ++i;
        }
    }
    return names;
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

bool Database::injected(const QString& sql, QString* error) const
{
    if (!m_injector || !m_injector(sql))
        return false;
    setError(error, QStringLiteral("injected failure"));
    return true;
}

SqlDialect::ReplaceResult Database::replaceContent(const QString& sourceFile, QString* error)
{
    if (!isOpen()) {
        setError(error, QStringLiteral("数据库未连接"));
        return SqlDialect::ReplaceResult::Failed;
    }
    if (m_readOnly) {
        setError(error, QStringLiteral("数据库以只读方式打开，不能恢复"));
        return SqlDialect::ReplaceResult::Failed;
    }
    if (m_depth > 0) {
        setError(error, QStringLiteral("恢复不能在事务中进行"));
        return SqlDialect::ReplaceResult::Failed;
    }
    if (injected(QStringLiteral("RESTORE FROM ") + sourceFile, error))
        return SqlDialect::ReplaceResult::Failed;
    return m_dialect->replaceContent(handle(), sourceFile, error);
}

bool Database::exec(QSqlQuery& query, QString* error)
{
    // A query whose preparation failed holds no statement; running it would
    // at best replace the real reason with "no query".
    if (query.lastQuery().isEmpty()) {
        setError(error, QStringLiteral("语句未准备好"));
        return false;
    }
    if (!query.isActive() && query.lastError().type() == QSqlError::StatementError) {
        setError(error, query.lastError().text());
        return false;
    }
    if (injected(query.lastQuery(), error))
        return false;
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
    if (injected(sql, error))
        return false;
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
    if (injected(sql, error))
        return {};
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
    const QVariant n = scalar(m_dialect->tableExists(), {{QStringLiteral(":name"), table}}, &ok);
    return ok && n.toInt() > 0;
}

bool Database::makeSelfContained(QString* error)
{
    bool ok = false;
    const QString mode = scalar(m_dialect->selfContained(), {}, &ok, error).toString();
    if (ok && mode.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
        setError(error, QStringLiteral("无法结束日志模式（%1）").arg(mode));
        ok = false;
    }
    return ok;
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
    if (injected(m_dialect->beginWrite(), error))
        return false;
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
    if (injected(QStringLiteral("COMMIT"), error)) {
        rollbackTransaction();
        return false;
    }
    if (!q.exec(QStringLiteral("COMMIT"))) {
        setError(error, q.lastError().text());
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
