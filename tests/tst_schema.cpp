#include "data/Database.h"
#include "data/Schema.h"
#include "data/TdmData.h"
#include "platform/AppPaths.h"
#include "platform/PasswordHash.h"
#include "platform/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>

// A new database against the table layout the program is written for,
// written out here on its own so that a slip in the schema code shows.
// Each column is name:type, text columns with their width (text50); "text"
// alone is a text column of free width.
static const char* const kExpected[] = {
    "Contract F_ID:counter F_cltID:long F_code:text50 F_name:text255 F_type:text255 "
    "F_empname:text50 F_date:date F_totalPrice:double F_beginDate:date F_endDate:date "
    "F_status:text50 F_memo1:memo F_filePath:text255 F_memo2:memo F_GDflag:bool "
    "F_GDpath:text255 F_editDate:date F_OperName:text50 F_client1:text255 F_client2:text255 "
    "F_FZR1:text50 F_FZR2:text50 F_SFflag:long F_priceunit:text50 F_dept:text255 F_ZF1:text50 "
    "F_ZF2:text50 F_ZF3:text50 F_ZF4:text50 F_ZF5:text50 F_RQ1:date F_RQ2:date F_RQ3:date "
    "F_RQ4:date F_RQ5:date F_SZ1:double F_SZ2:double F_SZ3:double F_SZ4:double F_SZ5:double "
    "F_SHemp:text50 F_GCcode:text50 F_GCname:text255",
    "t_SKrec F_ID:counter F_cltID:long F_date:date F_OldCode:text50 F_YSprice:double "
    "F_YSdate:date F_SKprice:double F_SKdate:date F_KPprice:double F_memo1:memo "
    "F_operName:text50",
    "t_ZXrec F_ID:counter F_date:date F_Memo1:memo F_empName:text50 F_editDate:date "
    "F_cltID:long F_ZXdate:date F_ZXmem:memo F_GZL:text255 F_JD:text255 F_YWemp:text50",
    "t_TXrec F_ID:counter F_cltID:long F_awokeDate:date F_awokeTime:text50 F_memo1:memo "
    "F_editDate:text50 F_operName:text50 F_caption:text255",
    "t_BGrec F_ID:counter F_cltID:long F_HTcode:text50 F_HTname:text50 F_BGitem:text50 "
    "F_BGreason:memo F_BGbegin:text50 F_BGend:text50 F_STemp:text50 F_STdate:date "
    "F_PZemp:text50 F_PZdate:date F_operName:text50 F_editDate:date F_memo1:memo F_BGdate:date",
    "t_TPrec F_ID:counter F_cltID:long F_FileName:text50 F_imagePath:text255 F_FileExt:text50 "
    "F_HTimage:blob",
    "t_FJrec F_ID:counter F_cltID:long F_fileName:text50 F_filePos:text255 F_fileExt:text50 "
    "F_memo1:memo F_empName:text50 F_editDate:date F_fileOLE:blob",
    "t_GDrec F_ID:counter F_cltID:long F_GDcode:text50 F_GDname:text255 F_type:text255 "
    "F_spec:text50 F_unit:text50 F_amount:double F_price:double F_totalprice:double "
    "F_memo1:memo",
    "t_FHrec F_ID:counter F_cltID:long F_FHemp:text50 F_FHdate:date F_SHdate:date "
    "F_SHemp:text50 F_SHaddress:text255 F_SHphone:text50 F_SHhandPhone:text50 "
    "F_FHfilePath:text255 F_memo1:memo F_editDate:date F_mainID:long F_code:text50 "
    "F_OLDcode:text50 F_totalPrice:double F_operName:text50",
    "t_FHdetail F_ID:counter F_mainID:long F_GDcode:text50 F_GDname:text255 F_type:text255 "
    "F_spec:text50 F_unit:text50 F_amount:double F_price:double F_totalprice:double "
    "F_memo1:memo F_code:text50",
    "Client F_ID:counter F_Code:text F_Name:text255 F_Type:text255 F_LinkMan:text F_Phone:text "
    "F_Address:text F_Postcode:text F_fax:text F_handPhone:text F_Mem:memo F_useFlag:bool "
    "F_bank:text F_account:text F_ratecode:text F_homepage:text F_Email:text F_Enrol:text",
    "GCitem F_ID:counter F_code:text50 F_name:text255 F_type:text255 F_FZRemp:text50 "
    "F_GCphone:text50 F_GCname:text50 F_GCpos:text255 F_GCtype:text50 F_GCprice:text50 "
    "F_fromDate:date F_toDate:date F_memo1:memo F_ZF1:text50 F_ZF2:text50 F_ZF3:text50 "
    "F_ZF4:text50 F_ZF5:text50 F_SZ1:long F_SZ2:long F_SZ3:long F_RQ1:date F_RQ2:date "
    "F_RQ3:date F_useFlag:bool",
    "t_GCdetail F_ID:counter F_caption:text50 F_filePath:text255 F_memo1:memo F_GCcode:text50",
    "t_goods F_ID:counter F_code:text50 F_name:text50 F_type:text255 F_spec:text50 "
    "F_unit:text50 F_memo1:memo F_price:double F_Flag:bool",
    "t_code F_ID:counter F_type:text F_name:text",
    "t_treecode F_code:text F_name:text F_likecode:text255 F_flag:text",
    "t_employee F_name:text",
    "OperList F_ID:counter F_Name:text F_PassWord:text F_mem:text F_Flag:bool F_xtFlag:long "
    "F_SHflag:bool F_dept:memo",
    "OperLimit F_ID:counter F_OperName:text F_lmtName:text",
    "Limits F_code:text F_name:text F_flag:bool",
    "LogRec F_EmpName:text F_OperType:text F_OperDate:text F_OperTime:text",
    "cfg_grid F_name:text F_FieldName:text F_Caption:text F_Width:long F_Visible:bool "
    "F_ReadOnly:bool F_DisplayFormat:text F_FooterValue:text F_FooterType:long "
    "F_Alignment:long F_Order:long",
    "cfg_import F_tablename:text F_iFlag:long S_Field:text F_FieldName:text F_Field:text",
    "SysInfo F_ID:counter F_Code:text50 F_Name:text F_BakPath:text255 F_Manager:text50 "
    "F_Phone:text50 F_HandPhone:text50 F_Email:text255 F_Homepage:text255 F_Enroler:text50 "
    "F_Mem:text255",
    "KeyValue F_ID:counter F_Value:text",
    "tempSKrec F_HTcode:text50 F_HTname:text255 F_EmpName:text50 F_dept:text50 "
    "F_client1:text255 F_client2:text255 F_totalPrice:double F_priceUnit:text50 "
    "F_SKprice:double F_wSKprice:double F_KPprice:double F_wKPprice:double F_flag:bool "
    "F_operFlag:long F_wSKrate:double",
    "tempFHrec F_HTcode:text50 F_GDcode:text50 F_YFamount:double F_YFtotal:double "
    "F_SFamount:double F_SFtotal:double F_WFamount:double F_WFtotal:double F_WFrate:double "
    "F_Flag:long",
    "tempCode F_code:text50",
};

