#include "platform/AppPaths.h"
#include "platform/IniFile.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTest>
#include <QTextCodec>

class TstIniFile : public QObject
{
    Q_OBJECT

private slots:
    void readsWithoutRegardToCase_data();
    void readsWithoutRegardToCase();
    void typedReads_data();
    void typedReads();
    void writesGoStraightToFile();
    void writeKeepsOtherLinesAndSections();
    void writeCreatesMissingFileAndSection();
    void gbkFileIsDecoded();
    void badFilesFallBackToDefaults();
    void unreadableFileIsNotOverwritten();
    void dataFolderRules_data();
    void dataFolderRules();
};

void TstIniFile::readsWithoutRegardToCase_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Config read as config") << QByteArray("[Config]\nCurOperName=张三\n") << "config"
                                           << "CurOperName"
                                           << "张三";
    QTest::newRow("key case") << QByteArray("[sys]\nBZDHTCODE=1\n") << "SYS"
                              << "bZDHTcode"
                              << "1";
    QTest::newRow("blanks around") << QByteArray("  [ set ]  \n  awokeday =  7  \n") << "set"
                                   << "awokeday"
                                   << "7";
    QTest::newRow("second occurrence of a section")
        << QByteArray("[config]\nds=/a/\n[Config]\nCurOperName=李四\n") << "config"
        << "CurOperName"
        << "李四";
    QTest::newRow("first key wins") << QByteArray("[config]\nds=/a/\nds=/b/\n") << "config"
                                    << "ds"
                                    << "/a/";
    QTest::newRow("quoted value") << QByteArray("[config]\nds=\"/x y/\"\n") << "config"
                                  << "ds"
                                  << "/x y/";
    QTest::newRow("CRLF lines") << QByteArray("[config]\r\nds=/a/\r\nibak=2\r\n") << "config"
                                << "ibak"
                                << "2";
    QTest::newRow("key in other section not found") << QByteArray("[sys]\nds=/a/\n") << "config"
                                                    << "ds"
                                                    << "<default>";
    QTest::newRow("key before any section not found")
        << QByteArray("ds=/a/\n[config]\n") << "config"
        << "ds"
        << "<default>";
}

void TstIniFile::readsWithoutRegardToCase()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TempExeDir dir;
    dir.writeConfig(content);
    IniFile ini(AppPaths::configFile());
    QCOMPARE(ini.readString(section, key, QStringLiteral("<default>")), expected);
}

void TstIniFile::typedReads_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("asInteger"); // with default 5
    QTest::addColumn<bool>("asBoolDefaultTrue");
    QTest::addColumn<bool>("asBoolDefaultFalse");

    QTest::newRow("1") << QByteArray("1") << 1 << true << true;
    QTest::newRow("0") << QByteArray("0") << 0 << false << false;
    QTest::newRow("-3 is true") << QByteArray("-3") << -3 << true << true;
    QTest::newRow("text reads default") << QByteArray("yes") << 5 << true << false;
    QTest::newRow("empty reads default") << QByteArray("") << 5 << true << false;
    QTest::newRow("hex") << QByteArray("0x10") << 16 << true << true;
    QTest::newRow("number with trash") << QByteArray("12abc") << 5 << true << false;
}

void TstIniFile::typedReads()
{
    QFETCH(QByteArray, value);
    QFETCH(int, asInteger);
    QFETCH(bool, asBoolDefaultTrue);
    QFETCH(bool, asBoolDefaultFalse);
    TempExeDir dir;
    dir.writeConfig("[sys]\nv=" + value + "\n");
    IniFile ini(AppPaths::configFile());
    QCOMPARE(ini.readInteger("sys", "v", 5), asInteger);
    QCOMPARE(ini.readBool("sys", "v", true), asBoolDefaultTrue);
    QCOMPARE(ini.readBool("sys", "v", false), asBoolDefaultFalse);
    // Missing keys read as their defaults.
    QCOMPARE(ini.readInteger("sys", "missing", 5), 5);
    QCOMPARE(ini.readBool("nosection", "v", true), true);
}

