#include "data/Database.h"
#include "data/Schema.h"
#include "data/TransactionGuard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// The command-line tool as separate processes: killed at random moments it
// leaves a whole file or none, and two runs started together on one file
// end with exactly one file, made by exactly one of them.
class TstAdminProcesses : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedCreationLeavesWholeDatabaseOrNone_data();
    void killedCreationLeavesWholeDatabaseOrNone();
    void killedBackupLeavesWholeCopyOrNone();
    void racingCreationsOneWins_data();
    void racingCreationsOneWins();
    void racingBackupsOneWins();

private:
    QTemporaryDir m_source; // a demo database that backups copy
    quint32 m_seed = 0;
    QRandomGenerator m_random;
};

namespace {

constexpr int kContracts = 40;

struct Finished
{
    int rc = -1;
    QString out;
    QString err;
};

QProcess* startAdmin(const QStringList& args, QObject* parent)
{
    auto* p = new QProcess(parent);
    p->setProgram(QStringLiteral(CONTRACT_ADMIN));
    p->setArguments(args);
    p->start();
    if (!p->waitForStarted())
        qFatal("cannot start %s", CONTRACT_ADMIN);
    return p;
}

Finished finish(QProcess* p)
{
    p->waitForFinished(60000);
    Finished f;
    f.rc = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
    f.out = QString::fromUtf8(p->readAllStandardOutput());
    f.err = QString::fromUtf8(p->readAllStandardError());
    delete p;
    return f;
}

Finished runAdmin(const QStringList& args)
{
    return finish(startAdmin(args, nullptr));
}

// Empty when the file is a whole database of the system holding `contracts`
// contracts; otherwise what is wrong with it.
QString wholeDatabaseProblem(const QString& path, int contracts)
{
    Database db(QStringLiteral("check"));
    QString error;
    if (!db.open(path, &error))
        return QStringLiteral("does not open: ") + error;
    QSqlQuery q(db.handle());
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next() ||
        q.value(0).toString() != QLatin1String("ok"))
        return QStringLiteral("integrity check: ") + q.value(0).toString();
    if (Schema::version(db) != Schema::kCurrentVersion)
        return QStringLiteral("version %1").arg(Schema::version(db));
    if (const QStringList missing = Schema::verify(db); !missing.isEmpty())
        return missing.join(QLatin1Char(';'));
    const int n = db.scalar(QStringLiteral("SELECT count(*) FROM Contract")).toInt();
    if (n != contracts)
        return QStringLiteral("%1 contracts instead of %2").arg(n).arg(contracts);
    return QString();
}

// Files in the folder other than `finalName` and the temporary files of
// unfinished runs (<finalName>.<random>.tmp and SQLite's files beside them).
QStringList strayFiles(const QString& folder, const QString& finalName)
{
    QStringList stray;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        if (name == finalName)
            continue;
        const bool temporary =
            name.startsWith(finalName + QLatin1Char('.')) &&
            (name.endsWith(QLatin1String(".tmp")) || name.endsWith(QLatin1String(".tmp-journal")) ||
             name.endsWith(QLatin1String(".tmp-wal")) || name.endsWith(QLatin1String(".tmp-shm")));
        if (!temporary)
            stray << name;
    }
    return stray;
}

} // namespace

void TstAdminProcesses::initTestCase()
{
    m_seed = QRandomGenerator::global()->generate();
    m_random.seed(m_seed);
    qInfo("kill delays from seed %u", m_seed);
    const Finished made =
        runAdmin({"demo", m_source.path(), "--contracts", QString::number(kContracts)});
    QVERIFY2(made.rc == 0, qPrintable(made.err));
    // Pictures of scanned pages make the file big enough for a backup to
    // take a while, so that kills fall inside the copy as well.
    Database db(QStringLiteral("filler"));
    QVERIFY(db.open(QDir(m_source.path()).filePath("Contract.db")));
    TransactionGuard tx(db);
    for (int i = 0; i < 600; ++i)
        QVERIFY(db.exec(QStringLiteral("INSERT INTO t_TPrec(F_cltID, F_FileName, F_HTimage) "
                                       "VALUES(1, 'scan', :image)"),
                        {{QStringLiteral(":image"), QByteArray(16384, char('a' + i % 26))}}));
    QVERIFY(tx.commit());
}

void TstAdminProcesses::killedCreationLeavesWholeDatabaseOrNone_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("contracts");
    QTest::newRow("demo") << QStringList{"demo", "--contracts", QString::number(kContracts)}
                          << kContracts;
    QTest::newRow("init") << QStringList{"init"} << 0;
}