static const char* const kLayouts[] = {
    "clientmain",    "detail2",           "detail3",           "detail4",      "detail5",
    "detail6",       "detail7",           "detail8",           "detail81",     "awokegl1",
    "awokegl2",      "awokegl3",          "awokegl4",          "awokegl5",     "awokegl6",
    "ShouKuanMan",   "HTZXman",           "contractBGman",     "HTFJman",      "HTBDman",
    "dlgcontractxz", "outxiaoshoudeptgl", "outxiaoshoudeptcx", "cltman",       "GCitemMan",
    "GoodSet",       "dlggoodxz",         "skdetailtj",        "sktotaltj",    "khsktotaltj",
    "zxdetailtj",    "txdetailtj",        "bgdetailtj",        "HTBDdetailTJ", "HTBDtotalTJ",
    "HTFHdetailTJ1", "HTFHdetailTJ2",     "HTFHtotalTJ",
};

class TstSchema : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyTableAndColumn_data();
    void everyTableAndColumn();
    void noUnexpectedTables();
    void versionAndIndexes();
    void textComparesWithoutCase();
    void requiredRows();
    void gridLayoutsForEveryGrid();
    void importMappings();
    void partialDatabaseIsCompleted();
    void newerDatabaseIsRefused();
    void newerAfterTheLockIsRefused();
    void missingKeyColumnIsRefused_data();
    void missingKeyColumnIsRefused();
    void inspectsWhatAFileIs_data();
    void inspectsWhatAFileIs();
    void layoutIsReadThroughTheDatabase();
    void verifyNamesWhatIsMissing();
    void startUpReportsMissingColumn();
    void maxLengths();

