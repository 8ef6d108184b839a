#include "data/Database.h"
#include "reference/GoodsStore.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QSet>
#include <QSqlQuery>
#include <QTest>

#ifndef HELPER_ALLOCATE
#error "HELPER_ALLOCATE must name the helper program"
#endif

// The goods catalogue's store: list and picker queries, code allocation on
// save, and two workstations adding goods at once.
class TstGoods : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addTakesTheNextCode_data();
    void addTakesTheNextCode();
    void modifyWithAnotherGoodsCodeRenumbers_data();
    void modifyWithAnotherGoodsCodeRenumbers();
    void failedSaveWritesNothing();
    void listQuery_data();
    void listQuery();
    void pickerQuery_data();
    void pickerQuery();
    void twoConnectionsPickingStayApart();
    void readGivesTheLineValues();
    void twoProcessesNeverShareAGoodsCode();

private:
    void addGoods(const QString& code, const QString& name, const QString& type = "建材",
                  const QString& memo = QString(), double price = 10);
    QStringList codes(const SqlBuilder& b);

    QTemporaryDir* m_dir = nullptr;
    QString m_file;
    Database* m_db = nullptr;
};

void TstGoods::init()
{
    m_dir = new QTemporaryDir;
    m_file = makeContractDatabase(m_dir->path());
    m_db = new Database(QStringLiteral("goods-a"));
    QVERIFY(m_db->open(m_file));
}

void TstGoods::cleanup()
{
    delete m_db;
    m_db = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

void TstGoods::addGoods(const QString& code, const QString& name, const QString& type,
                        const QString& memo, double price)
{
    QVERIFY(m_db->exec("INSERT INTO t_goods(F_code, F_name, F_type, F_spec, F_unit, F_price, "
                       "F_memo1) VALUES(:c, :n, :t, 'S', '吨', :p, :m)",
                       {{":c", code}, {":n", name}, {":t", type}, {":p", price}, {":m", memo}}));
}

QStringList TstGoods::codes(const SqlBuilder& b)
{
    QStringList out;
    QSqlQuery q = m_db->prepare(b.sql(), b.params());
    if (!m_db->exec(q))
        return {"<failed>"};
    while (q.next())
        out << q.value(QStringLiteral("F_code")).toString();
    return out;
}

void TstGoods::addTakesTheNextCode_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("takenMeanwhile"); // by another workstation
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("first goods") << QStringList{} << "" << int(GoodsStore::Add) << "000001"
                                 << "000001";
    QTest::newRow("after 000123") << QStringList{"000005", "000123"} << "" << int(GoodsStore::Add)
                                  << "000124"
                                  << "000124";
    QTest::newRow("000124 taken meanwhile")
        << QStringList{"000123"} << "000124" << int(GoodsStore::Add) << "000124"
        << "000125";
    QTest::newRow("copy-add, 000124 taken meanwhile")
        << QStringList{"000123"} << "000124" << int(GoodsStore::CopyAdd) << "000124"
        << "000125";
}

void TstGoods::addTakesTheNextCode()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, takenMeanwhile);
    QFETCH(int, mode);
    QFETCH(QString, proposed);
    QFETCH(QString, saved);
    for (const QString& code : existing)
        addGoods(code, "货品" + code);
    const AllocatedCode shown = GoodsStore::proposeCode(*m_db);
    QVERIFY2(bool(shown), qPrintable(shown.error));
    QCOMPARE(shown.code, proposed);
    if (!takenMeanwhile.isEmpty()) {
        Database other(QStringLiteral("goods-b"));
        QVERIFY(other.open(m_file));
        QVERIFY(other.exec("INSERT INTO t_goods(F_code, F_name, F_price) VALUES(:c, '别处', 1)",
                           {{":c", takenMeanwhile}}));
    }
    GoodsRecord goods;
    goods.code = shown.code;
    goods.name = "  水泥 ";
    goods.type = "建材";
    goods.price = 450.5;
    goods.memo = " 备注 ";
    goods.stopped = true;
    QString error;
    QVERIFY2(GoodsStore::save(*m_db, GoodsStore::SaveMode(mode), &goods, &error),
             qPrintable(error));
    QCOMPARE(goods.code, saved);
    QSqlQuery q = m_db->prepare("SELECT F_ID, F_name, F_price, F_memo1, F_Flag FROM t_goods "
                                "WHERE F_code = :c",
                                {{":c", saved}});
    QVERIFY(m_db->exec(q));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toLongLong(), goods.id);
    QCOMPARE(q.value(1).toString(), QString("水泥")); // trimmed
    QCOMPARE(q.value(2).toDouble(), 450.5);
    QCOMPARE(q.value(3).toString(), QString(" 备注 ")); // memo as typed
    QCOMPARE(q.value(4).toBool(), true);
    QVERIFY(!q.next());
    QCOMPARE(m_db->scalar("SELECT count(DISTINCT F_code) FROM t_goods").toInt(),
             m_db->scalar("SELECT count(*) FROM t_goods").toInt());
}

