#include "support/TestSupport.h"

#include "app/AppPaths.h"
#include "data/Database.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

TempExeDir::TempExeDir()
{
    AppPaths::setExeDirForTesting(m_dir.path());
}

TempExeDir::~TempExeDir()
{
    AppPaths::setExeDirForTesting(QString());
}

void TempExeDir::writeConfig(const QByteArray& bytes) const
{
    writeFile(file(QStringLiteral("config.ini")), bytes);
}

QString makeContractDatabase(const QString& folder)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(AppPaths::databaseFileName());
    Database db(QStringLiteral("fixture"));
    QString error;
    if (!db.create(path, &error) || !Schema::createTables(db, &error))
        qFatal("fixture database: %s", qPrintable(error));
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}