private:
    QTemporaryDir* m_dir = nullptr;
    Database* m_db = nullptr;
};

void TstSchema::init()
{
    m_dir = new QTemporaryDir;
    makeContractDatabase(m_dir->path());
    m_db = new Database;
    QVERIFY(m_db->open(m_dir->filePath("Contract.db")));
}

void TstSchema::cleanup()
{
    delete m_db;
    delete m_dir;
}

void TstSchema::everyTableAndColumn_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    for (const char* line : kExpected) {
        QStringList words = QString::fromLatin1(line).split(' ', Qt::SkipEmptyParts);
        const QString table = words.takeFirst();
        QTest::newRow(qPrintable(table)) << table << words;
    }
}

void TstSchema::everyTableAndColumn()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    QSqlQuery q(m_db->handle());
    QVERIFY(q.exec(QString("PRAGMA table_info(%1)").arg(table)));
    QHash<QString, QPair<QString, int>> actual; // lower-case name -> (declared type, pk)
    while (q.next())
        actual.insert(q.value(1).toString().toLower(),
                      {q.value(2).toString().toUpper(), q.value(5).toInt()});
    QVERIFY2(!actual.isEmpty(), qPrintable("missing table " + table));
    for (const QString& spec : columns) {
        const QString name = spec.section(':', 0, 0);
        const QString type = spec.section(':', 1, 1);
        QVERIFY2(actual.contains(name.toLower()), qPrintable(table + "." + name + " missing"));
        const auto [declared, pk] = actual.value(name.toLower());
        const QString where = table + "." + name + " declared " + declared;
        if (type == "counter") {
            QVERIFY2(declared == "INTEGER" && pk == 1, qPrintable(where));
        } else if (type == "long") {
            QVERIFY2(declared == "INTEGER" && pk == 0, qPrintable(where));
        } else if (type == "double") {
            QVERIFY2(declared == "REAL", qPrintable(where));
        } else if (type == "memo") {
            QVERIFY2(declared == "TEXT", qPrintable(where));
        } else if (type == "date") {
            QVERIFY2(declared == "DATE_TEXT", qPrintable(where));
        } else if (type == "bool") {
            QVERIFY2(declared == "BOOLEAN", qPrintable(where));
        } else if (type == "blob") {
            QVERIFY2(declared == "BLOB", qPrintable(where));
        } else if (type == "text") {
            QVERIFY2(declared.startsWith("VARCHAR("), qPrintable(where));
        } else {
            QVERIFY(type.startsWith("text"));
            QVERIFY2(declared == QString("VARCHAR(%1)").arg(type.mid(4)), qPrintable(where));
        }
    }
}

