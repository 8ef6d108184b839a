#include "records/ScanStore.h"

#include "data/Database.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>

bool ScanStore::pages(int cltID, QList<ScannedPage>* out, QString* error)
{
    out->clear();
    QSqlQuery q = m_db.prepare(
        QStringLiteral("SELECT F_ID, F_cltID, F_FileName, F_FileExt, F_HTimage FROM t_TPrec "
                       "WHERE F_cltID = :cltID ORDER BY F_ID"),
        {{QStringLiteral(":cltID"), cltID}}, error);
    if (!m_db.exec(q, error))
        return false;
    while (q.next()) {
        ScannedPage p;
        p.id = q.value(0).toLongLong();
        p.cltID = q.value(1).toInt();
        p.fileName = q.value(2).toString();
        p.fileExt = q.value(3).toString();
        p.image = q.value(4).toByteArray();
        out->append(p);
    }
    return true;
}

qint64 ScanStore::insert(int cltID, const QString& fileName, const QString& fileExt,
                         const QByteArray& image, QString* error)
{
    QSqlQuery q = m_db.prepare(
        QStringLiteral("INSERT INTO t_TPrec(F_cltID, F_FileExt, F_HTimage, F_FileName) "
                       "VALUES (:cltID, :fileExt, :HTimage, :fileName)"),
        {{QStringLiteral(":cltID"), cltID},
         {QStringLiteral(":fileExt"), fileExt},
         {QStringLiteral(":HTimage"), image},
         {QStringLiteral(":fileName"), fileName}},
        error);
    if (!m_db.exec(q, error))
        return 0;
    return q.lastInsertId().toLongLong();
}

bool ScanStore::replace(qint64 id, const QString& fileName, const QString& fileExt,
                        const QByteArray& image, QString* error)
{
    return m_db.exec(QStringLiteral("UPDATE t_TPrec SET F_FileName = :fileName, "
                                    "F_FileExt = :fileExt, F_HTimage = :HTimage WHERE F_ID = :id"),
                     {{QStringLiteral(":fileName"), fileName},
                      {QStringLiteral(":fileExt"), fileExt},
                      {QStringLiteral(":HTimage"), image},
                      {QStringLiteral(":id"), id}},
                     error);
}

bool ScanStore::rename(qint64 id, const QString& fileName, QString* error)
{
    return m_db.exec(QStringLiteral("UPDATE t_TPrec SET F_FileName = :fileName WHERE F_ID = :id"),
                     {{QStringLiteral(":fileName"), fileName}, {QStringLiteral(":id"), id}}, error);
}

bool ScanStore::remove(qint64 id, QString* error)
{
    return m_db.exec(QStringLiteral("DELETE FROM t_TPrec WHERE F_ID = :id"),
                     {{QStringLiteral(":id"), id}}, error);
}

const char* ScanStore::formatOf(const QString& ext)
{
    QString e = ext.trimmed().toLower();
    if (e.startsWith(QLatin1Char('.')))
        e.remove(0, 1);
    if (e == QLatin1String("bmp"))
        return "BMP";
    if (e == QLatin1String("jpg") || e == QLatin1String("jpeg"))
        return "JPEG";
    if (e == QLatin1String("gif"))
        return "GIF";
    return nullptr;
}

QImage ScanStore::decode(const QByteArray& bytes, const QString& ext)
{
    const char* fmt = formatOf(ext);
    const bool jpeg = fmt && qstrcmp(fmt, "JPEG") == 0;
    QImage image;
    // Explicit format: a JPEG stream stored under ".bmp" is a damaged row,
    // not a picture to guess at.
    if (!image.loadFromData(bytes, jpeg ? "JPEG" : "BMP"))
        return {};
    return image;
}

QByteArray ScanStore::encode(const QImage& image, const QString& ext)
{
    const char* fmt = formatOf(ext);
    if (!fmt || qstrcmp(fmt, "GIF") == 0 || image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, fmt))
        return {};
    return bytes;
}

QString ScanStore::extensionOf(const QString& name)
{
    const QString file = QFileInfo(name).fileName();
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : file.mid(dot);
}

QString ScanStore::baseNameOf(const QString& name)
{
    const QString file = QFileInfo(name).fileName();
    const int dot = file.indexOf(QLatin1Char('.'));
    return dot < 0 ? file : file.left(dot);
}