void TstAdminProcesses::killedCreationLeavesWholeDatabaseOrNone()
{
    QFETCH(QStringList, options);
    QFETCH(int, contracts);
    const auto argsFor = [&](const QString& folder) {
        QStringList args = options;
        args.insert(1, folder);
        return args;
    };
    // One whole run gives the span in which the kills fall.
    QElapsedTimer timer;
    timer.start();
    {
        QTemporaryDir dir;
        QCOMPARE(runAdmin(argsFor(dir.path())).rc, 0);
    }
    const int span = int(timer.elapsed()) + 20;

    int whole = 0, none = 0;
    for (int round = 0; round < 4; ++round) {
        QTemporaryDir dir;
        const QString file = dir.filePath("Contract.db");
        const int delay = m_random.bounded(span);
        const QString where = QStringLiteral("seed %1, round %2, killed after %3 ms")
                                  .arg(m_seed)
                                  .arg(round)
                                  .arg(delay);
        QProcess* p = startAdmin(argsFor(dir.path()), this);
        if (!p->waitForFinished(delay))
            p->kill();
        finish(p);

        QVERIFY2(strayFiles(dir.path(), "Contract.db").isEmpty(),
                 qPrintable(where + ": " + strayFiles(dir.path(), "Contract.db").join(' ')));
        if (QFileInfo::exists(file)) {
            ++whole;
            const QString problem = wholeDatabaseProblem(file, contracts);
            QVERIFY2(problem.isEmpty(), qPrintable(where + ": " + problem));
            // A rerun leaves the database alone.
            const Finished again = runAdmin(argsFor(dir.path()));
            QCOMPARE(again.rc, 1);
            QVERIFY2(again.err.contains("不覆盖"), qPrintable(again.err));
        } else {
            ++none;
            // Nothing under the real name blocks a rerun.
            const Finished again = runAdmin(argsFor(dir.path()));
            QVERIFY2(again.rc == 0, qPrintable(where + ": " + again.err));
            const QString problem = wholeDatabaseProblem(file, contracts);
            QVERIFY2(problem.isEmpty(), qPrintable(where + ", rerun: " + problem));
        }
    }
    qInfo("%d killed before the database was in place, %d after", none, whole);
}

void TstAdminProcesses::killedBackupLeavesWholeCopyOrNone()
{
    const QString source = m_source.path();
    QElapsedTimer timer;
    timer.start();
    {
        QTemporaryDir dir;
        QCOMPARE(runAdmin({"backup", source, dir.filePath("copy.back")}).rc, 0);
    }
    const int span = int(timer.elapsed()) + 20;

    for (int round = 0; round < 4; ++round) {
        QTemporaryDir dir;
        const QString target = dir.filePath("copy.back");
        const int delay = m_random.bounded(span);
        const QString where = QStringLiteral("seed %1, round %2, killed after %3 ms")
                                  .arg(m_seed)
                                  .arg(round)
                                  .arg(delay);
        QProcess* p = startAdmin({"backup", source, target}, this);
        if (!p->waitForFinished(delay))
            p->kill();
        finish(p);

        QVERIFY2(strayFiles(dir.path(), "copy.back").isEmpty(), qPrintable(where));
        if (QFileInfo::exists(target)) {
            const QString problem = wholeDatabaseProblem(target, kContracts);
            QVERIFY2(problem.isEmpty(), qPrintable(where + ": " + problem));
            QCOMPARE(runAdmin({"backup", source, target}).rc, 1);
        } else {
            const Finished again = runAdmin({"backup", source, target});
            QVERIFY2(again.rc == 0, qPrintable(where + ": " + again.err));
            const QString problem = wholeDatabaseProblem(target, kContracts);
            QVERIFY2(problem.isEmpty(), qPrintable(where + ", rerun: " + problem));
        }
        // The database that was read is unharmed.
        QVERIFY(wholeDatabaseProblem(QDir(source).filePath("Contract.db"), kContracts).isEmpty());
    }
}

void TstAdminProcesses::racingCreationsOneWins_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("contracts");
    QTest::newRow("demo") << QStringList{"demo", "--contracts", QString::number(kContracts)}
                          << kContracts;
    QTest::newRow("init") << QStringList{"init"} << 0;
}

void TstAdminProcesses::racingCreationsOneWins()
{
    QFETCH(QStringList, options);
    QFETCH(int, contracts);
    for (int round = 0; round < 2; ++round) {
        QTemporaryDir dir;
        const QString folder = dir.filePath("new");
        QStringList args = options;
        args.insert(1, folder);
        QProcess* a = startAdmin(args, this);
        QProcess* b = startAdmin(args, this);
        const Finished first = finish(a);
        const Finished second = finish(b);
        const Finished& winner = first.rc == 0 ? first : second;
        const Finished& loser = first.rc == 0 ? second : first;
        QCOMPARE(winner.rc, 0);
        QCOMPARE(loser.rc, 1);
        QVERIFY2(loser.err.contains("已存在"), qPrintable(loser.err));
        QVERIFY(winner.out.contains(QDir(folder).filePath("Contract.db")));
        const QString problem =
            wholeDatabaseProblem(QDir(folder).filePath("Contract.db"), contracts);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // The loser cleaned up what it made and nothing else.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"Contract.db"});
    }
}

void TstAdminProcesses::racingBackupsOneWins()
{
    for (int round = 0; round < 2; ++round) {
        QTemporaryDir dir;
        const QString target = dir.filePath("same.back");
        QProcess* a = startAdmin({"backup", m_source.path(), target}, this);
        QProcess* b = startAdmin({"backup", m_source.path(), target}, this);
        const Finished first = finish(a);
        const Finished second = finish(b);
        QCOMPARE(QList<int>({first.rc, second.rc}).count(0), 1);
        const Finished& loser = first.rc == 0 ? second : first;
        QCOMPARE(loser.rc, 1);
        QVERIFY2(loser.err.contains("已存在"), qPrintable(loser.err));
        const QString problem = wholeDatabaseProblem(target, kContracts);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"same.back"});
    }
}

QTEST_GUILESS_MAIN(TstAdminProcesses)
#include "tst_admin_processes.moc"