void TstSchema::noUnexpectedTables()
{
    QSet<QString> expected;
    for (const char* line : kExpected)
        expected << QString::fromLatin1(line).section(' ', 0, 0).toLower();
    QSqlQuery q(m_db->handle());
    QVERIFY(q.exec("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                   "'sqlite_%'"));
    QSet<QString> actual;
    while (q.next())
        actual << q.value(0).toString().toLower();
    QCOMPARE(actual, expected);
}

void TstSchema::versionAndIndexes()
{
    QCOMPARE(Schema::version(*m_db), Schema::kCurrentVersion);
    for (const char* index : {"idx_Contract_F_cltID", "idx_Contract_F_date", "idx_Contract_F_code",
                              "idx_Contract_F_type", "idx_t_SKrec_F_cltID", "idx_t_ZXrec_F_cltID",
                              "idx_t_TXrec_F_cltID", "idx_t_BGrec_F_cltID", "idx_t_TPrec_F_cltID",
                              "idx_t_FJrec_F_cltID", "idx_t_GDrec_F_cltID", "idx_t_FHrec_F_cltID",
                              "idx_t_FHdetail_F_code", "idx_t_FHrec_F_code",
                              "idx_OperLimit_F_OperName", "idx_cfg_grid_F_name"}) {
        QVERIFY2(m_db->scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
                              "name = :n",
                              {{":n", QString::fromLatin1(index)}})
                         .toInt() == 1,
                 index);
    }
    // The contract list's usual lookups use the indexes.
    QSqlQuery q(m_db->handle());
    QVERIFY(q.exec("EXPLAIN QUERY PLAN SELECT * FROM t_SKrec WHERE F_cltID = 5"));
    QVERIFY(q.next());
    QVERIFY2(q.value(3).toString().contains("idx_t_SKrec_F_cltID"),
             qPrintable(q.value(3).toString()));
}

void TstSchema::textComparesWithoutCase()
{
    QVERIFY(m_db->exec("INSERT INTO t_code(F_type, F_name) VALUES('empName', '张三')"));
    QCOMPARE(m_db->scalar("SELECT count(*) FROM t_code WHERE F_type = 'empname' AND F_name = "
                          "'张三'")
                 .toInt(),
             1);
    QCOMPARE(m_db->scalar("SELECT count(*) FROM cfg_grid WHERE F_name = 'CLIENTMAIN'").toInt(),
             m_db->scalar("SELECT count(*) FROM cfg_grid WHERE F_name = 'clientmain'").toInt());
}

void TstSchema::requiredRows()
{
    // The administrator, with the stored form of the empty password.
    QSqlQuery q = m_db->prepare("SELECT F_Name, F_PassWord, F_Flag, F_SHflag FROM OperList");
    QVERIFY(m_db->exec(q));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("admin"));
    QVERIFY(CheckPass("", q.value(1).toString()));
    QVERIFY(!CheckPass("admin", q.value(1).toString()));
    QCOMPARE(q.value(2).toInt(), 0);
    QVERIFY(!q.next());

    QCOMPARE(m_db->scalar("SELECT count(*) FROM SysInfo").toInt(), 1);

    QStringList keySlots;
    QSqlQuery kv = m_db->prepare("SELECT F_Value FROM KeyValue ORDER BY F_ID");
    QVERIFY(m_db->exec(kv));
    while (kv.next())
        keySlots << kv.value(0).toString();
    QCOMPARE(keySlots.size(), 15);
    QCOMPARE(keySlots.mid(11, 3), (QStringList{"2", "2", "2"}));

    // The rights catalogue, every code from 101 to 506, all grantable.
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Limits").toInt(), 56);
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Limits WHERE F_flag = 1").toInt(), 56);
    QCOMPARE(m_db->scalar("SELECT count(DISTINCT F_name) FROM Limits").toInt(), 56);
    QCOMPARE(m_db->scalar("SELECT F_name FROM Limits WHERE F_code = '215'").toString(),
             QStringLiteral("合同货品"));
    QCOMPARE(m_db->scalar("SELECT F_name FROM Limits WHERE F_code = '505'").toString(),
             QStringLiteral("连接网络数据"));
    QCOMPARE(m_db->scalar("SELECT min(F_code) || '-' || max(F_code) FROM Limits").toString(),
             QStringLiteral("101-506"));

    QCOMPARE(m_db->scalar("SELECT count(*) FROM t_treecode").toInt(), 0);
    for (const char* list : {"priceunit", "status", "unit"})
        QVERIFY2(m_db->scalar("SELECT count(*) FROM t_code WHERE F_type = :t",
                              {{":t", QString::fromLatin1(list)}})
                         .toInt() > 0,
                 list);
    QCOMPARE(m_db->scalar("SELECT count(*) FROM OperLimit").toInt(), 0);
}

