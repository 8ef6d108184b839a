#include "support/TestSupport.h"

#include "app/AdminCommands.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "maintenance/DemoData.h"
#include "platform/AppPaths.h"
#include "platform/PasswordHash.h"
#include "platform/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>
#include <QTextStream>

namespace {
// Tests make many operators: hashes at the cheapest cost keep them quick.
const bool g_cheapHashes = [] {
    setPasswordHashCost(PasswordHashCost::TestingOnly);
    return true;
}();
} // namespace

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
    // A new database takes a password hash and a few thousand rows to make:
    // make it once per test program and copy it.
    static QTemporaryDir templateDir;
    const QString templateFile = templateDir.filePath(QStringLiteral("template.db"));
    if (!QFileInfo::exists(templateFile)) {
        Database db(QStringLiteral("fixture-template"));
        QString error;
        if (!db.create(templateFile, &error) || !Schema::createTables(db, &error))
            qFatal("fixture database: %s", qPrintable(error));
        QSqlQuery(db.handle()).exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(AppPaths::databaseFileName());
    if (!QFile::copy(templateFile, path))
        qFatal("cannot copy the fixture database to %s", qPrintable(path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::ReadOther);
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

AdminRun runAdmin(const QStringList& args)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int rc = AdminCommands::run(args, o, e);
    o.flush();
    e.flush();
    return {rc, out, err};
}

QString makeDemoDatabase(const QString& folder)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(AppPaths::databaseFileName());
    Database db(QStringLiteral("fixture-demo"));
    QString error;
    if (!db.create(path, &error) || !Schema::createTables(db, &error) ||
        !DemoData::fill(db, DemoData::Options{}, &error))
        qFatal("demo database: %s", qPrintable(error));
    return path;
}

FileSnapshot snapshotOf(const QString& file)
{
    FileSnapshot s;
    QFile f(file);
    if (f.open(QIODevice::ReadOnly))
        s.bytes = f.readAll();
    s.modified = QFileInfo(file).lastModified();
    s.files = QFileInfo(file).dir().entryList(QDir::Files | QDir::Hidden);
    return s;
}

bool openDataFixture(TempExeDir*& exe, ScriptedDialogs*& ui, TdmData*& dm)
{
    exe = new TempExeDir;
    makeContractDatabase(exe->file(QStringLiteral("data")));
    ui = new ScriptedDialogs;
    dm = new TdmData;
    const bool connected = dm->Connect();
    Session = SessionData{};
    return connected;
}

void closeDataFixture(TempExeDir*& exe, ScriptedDialogs*& ui, TdmData*& dm)
{
    delete dm;
    dm = nullptr;
    delete ui;
    ui = nullptr;
    delete exe;
    exe = nullptr;
    Session = SessionData{};
}
