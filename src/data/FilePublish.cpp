#include "data/FilePublish.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace FilePublish {

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The operator reads Chinese whatever the locale of the machine.
QString systemError(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹不存在");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case EROFS:
        return QStringLiteral("文件系统只读");
    case ENOSPC:
        return QStringLiteral("磁盘已满");
    case EDQUOT:
        return QStringLiteral("超出磁盘配额");
    case EIO:
        return QStringLiteral("读写磁盘出错");
    default:
        return QStringLiteral("系统错误 %1（%2）")
            .arg(code)
            .arg(QString::fromLocal8Bit(std::strerror(code)));
    }
}

void syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString createTemporaryBeside(const QString& target, QString* error)
{
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < 8; ++i)
            suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(36)]);
        const QString path = QDir(folder).filePath(info.fileName() + QLatin1Char('.') + suffix +
                                                   QStringLiteral(".tmp"));
        // O_EXCL: the name is ours only if this call made the file. The mode
        // is what any new file of the program gets (the umask applies).
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) {
            setError(error, QStringLiteral("无法在文件夹 %1 中创建临时文件：%2")
                                .arg(QDir::toNativeSeparators(folder), systemError(errno)));
            return QString();
        }
    }
    setError(
        error,
        QStringLiteral("无法在文件夹 %1 中创建临时文件").arg(QDir::toNativeSeparators(folder)));
    return QString();
}

bool syncFile(const QString& path, QString* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int code = errno;
        if (fd >= 0)
            ::close(fd);
        setError(error, QStringLiteral("无法把文件 %1 写入磁盘：%2")
                            .arg(QDir::toNativeSeparators(path), systemError(code)));
        return false;
    }
    ::close(fd);
    return true;
}

Result publish(const QString& temp, const QString& target, QString* error)
{
    const QByteArray from = QFile::encodeName(temp);
    const QByteArray to = QFile::encodeName(target);
    const auto failed = [&](int code) {
        setError(error, QStringLiteral("无法把临时文件改名为 %1：%2")
                            .arg(QDir::toNativeSeparators(target), systemError(code)));
        return Result::Failed;
    };
    const auto exists = [&] {
        setError(error, QStringLiteral("文件已存在：%1").arg(QDir::toNativeSeparators(target)));
        return Result::TargetExists;
    };
    const auto published = [&] {
        syncFolder(QFileInfo(target).absolutePath());
        return Result::Published;
    };

    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return published();
    if (errno == EEXIST)
        return exists();
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return failed(errno);

    // The file system cannot rename without replacing; a hard link claims
    // the name just as atomically.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return published();
    }
    if (errno == EEXIST)
        return exists();
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return failed(errno);

    // No hard links either (some network shares): claim the name with an
    // exclusive create, then replace that placeholder, which is ours.
    const int fd = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? exists() : failed(errno);
    ::close(fd);
    if (::rename(from.constData(), to.constData()) != 0) {
        const int code = errno;
        ::unlink(to.constData());
        return failed(code);
    }
    return published();
}

bool replace(const QString& temp, const QString& target, QString* error)
{
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        setError(error, QStringLiteral("无法把临时文件改名为 %1：%2")
                            .arg(QDir::toNativeSeparators(target), systemError(errno)));
        return false;
    }
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

void removeDatabaseFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace FilePublish
