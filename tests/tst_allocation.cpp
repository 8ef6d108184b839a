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

QTEST_GUILESS_MAIN(TstAllocation)
#include "tst_allocation.moc"
