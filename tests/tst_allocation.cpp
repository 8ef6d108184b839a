#include "data/Database.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QSet>
#include <QTest>

#ifndef HELPER_ALLOCATE
#error "HELPER_ALLOCATE must name the helper program"
#endif

// Two workstations numbering at the same moment on one database file.
class TstAllocation : public QObject
{
    Q_OBJECT

private slots:
    void twoProcessesNeverShareANumber();
    void backupWhileAnotherProcessWritesHoldsWholeTransactions();
};

void TstAllocation::twoProcessesNeverShareANumber()
{
    QTemporaryDir dir;
    const QString file = makeContractDatabase(dir.path());
    const int rounds = 400;
    QProcess a, b;
    for (QProcess* p : {&a, &b})
        p->start(QStringLiteral(HELPER_ALLOCATE), {file, QString::number(rounds)});
    for (QProcess* p : {&a, &b}) {
        QVERIFY(p->waitForFinished(120000));
        QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
    }
    QStringList lines =
        QString::fromUtf8(a.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const int fromA = int(lines.size());
    lines += QString::fromUtf8(b.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(fromA, rounds);
    QCOMPARE(lines.size(), 2 * rounds);
    QSet<QString> codes, links;
    for (const QString& line : lines) {
        codes << line.section(' ', 0, 0);
        links << line.section(' ', 1, 1);
    }
    QCOMPARE(codes.size(), 2 * rounds);
    QCOMPARE(links.size(), 2 * rounds);

    Database db;
    QVERIFY(db.open(file));
    QCOMPARE(db.scalar("SELECT count(DISTINCT F_code) FROM t_FHrec").toInt(), 2 * rounds);
    QCOMPARE(db.scalar("SELECT count(DISTINCT F_cltID) FROM Contract").toInt(), 2 * rounds);
    QCOMPARE(db.scalar("SELECT max(F_cltID) FROM Contract").toInt(), 2 * rounds);
}

// A backup taken while another workstation saves: every copy holds each
// saved transaction whole (a shipment and its contract together) or not
// at all, and stays a sound database.
void TstAllocation::backupWhileAnotherProcessWritesHoldsWholeTransactions()
{
    QTemporaryDir dir;
    const QString file = makeContractDatabase(dir.path());
    const int rounds = 600;
    QProcess writer;
    writer.start(QStringLiteral(HELPER_ALLOCATE), {file, QString::number(rounds)});
    QVERIFY(writer.waitForStarted());
    QStringList copies;
    for (int i = 0; i < 8 && writer.state() != QProcess::NotRunning; ++i) {
        const QString copy = dir.filePath(QStringLiteral("copy%1.back").arg(i));
        const AdminRun run = runAdmin({QStringLiteral("backup"), dir.path(), copy});
        QVERIFY2(run.rc == 0, qPrintable(run.err));
        copies << copy;
    }
    QVERIFY(writer.waitForFinished(120000));
    QVERIFY2(writer.exitCode() == 0, writer.readAllStandardError().constData());
    QVERIFY(!copies.isEmpty());
    for (const QString& copy : copies) {
        Database db(QStringLiteral("copy"));
        QVERIFY(db.open(copy));
        const int shipments = db.scalar("SELECT count(*) FROM t_FHrec").toInt();
        QCOMPARE(db.scalar("SELECT count(*) FROM Contract").toInt(), shipments);
        QCOMPARE(db.scalar("SELECT count(*) FROM t_FHrec WHERE F_cltID NOT IN "
                           "(SELECT F_cltID FROM Contract)")
                     .toInt(),
                 0);
        QCOMPARE(db.scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        QVERIFY(shipments <= rounds);
    }
}

QTEST_GUILESS_MAIN(TstAllocation)
#include "tst_allocation.moc"