void TstGoods::modifyWithAnotherGoodsCodeRenumbers_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("saved");
    QTest::newRow("own code kept") << "000002"
                                   << "000002";
    QTest::newRow("another goods' code: fresh code") << "000001"
                                                     << "000004";
    QTest::newRow("a free code kept") << "000009"
                                      << "000009";
}

void TstGoods::modifyWithAnotherGoodsCodeRenumbers()
{
    QFETCH(QString, code);
    QFETCH(QString, saved);
    addGoods("000001", "甲");
    addGoods("000002", "乙");
    addGoods("000003", "丙");
    GoodsRecord goods;
    goods.id = m_db->scalar("SELECT F_ID FROM t_goods WHERE F_code = '000002'").toLongLong();
    goods.code = code;
    goods.name = "乙改";
    goods.price = 3;
    QString error;
    QVERIFY2(GoodsStore::save(*m_db, GoodsStore::Modify, &goods, &error), qPrintable(error));
    QCOMPARE(goods.code, saved);
    QCOMPARE(m_db->scalar("SELECT F_code FROM t_goods WHERE F_name = '乙改'").toString(), saved);
    QCOMPARE(m_db->scalar("SELECT F_name FROM t_goods WHERE F_code = '000001'").toString(),
             QString("甲"));
    QCOMPARE(m_db->scalar("SELECT count(*) FROM t_goods").toInt(), 3);
}