void TstIniFile::writesGoStraightToFile()
{
    TempExeDir dir;
    dir.writeConfig("[config]\nds=\n");
    IniFile writer(AppPaths::configFile());
    IniFile reader(AppPaths::configFile()); // a second object on the same file
    QVERIFY(writer.writeBool("sys", "bZDHTcode", true));
    QCOMPARE(reader.readBool("SYS", "bzdhtcode", false), true);
    QVERIFY(writer.writeBool("Sys", "BZDHTCODE", false));
    QCOMPARE(reader.readString("sys", "bZDHTcode"), QStringLiteral("0"));
    QVERIFY(writer.writeInteger("Config", "ibak", 2));
    QCOMPARE(reader.readInteger("config", "ibak", 0), 2);

    QFile f(AppPaths::configFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    // One section for config/Config, one line for the key written twice.
    QCOMPARE(text.count(QStringLiteral("[config]"), Qt::CaseInsensitive), 1);
    QCOMPARE(text.count(QStringLiteral("bZDHTcode"), Qt::CaseInsensitive), 1);
    QVERIFY(text.contains(QStringLiteral("bZDHTcode=0")));
}

void TstIniFile::writeKeepsOtherLinesAndSections()
{
    TempExeDir dir;
    dir.writeConfig("; 注释\n[config]\nds=/data/\ngarbage line\n\n[set]\nawokeday=3\n");
    IniFile ini(AppPaths::configFile());
    QVERIFY(ini.writeString("CONFIG", "CurOperName", "王五"));
    QVERIFY(ini.writeString("config", "DS", "/other/"));
    QFile f(AppPaths::configFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    QCOMPARE(text, QStringLiteral("; 注释\n[config]\nds=/other/\ngarbage line\nCurOperName=王五\n\n"
                                  "[set]\nawokeday=3\n"));
}

void TstIniFile::writeCreatesMissingFileAndSection()
{
    TempExeDir dir;
    IniFile ini(AppPaths::configFile());
    QCOMPARE(ini.readString("config", "ds", "d"), QStringLiteral("d"));
    QVERIFY(ini.writeString("config", "ds", "/x/"));
    QVERIFY(ini.writeInteger("set", "awokeday", 4));
    QCOMPARE(ini.readString("Config", "DS"), QStringLiteral("/x/"));
    QCOMPARE(ini.readInteger("SET", "AWOKEDAY", 0), 4);
    QVERIFY(ini.sectionExists("Set"));
    QVERIFY(!ini.valueExists("set", "awokeday1"));
}

void TstIniFile::gbkFileIsDecoded()
{
    TempExeDir dir;
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    QVERIFY(gbk);
    const QByteArray bytes = gbk->fromUnicode(QStringLiteral("[Config]\nCurOperName=管理员\n"));
    QVERIFY(bytes != QStringLiteral("[Config]\nCurOperName=管理员\n").toUtf8());
    dir.writeConfig(bytes);
    IniFile ini(AppPaths::configFile());
    QCOMPARE(ini.readString("config", "CurOperName"), QStringLiteral("管理员"));
    // Writing keeps the text and stores it as UTF-8 from then on.
    QVERIFY(ini.writeString("config", "ibak", "1"));
    QCOMPARE(ini.readString("config", "CurOperName"), QStringLiteral("管理员"));

    // UTF-8 with a byte-order mark.
    dir.writeConfig("\xEF\xBB\xBF[config]\nds=/数据/\n");
    QCOMPARE(ini.readString("config", "ds"), QStringLiteral("/数据/"));
}

void TstIniFile::badFilesFallBackToDefaults()
{
    TempExeDir dir;
    // Binary garbage, lone brackets, keys without names.
    dir.writeConfig(QByteArray("\x00\xff\xfe[\n]]]\n=value\n[config\nds=/a/\n[]\n=\n", 40));
    IniFile ini(AppPaths::configFile());
    QCOMPARE(ini.readInteger("config", "ibak", 0), 0);
    QCOMPARE(ini.readString("set", "x", "def"), QStringLiteral("def"));
    QVERIFY(ini.writeInteger("config", "ibak", 3));
    QCOMPARE(ini.readInteger("config", "ibak", 0), 3);
}

void TstIniFile::unreadableFileIsNotOverwritten()
{
    // A folder where the file should be: nothing can be read or written.
    TempExeDir dir;
    QVERIFY(QDir().mkpath(AppPaths::configFile()));
    IniFile ini(AppPaths::configFile());
    QCOMPARE(ini.readInteger("config", "ibak", 7), 7);
    QVERIFY(!ini.writeInteger("config", "ibak", 1));
    QVERIFY(QFileInfo(AppPaths::configFile()).isDir());
}

void TstIniFile::dataFolderRules_data()
{
    QTest::addColumn<QString>("ds");
    QTest::addColumn<QString>("expected"); // $EXE stands for the executable's folder

    QTest::newRow("empty") << ""
                           << "$EXE/data/";
    QTest::newRow("blanks") << "   "
                            << "$EXE/data/";
    QTest::newRow("absolute with separator") << "/srv/share/"
                                             << "/srv/share/";
    QTest::newRow("absolute without separator is used as it stands") << "/srv/db"
                                                                     << "/srv/db";
    QTest::newRow("relative is below the executable") << "db/"
                                                      << "$EXE/db/";
}

void TstIniFile::dataFolderRules()
{
    QFETCH(QString, ds);
    QFETCH(QString, expected);
    TempExeDir dir;
    expected.replace(QStringLiteral("$EXE"), dir.path());
    QCOMPARE(AppPaths::dataDirFromSetting(ds), expected);
    QCOMPARE(AppPaths::dataDirFromSetting(ds) + AppPaths::databaseFileName(),
             expected + QStringLiteral("Contract.db"));
    QCOMPARE(AppPaths::folderSettingForFile("/srv/share/backup.db"), QStringLiteral("/srv/share/"));
}

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_inifile.moc"
