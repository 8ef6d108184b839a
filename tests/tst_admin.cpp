#include "app/AdminCommands.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TstAdmin : public QObject
{
    Q_OBJECT

private slots:
    void helpListsCommands();
    void wrongUse_data();
    void wrongUse();
    void initCreatesADatabaseOnce();
    void compact();
    void backup();
};

namespace {
using Run = AdminRun;

Run admin(const QStringList& args)
{
    return runAdmin(args);
}
} // namespace

void TstAdmin::helpListsCommands()
{
    const Run r = admin({"--help"});
    QCOMPARE(r.rc, 0);
    for (const char* c : {"init", "demo", "backup", "restore", "compact", "import", "report"})
        QVERIFY2(r.out.contains(QString::fromLatin1(c) + " "), c);
}

void TstAdmin::wrongUse_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown") << QStringList{"frobnicate"};
    QTest::newRow("init without folder") << QStringList{"init"};
    QTest::newRow("init with two folders") << QStringList{"init", "a", "b"};
}

void TstAdmin::wrongUse()
{
    QFETCH(QStringList, args);
    const Run r = admin(args);
    QCOMPARE(r.rc, 2);
    QVERIFY(!r.err.isEmpty());
}

void TstAdmin::initCreatesADatabaseOnce()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("new/data");
    Run r = admin({"init", folder});
    QCOMPARE(r.rc, 0);
    Database db;
    QVERIFY(db.open(folder + "/Contract.db"));
    QVERIFY(Schema::isContractDatabase(db));
    QVERIFY(db.exec("INSERT INTO Contract(F_cltID, F_name) VALUES(1, 'x')"));
    db.close();

    r = admin({"init", folder});
    QCOMPARE(r.rc, 1);
    QVERIFY(r.err.contains("不覆盖"));
    QVERIFY(db.open(folder + "/Contract.db"));
    QCOMPARE(db.scalar("SELECT count(*) FROM Contract").toInt(), 1);
}

void TstAdmin::compact()
{
    QTemporaryDir dir;
    QCOMPARE(admin({"init", dir.path()}).rc, 0);
    QCOMPARE(admin({"compact", dir.path()}).rc, 0);
    QTemporaryDir empty;
    QCOMPARE(admin({"compact", empty.path()}).rc, 1);
    QVERIFY(!QFileInfo::exists(empty.filePath("Contract.db")));
}

void TstAdmin::backup()
{
    QTemporaryDir dir;
    QCOMPARE(admin({"init", dir.path()}).rc, 0);
    {
        Database db("fill");
        QVERIFY(db.open(dir.filePath("Contract.db")));
        QVERIFY(db.exec("INSERT INTO Contract(F_cltID, F_name) VALUES(1, '备份')"));
    }
    const QString copy = dir.filePath("copy.back");
    QCOMPARE(admin({"backup", dir.path(), copy}).rc, 0);
    Database db("copy");
    QVERIFY(db.open(copy));
    QCOMPARE(db.scalar("SELECT F_name FROM Contract").toString(), QStringLiteral("备份"));
    db.close();
    // An existing file is never overwritten.
    const Run again = admin({"backup", dir.path(), copy});
    QCOMPARE(again.rc, 1);
    QCOMPARE(admin({"backup", dir.path()}).rc, 2);
}

QTEST_GUILESS_MAIN(TstAdmin)
#include "tst_admin.moc"