void TstGoods::failedSaveWritesNothing()
{
    addGoods("000007", "甲");
    m_db->setFailureInjector(
        [](const QString& sql) { return sql.startsWith("insert into t_goods"); });
    GoodsRecord goods;
    goods.name = "乙";
    goods.price = 2;
    QString error;
    QVERIFY(!GoodsStore::save(*m_db, GoodsStore::Add, &goods, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(goods.code.isEmpty()); // nothing was written under a code
    m_db->setFailureInjector({});
    QCOMPARE(m_db->scalar("SELECT count(*) FROM t_goods").toInt(), 1);
    QVERIFY(GoodsStore::save(*m_db, GoodsStore::Add, &goods, &error));
    QCOMPARE(goods.code, QString("000008"));
}

void TstGoods::listQuery_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("all") << ""
                         << ""
                         << QStringList{"000001", "000002", "000003", "000004", "000005", "000006"};
    QTest::newRow("type prefix") << "建"
                                 << "" << QStringList{"000001", "000002", "000005", "000006"};
    QTest::newRow("type blank") << "  "
                                << "" << QStringList{"000001", "000002", "000003",
                                                     "000004", "000005", "000006"};
    QTest::newRow("code") << ""
                          << "0003" << QStringList{"000003"};
    QTest::newRow("name") << ""
                          << "钢" << QStringList{"000002", "000004"};
    QTest::newRow("memo") << ""
                          << "常用" << QStringList{"000003"};
    QTest::newRow("type and name") << "建材"
                                   << "钢" << QStringList{"000002"};
    QTest::newRow("quote") << ""
                           << "O'Neil" << QStringList{"000005"};
    QTest::newRow("percent literal") << ""
                                     << "50%" << QStringList{"000006"};
    QTest::newRow("underscore literal") << ""
                                        << "A_B" << QStringList{"000005"};
    QTest::newRow("percent in type") << "%"
                                     << "" << QStringList{};
}

void TstGoods::listQuery()
{
    QFETCH(QString, type);
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    addGoods("000001", "水泥", "建材");
    addGoods("000002", "钢筋", "建材");
    addGoods("000003", "电缆", "电气", "常用物资");
    addGoods("000004", "钢管", "管材");
    addGoods("000005", "O'Neil A_B", "建筑五金");
    addGoods("000006", "含50%铜", "建材", "AxB 500");
    QCOMPARE(codes(GoodsStore::listQuery(m_db->dialect(), type, search)), expected);
}

void TstGoods::pickerQuery_data()
{
    QTest::addColumn<QStringList>("excluded");
    QTest::addColumn<int>("contract");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("all") << QStringList{} << -1 << ""
                         << "" << QStringList{"000001", "000002", "000003", "000004"};
    QTest::newRow("picked drop out") << QStringList{"000001", "000003"} << -1 << ""
                                     << "" << QStringList{"000002", "000004"};
    QTest::newRow("the contract's goods only") << QStringList{} << 7 << ""
                                               << "" << QStringList{"000002", "000003"};
    QTest::newRow("the contract's, one picked") << QStringList{"000003"} << 7 << ""
                                                << "" << QStringList{"000002"};
    QTest::newRow("a contract without lines") << QStringList{} << 8 << ""
                                              << "" << QStringList{};
    QTest::newRow("type") << QStringList{} << -1 << "管"
                          << "" << QStringList{"000004"};
    QTest::newRow("code or name") << QStringList{} << -1 << ""
                                  << "钢" << QStringList{"000002", "000004"};
    // The picker's search leaves the memo alone.
    QTest::newRow("memo not searched") << QStringList{} << -1 << ""
                                       << "常用" << QStringList{};
    QTest::newRow("quote and underscore") << QStringList{} << -1 << ""
                                          << "'_" << QStringList{"000001"};
    QTest::newRow("percent") << QStringList{} << -1 << ""
                             << "%" << QStringList{};
}

void TstGoods::pickerQuery()
{
    QFETCH(QStringList, excluded);
    QFETCH(int, contract);
    QFETCH(QString, type);
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    addGoods("000001", "水泥'_1", "建材");
    addGoods("000002", "钢筋", "建材");
    addGoods("000003", "电缆", "电气", "常用物资");
    addGoods("000004", "钢管", "管材");
    QVERIFY(m_db->exec("INSERT INTO t_GDrec(F_cltID, F_GDcode) VALUES(7, '000002'), "
                       "(7, '000003'), (9, '000004')"));
    GoodsStore::PickerCriteria c;
    c.excluded = excluded;
    c.contractId = contract;
    c.type = type;
    c.search = search;
    QCOMPARE(codes(GoodsStore::pickerQuery(m_db->dialect(), c)), expected);
}

void TstGoods::twoConnectionsPickingStayApart()
{
    for (int i = 1; i <= 4; ++i)
        addGoods(QString::number(i).rightJustified(6, '0'), QString("货品%1").arg(i));
    Database other(QStringLiteral("goods-b"));
    QVERIFY(other.open(m_file));
    // Each picker keeps what it added; neither sees the other's.
    GoodsStore::PickerCriteria mine, theirs;
    mine.excluded = {"000001"};
    theirs.excluded = {"000002", "000003"};
    const SqlBuilder a = GoodsStore::pickerQuery(m_db->dialect(), mine);
    const SqlBuilder b = GoodsStore::pickerQuery(other.dialect(), theirs);
    QCOMPARE(codes(a), (QStringList{"000002", "000003", "000004"}));
    QSqlQuery q = other.prepare(b.sql(), b.params());
    QVERIFY(other.exec(q));
    QStringList seen;
    while (q.next())
        seen << q.value(QStringLiteral("F_code")).toString();
    QCOMPARE(seen, (QStringList{"000001", "000004"}));
    QCOMPARE(codes(a), (QStringList{"000002", "000003", "000004"}));
    // Nothing is written to the shared work table.
    QCOMPARE(m_db->scalar("SELECT count(*) FROM tempCode").toInt(), 0);
}

void TstGoods::readGivesTheLineValues()
{
    addGoods("000001", "水泥", "建材", "m", 450.25);
    GoodsRecord g;
    QString error;
    QVERIFY(GoodsStore::read(*m_db, "000001", &g, &error));
    QCOMPARE(g.name, QString("水泥"));
    QCOMPARE(g.type, QString("建材"));
    QCOMPARE(g.spec, QString("S"));
    QCOMPARE(g.unit, QString("吨"));
    QCOMPARE(g.price, 450.25);
    QVERIFY(!GoodsStore::read(*m_db, "000009", &g, &error));
    QVERIFY(error.isEmpty());
}

void TstGoods::twoProcessesNeverShareAGoodsCode()
{
    addGoods("000123", "已有");
    const int rounds = 150;
    QProcess a, b;
    for (QProcess* p : {&a, &b})
        p->start(QStringLiteral(HELPER_ALLOCATE), {m_file, QString::number(rounds), "goods"});
    for (QProcess* p : {&a, &b}) {
        QVERIFY(p->waitForFinished(120000));
        QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
    }
    QStringList lines =
        QString::fromUtf8(a.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    lines += QString::fromUtf8(b.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2 * rounds);
    QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), 2 * rounds);
    QCOMPARE(m_db->scalar("SELECT count(DISTINCT F_code) FROM t_goods").toInt(), 2 * rounds + 1);
    QCOMPARE(m_db->scalar("SELECT max(F_code) FROM t_goods").toString(),
             QString::number(123 + 2 * rounds).rightJustified(6, '0'));
}

QTEST_GUILESS_MAIN(TstGoods)
#include "tst_goods.moc"