void TstSchema::gridLayoutsForEveryGrid()
{
    for (const char* layout : kLayouts) {
        const QString name = QString::fromLatin1(layout);
        const int rows =
            m_db->scalar("SELECT count(*) FROM cfg_grid WHERE F_name = :n", {{":n", name}}).toInt();
        QVERIFY2(rows > 0, layout);
        // Positions 0..n-1, each field once, titles given.
        QCOMPARE(m_db->scalar("SELECT max(F_Order) FROM cfg_grid WHERE F_name = :n", {{":n", name}})
                     .toInt(),
                 rows - 1);
        QCOMPARE(m_db->scalar("SELECT count(DISTINCT lower(F_FieldName)) FROM cfg_grid WHERE "
                              "F_name = :n",
                              {{":n", name}})
                     .toInt(),
                 rows);
        QCOMPARE(m_db->scalar("SELECT count(*) FROM cfg_grid WHERE F_name = :n AND "
                              "(F_Caption = '' OR F_FieldName = '' OR F_Width <= 0)",
                              {{":n", name}})
                     .toInt(),
                 0);
    }
    QCOMPARE(m_db->scalar("SELECT count(DISTINCT lower(F_name)) FROM cfg_grid").toInt(),
             int(std::size(kLayouts)));
}

void TstSchema::importMappings()
{
    for (const char* table : {"contract", "client"}) {
        const SqlParams p{{":t", QString::fromLatin1(table)}};
        QVERIFY(m_db->scalar("SELECT count(*) FROM cfg_import WHERE F_tablename = :t", p).toInt() >
                3);
        QCOMPARE(m_db->scalar("SELECT count(*) FROM cfg_import WHERE F_tablename = :t AND "
                              "(F_Field <> '' OR F_FieldName = '' OR S_Field = '')",
                              p)
                     .toInt(),
                 0);
    }
    // Every target column exists in its table.
    QSqlQuery q = m_db->prepare("SELECT F_tablename, S_Field FROM cfg_import");
    QVERIFY(m_db->exec(q));
    while (q.next())
        QVERIFY2(Schema::findColumn(q.value(0).toString(), q.value(1).toString()),
                 qPrintable(q.value(0).toString() + "." + q.value(1).toString()));
}

