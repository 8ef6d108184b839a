#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

class Database;

// One scanned page of a contract (a t_TPrec row).
struct ScannedPage
{
    qint64 id = 0;
    int cltID = 0;
    QString fileName; // without extension
    QString fileExt;  // ".bmp", ".jpg", ".jpeg" ..., with the dot
    QByteArray image; // the picture in the format its extension names

    QString fullName() const { return fileName + fileExt; }
};

// The scanned pages stored in the database, and the picture formats their
// extensions name. Every value is bound.
class ScanStore
{
public:
    explicit ScanStore(Database& db) : m_db(db) {}

    // The pages of the contract (link number) in record order.
    bool pages(int cltID, QList<ScannedPage>* out, QString* error = nullptr);
    // The new row's F_ID, or 0 on failure.
    qint64 insert(int cltID, const QString& fileName, const QString& fileExt,
                  const QByteArray& image, QString* error = nullptr);
    bool replace(qint64 id, const QString& fileName, const QString& fileExt,
                 const QByteArray& image, QString* error = nullptr);
    bool rename(qint64 id, const QString& fileName, QString* error = nullptr);
    bool remove(qint64 id, QString* error = nullptr);

    // "BMP", "JPEG", "GIF" for the extensions that name them (any case, with
    // or without the dot), nullptr for any other.
    static const char* formatOf(const QString& ext);
    // Decoding by extension: JPEG for ".jpg"/".jpeg", a bitmap otherwise
    // (whatever the extension says, the stored bytes must be a BMP image
    // then). A null image when the bytes cannot be decoded.
    static QImage decode(const QByteArray& bytes, const QString& ext);
    // The picture encoded in the format of the extension: a bitmap for
    // ".bmp", JPEG for ".jpg"/".jpeg". Empty for any other extension.
    static QByteArray encode(const QImage& image, const QString& ext);
    // The extension of a file or image name with its dot (after the last
    // dot), and the name up to its first dot, both of the name's last
    // path component.
    static QString extensionOf(const QString& name);
    static QString baseNameOf(const QString& name);

private:
    Database& m_db;
};