void TstSchema::partialDatabaseIsCompleted()
{
    // A database that holds only an old contract table, a few operators'
    // rows and a table of its own: everything else is added, nothing lost.
    QTemporaryDir dir;
    const QString path = dir.filePath("Contract.db");
    {
        Database old("old");
        QVERIFY(old.create(path));
        QVERIFY(old.exec("CREATE TABLE Contract (F_ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                         "F_cltID INTEGER, F_code TEXT, F_name TEXT)"));
        QVERIFY(
            old.exec("INSERT INTO Contract(F_cltID, F_code, F_name) VALUES(7, 'HT-7', '旧合同')"));
        QVERIFY(old.exec("CREATE TABLE KeyValue (F_ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                         "F_Value TEXT)"));
        for (int i = 0; i < 14; ++i)
            QVERIFY(
                old.exec("INSERT INTO KeyValue(F_Value) VALUES(:v)", {{":v", i == 13 ? "4" : ""}}));
        QVERIFY(old.exec("CREATE TABLE Extra (x)"));
    }
    Database db("upgraded");
    QVERIFY(db.open(path));
    QCOMPARE(Schema::version(db), 0);
    Schema::Inspection found;
    QVERIFY(Schema::inspect(db, &found));
    QCOMPARE(found.state, Schema::State::Unstamped);
    // Without a version stamp nothing says the file is ours: it is converted
    // only when the operator has agreed.
    QString error;
    QVERIFY(!Schema::upgrade(db, &error));
    QVERIFY2(error.contains("版本标记"), qPrintable(error));
    QCOMPARE(Schema::version(db), 0);
    QVERIFY(!db.tableExists("OperList"));
    Schema::UpgradeOptions convert;
    convert.convertUnstamped = true;
    QVERIFY2(Schema::upgrade(db, &error, convert), qPrintable(error));
    QCOMPARE(Schema::version(db), Schema::kCurrentVersion);
    QVERIFY(Schema::verify(db).isEmpty());
    QCOMPARE(db.scalar("SELECT F_name FROM Contract WHERE F_cltID = 7").toString(),
             QStringLiteral("旧合同"));
    QVERIFY(db.tableExists("Extra"));
    // Existing settings keySlots are kept as they were: 14 rows, slot 14 = 4.
    QCOMPARE(db.scalar("SELECT count(*) FROM KeyValue").toInt(), 14);
    QCOMPARE(db.scalar("SELECT F_Value FROM KeyValue ORDER BY F_ID DESC LIMIT 1").toString(),
             QStringLiteral("4"));
    QCOMPARE(db.scalar("SELECT count(*) FROM OperList").toInt(), 1);
    // Upgrading again changes nothing.
    QVERIFY(Schema::upgrade(db, &error));
    QCOMPARE(db.scalar("SELECT count(*) FROM Limits").toInt(), 56);
}

void TstSchema::newerDatabaseIsRefused()
{
    QVERIFY(m_db->exec(QString("PRAGMA user_version = %1").arg(Schema::kCurrentVersion + 1)));
    QString error;
    QVERIFY(!Schema::upgrade(*m_db, &error));
    QVERIFY(error.contains("新"));
}

void TstSchema::newerAfterTheLockIsRefused()
{
    // A new file; while this program waits for the write lock another
    // workstation's newer program makes it a database of a later version.
    QTemporaryDir dir;
    Database db("racing");
    QVERIFY(db.create(dir.filePath("new.db")));
    int versionReads = 0;
    QStringList statements;
    db.setFailureInjector([&](const QString& sql) {
        statements << sql;
        if (sql.startsWith("PRAGMA user_version") && ++versionReads == 2) {
            QSqlQuery later(db.handle());
            later.exec("CREATE TABLE Contract(F_ID INTEGER PRIMARY KEY AUTOINCREMENT, F_later)");
            later.exec(QString("PRAGMA user_version = %1").arg(Schema::kCurrentVersion + 1));
        }
        return false;
    });
    QString error;
    QVERIFY(!Schema::upgrade(db, &error));
    db.setFailureInjector({});
    QVERIFY2(error.contains("比本程序新"), qPrintable(error));
    QCOMPARE(versionReads, 2);
    // The stamp is never set lower (here the refused transaction also takes
    // back what the simulated workstation did inside it).
    for (const QString& sql : std::as_const(statements))
        QVERIFY2(!sql.contains(QRegularExpression("user_version\\s*=")), qPrintable(sql));
    QVERIFY(!db.tableExists("OperList"));
}

void TstSchema::missingKeyColumnIsRefused_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("problem");
    QTest::newRow("contract table without F_ID")
        << QStringList{"CREATE TABLE Contract(F_cltID INTEGER, F_code TEXT, F_name TEXT)"}
        << "数据表 Contract 缺少关键字段 F_ID";
    QTest::newRow("F_ID that is a plain number")
        << QStringList{"CREATE TABLE Contract(F_ID INTEGER DEFAULT 0, F_cltID INTEGER)"}
        << "数据表 Contract 的关键字段 F_ID 不是自动编号的主键";
    QTest::newRow("F_ID as text key")
        << QStringList{"CREATE TABLE Contract(F_ID TEXT PRIMARY KEY, F_cltID INTEGER)"}
        << "数据表 Contract 的关键字段 F_ID 不是自动编号的主键";
    QTest::newRow("receipts without F_ID")
        << QStringList{"CREATE TABLE Contract(F_ID INTEGER PRIMARY KEY, F_cltID INTEGER)",
                       "CREATE TABLE t_SKrec(F_cltID INTEGER, F_SKprice REAL)"}
        << "数据表 t_SKrec 缺少关键字段 F_ID";
}

void TstSchema::missingKeyColumnIsRefused()
{
    QFETCH(QStringList, statements);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    Database db("foreign");
    QVERIFY(db.create(dir.filePath("Contract.db")));
    for (const QString& sql : statements)
        QVERIFY2(db.exec(sql), qPrintable(sql));
    QVERIFY(db.exec("INSERT INTO Contract(F_cltID) VALUES(1)"));
    QVERIFY(db.exec("INSERT INTO Contract(F_cltID) VALUES(2)"));
    Schema::Inspection found;
    QVERIFY(Schema::inspect(db, &found));
    QCOMPARE(found.state, Schema::State::Foreign);
    QVERIFY(found.missingKey);
    QCOMPARE(found.problem, problem);
    // Not even with the operator's yes: rows without numbers of their own
    // would be overwritten by the first edit.
    Schema::UpgradeOptions convert;
    convert.convertUnstamped = true;
    QString error;
    QVERIFY(!Schema::upgrade(db, &error, convert));
    QCOMPARE(error, problem);
    QCOMPARE(Schema::version(db), 0);
    QVERIFY(!db.tableExists("OperList"));
}

void TstSchema::inspectsWhatAFileIs_data()
{
    QTest::addColumn<QStringList>("statements"); // on a new database of the system
    QTest::addColumn<int>("state");
    QTest::newRow("current") << QStringList{} << int(Schema::State::Current);
    QTest::newRow("newer") << QStringList{"PRAGMA user_version = 99"} << int(Schema::State::Newer);
    QTest::newRow("unstamped") << QStringList{"PRAGMA user_version = 0"}
                               << int(Schema::State::Unstamped);
    QTest::newRow("another program's")
        << QStringList{"DROP TABLE Contract"} << int(Schema::State::Foreign);
}

void TstSchema::inspectsWhatAFileIs()
{
    QFETCH(QStringList, statements);
    QFETCH(int, state);
    for (const QString& sql : statements)
        QVERIFY(m_db->exec(sql));
    Schema::Inspection found;
    QVERIFY(Schema::inspect(*m_db, &found));
    QCOMPARE(int(found.state), state);
    QCOMPARE(found.problem.isEmpty(), state == int(Schema::State::Current));

    QTemporaryDir dir;
    Database empty("empty");
    QVERIFY(empty.create(dir.filePath("empty.db")));
    QVERIFY(Schema::inspect(empty, &found));
    QCOMPARE(found.state, Schema::State::Empty);
}

void TstSchema::layoutIsReadThroughTheDatabase()
{
    // A failure to read the table list is a failure, not an empty file to
    // fill: the layout is read through the connection's own statements.
    QTemporaryDir dir;
    Database db("unreadable");
    QVERIFY(db.create(dir.filePath("new.db")));
    db.setFailureInjector([](const QString& sql) { return sql.contains("sqlite_master"); });
    QString error;
    QVERIFY(!Schema::upgrade(db, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!Schema::verify(db).isEmpty());
    db.setFailureInjector({});
    QVERIFY(!db.tableExists("Contract"));

    m_db->setFailureInjector([](const QString& sql) { return sql.contains("table_info"); });
    const QStringList problems = Schema::verify(*m_db);
    m_db->setFailureInjector({});
    QCOMPARE(problems.size(), 1);
    QVERIFY2(problems.first().contains("无法读取"), qPrintable(problems.first()));
}

void TstSchema::verifyNamesWhatIsMissing()
{
    QVERIFY(Schema::verify(*m_db).isEmpty());
    QVERIFY(m_db->exec("ALTER TABLE t_SKrec DROP COLUMN F_KPprice"));
    QVERIFY(m_db->exec("DROP TABLE t_TXrec"));
    QCOMPARE(Schema::verify(*m_db),
             (QStringList{"数据表 t_SKrec 缺少字段 F_KPprice", "缺少数据表 t_TXrec"}));
}

void TstSchema::startUpReportsMissingColumn()
{
    TempExeDir exe;
    const QString path = makeContractDatabase(exe.file("data"));
    {
        Database db("damage");
        QVERIFY(db.open(path));
        QVERIFY(db.exec("ALTER TABLE Contract DROP COLUMN F_SZ5"));
    }
    ScriptedDialogs ui; // the folder dialog is cancelled
    TdmData dm;
    QVERIFY(!dm.Connect());
    QCOMPARE(ui.messages().size(), 1);
    QCOMPARE(ui.lastKind(), int(mkError));
    QVERIFY2(ui.lastText().contains("数据表 Contract 缺少字段 F_SZ5"), qPrintable(ui.lastText()));
    QCOMPARE(ui.dialogs().size(), 1);
}

void TstSchema::maxLengths()
{
    QCOMPARE(Schema::maxLength("contract", "f_code"), 50);
    QCOMPARE(Schema::maxLength("Contract", "F_name"), 255);
    QCOMPARE(Schema::maxLength("Contract", "F_memo1"), 0);
    QCOMPARE(Schema::maxLength("Contract", "F_totalPrice"), 0);
    QCOMPARE(Schema::maxLength("nosuch", "F_code"), 0);
}

QTEST_GUILESS_MAIN(TstSchema)
#include "tst_schema.moc"
