#include "codes/CodeStore.h"
#include "codes/TDLGenterCaption.h"
#include "codes/TDLGselectDeptSTR.h"
#include "codes/TFrmCodeMan.h"
#include "codes/TFrmTreeCodeMan.h"
#include "common/DataGrid.h"
#include "common/GridExport.h"
#include "common/GridPrint.h"
#include "data/DataServicesUi.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/DesktopOpener.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

namespace {

void click(QWidget* window, const char* name)
{
    auto* button = window->findChild<QAbstractButton*>(QLatin1String(name));
    QVERIFY2(button, name);
    button->click();
}

const QString kPathsFailed = QStringLiteral("操作失败，请检查数据连接... ");
const QString kConnectionFailed = QStringLiteral("数据连接失败，请与作者联系... ");

} // namespace

// The classification trees, the value dialog, the code lists and the
// department selection.
class TstCodesGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void newNodeCodes_data();
    void newNodeCodes();
    void siblingOfRootIsRefused();
    void deleteRemovesDescendantsOnly_data();
    void deleteRemovesDescendantsOnly();
    void renameRewritesOwnSubtreeOnly_data();
    void renameRewritesOwnSubtreeOnly();
    void renameRewritesRecordsOfEachTree_data();
    void renameRewritesRecordsOfEachTree();
    void renameToSameNameInOtherCaseWritesNothing();
    void renameFailureChangesNothing_data();
    void renameFailureChangesNothing();
    void renameRefusesPathsGrowingTooLong_data();
    void renameRefusesPathsGrowingTooLong();
    void pickerReturnsPathAndRefusesRoot();
    void pickTreeNodeShowsCurrentPath();
    void enterValueRefusesBlank();
    void valueDialogPicksFromItsTree();
    void codeListAddModifyDelete();
    void codeListCancelAndEmptyList();
    void codeListSaveFailureKeepsChanges();
    void codeListPrintAndExport();
    void departmentSelection();
    void departmentSelectionModal();
    void screenshots();

private:
    void addNode(const QString& flag, const QString& code, const QString& name,
                 const QString& path);
    void addContract(const QString& type, const QString& dept = QString());
    void addTypeTree();
    QStringList column(const QString& sql, const SqlParams& params = {});
    QStringList treeRows(const QString& flag);
    QStringList contractTypes() { return column("SELECT F_type FROM Contract ORDER BY F_ID"); }
    QLineEdit* gridEditor(TFrmCodeMan& w);
    void trigger(QWidget* w, const char* name);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstCodesGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstCodesGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
}

void TstCodesGui::cleanup()
{
    setEnterValueHook({});
    setPickTreeNodeHook({});
    setSelectDepartmentsHook({});
    setPrintPreviewRunner({});
    setDesktopOpener({});
    if (m_dm)
        m_dm->db().setFailureInjector({});
    closeDataFixture(m_exe, m_ui, m_dm);
    m_dm = nullptr;
}

void TstCodesGui::addNode(const QString& flag, const QString& code, const QString& name,
                          const QString& path)
{
    QVERIFY(m_dm->ExecSql("INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) "
                          "VALUES(:c, :n, :p, :f)",
                          {{":c", code}, {":n", name}, {":p", path}, {":f", flag}}));
}

void TstCodesGui::addContract(const QString& type, const QString& dept)
{
    QVERIFY(
        m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_code, F_type, F_dept) "
                      "VALUES((SELECT coalesce(max(F_cltID), 0) + 1 FROM Contract), 'HT', :t, :d)",
                      {{":t", type}, {":d", dept}}));
}

// A and its subtree, a sibling AB whose name starts the same, and a
// counterpart-type tree with the same codes.
void TstCodesGui::addTypeTree()
{
    addNode("type", "001", "A", "\\\\A");
    addNode("type", "001001", "X", "\\\\A\\X");
    addNode("type", "001002", "Y", "\\\\A\\Y");
    addNode("type", "001002001", "Z", "\\\\A\\Y\\Z");
    addNode("type", "002", "AB", "\\\\AB");
    addNode("type", "002001", "W", "\\\\AB\\W");
    addNode("clttype", "001", "A", "\\\\A");
    addNode("clttype", "005", "Q", "\\\\Q");
}

QStringList TstCodesGui::column(const QString& sql, const SqlParams& params)
{
    QStringList out;
    QSqlQuery q;
    if (!m_dm->OpenQuery(sql, q, params))
        return {QStringLiteral("<failed>")};
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList TstCodesGui::treeRows(const QString& flag)
{
    return column("SELECT F_code || ' ' || F_name || ' ' || F_likecode FROM t_treecode "
                  "WHERE F_flag = :f ORDER BY F_code",
                  {{":f", flag}});
}

QLineEdit* TstCodesGui::gridEditor(TFrmCodeMan& w)
{
    // A closed editor lingers hidden until it is deleted.
    for (QLineEdit* e : w.grid()->view()->viewport()->findChildren<QLineEdit*>()) {
        if (e->isVisible())
            return e;
    }
    return nullptr;
}

void TstCodesGui::trigger(QWidget* w, const char* name)
{
    auto* action = w->findChild<QAction*>(QLatin1String(name));
    QVERIFY2(action, name);
    QVERIFY2(action->isEnabled(), name);
    action->trigger();
}

// ---- Tree codes

void TstCodesGui::newNodeCodes_data()
{
    QTest::addColumn<QString>("selected"); // empty: the root
    QTest::addColumn<int>("mode");         // 1 sibling, 2 child
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("parentCode");

    QTest::newRow("child of a node with children") << "001" << 2 << "添加 001 A 子类"
                                                   << "001003"
                                                   << "\\\\A\\新"
                                                   << "001";
    QTest::newRow("sibling at level 2") << "001001" << 1 << "添加 001001 X 同类"
                                        << "001003"
                                        << "\\\\A\\新"
                                        << "001";
    QTest::newRow("sibling at level 1, other tree ignored") << "001" << 1 << "添加 001 A 同类"
                                                            << "003"
                                                            << "\\\\新"
                                                            << "000";
    QTest::newRow("child of the root") << "" << 2 << "添加 000 合同类型 子类"
                                       << "003"
                                       << "\\\\新"
                                       << "000";
    QTest::newRow("child of a leaf") << "002001" << 2 << "添加 002001 W 子类"
                                     << "002001001"
                                     << "\\\\AB\\W\\新"
                                     << "002001";
    QTest::newRow("sibling at level 3") << "001002001" << 1 << "添加 001002001 Z 同类"
                                        << "001002002"
                                        << "\\\\A\\Y\\新"
                                        << "001002";
}

void TstCodesGui::newNodeCodes()
{
    QFETCH(QString, selected);
    QFETCH(int, mode);
    QFETCH(QString, title);
    QFETCH(QString, code);
    QFETCH(QString, path);
    QFETCH(QString, parentCode);
    addTypeTree();
    QString askedTitle;
    setEnterValueHook([&](const QString& t, const QString&) {
        askedTitle = t;
        return QStringLiteral(" 新 ");
    });
    TFrmTreeCodeMan w(1);
    QTreeWidget* tree = w.tree();
    tree->setCurrentItem(selected.isEmpty() ? tree->topLevelItem(0) : w.findCode(selected));
    trigger(&w, mode == 1 ? "actAddSibling" : "actAddChild");
    QCOMPARE(askedTitle, title);
    QCOMPARE(column("SELECT F_code || ' ' || F_likecode FROM t_treecode WHERE F_name = '新' AND "
                    "F_flag = 'type'"),
             QStringList{code + ' ' + path});
    QTreeWidgetItem* item = w.findCode(code);
    QVERIFY(item);
    QCOMPARE(tree->currentItem(), item);
    QCOMPARE(item->text(0), QStringLiteral("新"));
    QCOMPARE(item->parent()->data(0, TreeCodeRole).toString(), parentCode);
    QCOMPARE(CodeTreePath(item, 1), path);
    QCOMPARE(treeRows("clttype").size(), 2);
}

void TstCodesGui::siblingOfRootIsRefused()
{
    addTypeTree();
    bool asked = false;
    setEnterValueHook([&](const QString&, const QString&) {
        asked = true;
        return QStringLiteral("新");
    });
    TFrmTreeCodeMan w(1);
    w.tree()->setCurrentItem(w.tree()->topLevelItem(0));
    QCOMPARE(w.tree()->topLevelItem(0)->text(0), QStringLiteral("合同类型"));
    w.findChild<QPushButton*>("btnAddSibling")->click();
    QVERIFY(!asked);
    QCOMPARE(m_ui->lastText(), QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！"));
    QCOMPARE(treeRows("type").size(), 6);
    // A blank name adds nothing.
    setEnterValueHook([](const QString&, const QString&) { return QStringLiteral("  "); });
    w.findChild<QPushButton*>("btnAddChild")->click();
    QCOMPARE(treeRows("type").size(), 6);
}

void TstCodesGui::deleteRemovesDescendantsOnly_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("left");

    QTest::newRow("with children") << "001"
                                   << "此节点包含有子节点，真的要删除所有的子节点吗？"
                                   << QStringList{"002 AB \\\\AB", "002001 W \\\\AB\\W"};
    QTest::newRow("leaf") << "001002001"
                          << "真的要删除当前节点 “001002001Z” 吗？"
                          << QStringList{"001 A \\\\A", "001001 X \\\\A\\X", "001002 Y \\\\A\\Y",
                                         "002 AB \\\\AB", "002001 W \\\\AB\\W"};
}

void TstCodesGui::deleteRemovesDescendantsOnly()
{
    QFETCH(QString, code);
    QFETCH(QString, question);
    QFETCH(QStringList, left);
    addTypeTree();
    addContract("\\\\A\\X");
    const QStringList before = treeRows("type");
    TFrmTreeCodeMan w(1);
    w.tree()->setCurrentItem(w.findCode(code));
    m_ui->queueAnswer(2);
    trigger(&w, "actDelete");
    QCOMPARE(m_ui->lastText(), question);
    QCOMPARE(treeRows("type"), before);
    QVERIFY(w.findCode(code));

    m_ui->queueAnswer(1);
    trigger(&w, "actDelete");
    QCOMPARE(treeRows("type"), left);
    QVERIFY(!w.findCode(code));
    QCOMPARE(treeRows("clttype"), (QStringList{"001 A \\\\A", "005 Q \\\\Q"}));
    // Records keep the deleted paths.
    QCOMPARE(contractTypes(), QStringList{"\\\\A\\X"});
}

// ---- Rename

void TstCodesGui::renameRewritesOwnSubtreeOnly_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QStringList>("contracts");
    QTest::addColumn<QStringList>("tree");

    QTest::newRow("level 1 beside a sibling starting the same")
        << "001"
        << "C" << QStringList{"\\\\C", "\\\\C\\X", "\\\\C\\Y\\Z", "\\\\AB", "\\\\AB\\W", "\\\\AX"}
        << QStringList{"001 C \\\\C",       "001001 X \\\\C\\X",
                       "001002 Y \\\\C\\Y", "001002001 Z \\\\C\\Y\\Z",
                       "002 AB \\\\AB",     "002001 W \\\\AB\\W"};
    QTest::newRow("level 2") << "001002"
                             << "V'1" << QStringList{"\\\\A",  "\\\\A\\X",  "\\\\A\\V'1\\Z",
                                                     "\\\\AB", "\\\\AB\\W", "\\\\AX"}
                             << QStringList{"001 A \\\\A",           "001001 X \\\\A\\X",
                                            "001002 V'1 \\\\A\\V'1", "001002001 Z \\\\A\\V'1\\Z",
                                            "002 AB \\\\AB",         "002001 W \\\\AB\\W"};
}

void TstCodesGui::renameRewritesOwnSubtreeOnly()
{
    QFETCH(QString, code);
    QFETCH(QString, newName);
    QFETCH(QStringList, contracts);
    QFETCH(QStringList, tree);
    addTypeTree();
    for (const char* type : {"\\\\A", "\\\\A\\X", "\\\\A\\Y\\Z", "\\\\AB", "\\\\AB\\W", "\\\\AX"})
        addContract(QString::fromUtf8(type));
    QVERIFY(m_dm->ExecSql("INSERT INTO Client(F_Name, F_Type) VALUES('甲', '\\\\A')"));
    QStringList asked;
    setEnterValueHook([&](const QString& title, const QString& initial) {
        asked << title << initial;
        return newName;
    });
    TFrmTreeCodeMan w(1);
    const QString oldName = w.findCode(code)->text(0);
    w.tree()->setCurrentItem(w.findCode(code));
    trigger(&w, "actModify");
    // The node item was replaced by the reload.
    QCOMPARE(asked,
             (QStringList{QStringLiteral("修改类别 %1 %2 子类").arg(code, oldName), oldName}));
    QCOMPARE(contractTypes(), contracts);
    QCOMPARE(treeRows("type"), tree);
    QCOMPARE(treeRows("clttype"), (QStringList{"001 A \\\\A", "005 Q \\\\Q"}));
    QCOMPARE(column("SELECT F_Type FROM Client"), QStringList{"\\\\A"});
    // The open tree shows the stored paths again.
    QVERIFY(w.tree()->currentItem());
    QCOMPARE(w.tree()->currentItem()->data(0, TreeCodeRole).toString(), code);
    QCOMPARE(w.tree()->currentItem()->text(0), newName);
    QCOMPARE(w.findCode("001002001")->data(0, TreeLikeCodeRole).toString(),
             tree.at(3).section(' ', 2));
}

void TstCodesGui::renameRewritesRecordsOfEachTree_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");

    QTest::newRow("counterpart types") << 3 << "clttype"
                                       << "Client"
                                       << "F_Type";
    QTest::newRow("project types") << 5 << "gctype"
                                   << "GCitem"
                                   << "F_type";
    QTest::newRow("departments") << 7 << "dept"
                                 << "Contract"
                                 << "F_dept";
    QTest::newRow("contract types, picker") << 2 << "type"
                                            << "Contract"
                                            << "F_type";
}

void TstCodesGui::renameRewritesRecordsOfEachTree()
{
    QFETCH(int, mode);
    QFETCH(QString, flag);
    QFETCH(QString, table);
    QFETCH(QString, field);
    addNode(flag, "001", "A", "\\\\A");
    addNode(flag, "001001", "X", "\\\\A\\X");
    addNode(flag, "002", "AB", "\\\\AB");
    // A contract of another tree's path must stay as it is.
    if (table != QLatin1String("Contract") || field != QLatin1String("F_type"))
        addContract("\\\\A\\X", "\\\\A\\X");
    for (const char* path : {"\\\\A", "\\\\A\\X", "\\\\AB"}) {
        if (table == QLatin1String("Contract"))
            addContract(field == QLatin1String("F_type") ? QString::fromUtf8(path) : "\\\\A",
                        field == QLatin1String("F_dept") ? QString::fromUtf8(path) : "\\\\A");
        else
            QVERIFY(m_dm->ExecSql(
                QString("INSERT INTO %1(F_code, %2) VALUES('1', :p)").arg(table, field),
                {{":p", QString::fromUtf8(path)}}));
    }
    const QString otherField =
        table == QLatin1String("Contract") && field == QLatin1String("F_dept") ? "F_type"
                                                                               : "F_dept";
    const QStringList untouched = column("SELECT " + otherField + " FROM Contract ORDER BY F_ID");
    setEnterValueHook([](const QString&, const QString&) { return QStringLiteral("C"); });
    TFrmTreeCodeMan w(mode);
    QCOMPARE(w.windowTitle(), CodeStore::treeKind(mode).caption);
    w.tree()->setCurrentItem(w.findCode("001"));
    trigger(&w, "actModify");
    QStringList stored = column(QString("SELECT %1 FROM %2 ORDER BY F_ID").arg(field, table));
    if (table == QLatin1String("Contract") && field != QLatin1String("F_type"))
        stored.removeFirst(); // the contract of another tree
    QCOMPARE(stored, (QStringList{"\\\\C", "\\\\C\\X", "\\\\AB"}));
    QCOMPARE(treeRows(flag), (QStringList{"001 C \\\\C", "001001 X \\\\C\\X", "002 AB \\\\AB"}));
    if (table != QLatin1String("Contract") || field != QLatin1String("F_type"))
        QCOMPARE(column("SELECT " + otherField + " FROM Contract ORDER BY F_ID"), untouched);
}

void TstCodesGui::renameToSameNameInOtherCaseWritesNothing()
{
    addNode("type", "001", "abc", "\\\\abc");
    addContract("\\\\abc");
    QStringList statements;
    m_dm->db().setFailureInjector([&](const QString& sql) {
        statements << sql;
        return false;
    });
    setEnterValueHook([](const QString&, const QString&) { return QStringLiteral("ABC"); });
    TFrmTreeCodeMan w(1);
    w.tree()->setCurrentItem(w.findCode("001"));
    trigger(&w, "actModify");
    for (const QString& sql : std::as_const(statements))
        QVERIFY2(!sql.contains("UPDATE", Qt::CaseInsensitive), qPrintable(sql));
    m_dm->db().setFailureInjector({});
    QCOMPARE(treeRows("type"), QStringList{"001 abc \\\\abc"});
    QVERIFY(m_ui->messages().isEmpty());
}

void TstCodesGui::renameFailureChangesNothing_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("message");

    QTest::newRow("records") << "UPDATE Contract" << kPathsFailed;
    QTest::newRow("tree paths") << "UPDATE t_treecode SET F_likecode" << kPathsFailed;
    QTest::newRow("the node") << "UPDATE t_treecode SET F_name" << kConnectionFailed;
}

void TstCodesGui::renameFailureChangesNothing()
{
    QFETCH(QString, failing);
    QFETCH(QString, message);
    addTypeTree();
    for (const char* type : {"\\\\A", "\\\\A\\X", "\\\\AB"})
        addContract(QString::fromUtf8(type));
    const QStringList contracts = contractTypes();
    const QStringList tree = treeRows("type");
    m_dm->db().setFailureInjector([&](const QString& sql) { return sql.contains(failing); });
    setEnterValueHook([](const QString&, const QString&) { return QStringLiteral("C"); });
    TFrmTreeCodeMan w(1);
    w.tree()->setCurrentItem(w.findCode("001"));
    trigger(&w, "actModify");
    m_dm->db().setFailureInjector({});
    QCOMPARE(m_ui->lastText(), message);
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(contractTypes(), contracts);
    QCOMPARE(treeRows("type"), tree);
    QCOMPARE(w.findCode("001")->text(0), QStringLiteral("A"));
}

// ---- Picker and value dialog

void TstCodesGui::renameRefusesPathsGrowingTooLong_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("deepNode");   // a node below A, its name; empty: none
    QTest::addColumn<QString>("deepRecord"); // a record below A, the rest of its path
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("named"); // the path the refusal names; empty: renamed
    QTest::addColumn<int>("limit");

    const QString n245(245, QChar(u'长')); // \\A\ + 245 = 249 characters
    const QString n240(240, QChar(u'节'));
    QTest::newRow("descendant node grows past 255")
        << 1 << "type" << n245 << QString() << "ABCDEFGH"
        << "\\\\ABCDEFGH\\" + n245 << 255;
    QTest::newRow("contract record grows past 255")
        << 1 << "type" << n240 << "记\\" + n245 << "ABCDEFGH"
        << "\\\\ABCDEFGH\\记\\" + n245 << 255;
    QTest::newRow("department record grows past 255")
        << 7 << "dept" << QString() << n245 << "ABCDEFGH"
        << "\\\\ABCDEFGH\\" + n245 << 255;
    // The project type column holds a whole path since it was widened.
    QTest::newRow("project record grows past 255")
        << 5 << "gctype" << QString() << n245 << "ABCDEFGH"
        << "\\\\ABCDEFGH\\" + n245 << 255;
    QTest::newRow("exactly 255 still fits")
        << 1 << "type" << n245 << QString() << "ABCDEFG" << QString() << 255;
}

// Renaming rewrites the paths below the node and those of the records too:
// none of them may end up longer than its column, and the refusal names the
// longest one.
void TstCodesGui::renameRefusesPathsGrowingTooLong()
{
    QFETCH(int, mode);
    QFETCH(QString, flag);
    QFETCH(QString, deepNode);
    QFETCH(QString, deepRecord);
    QFETCH(QString, newName);
    QFETCH(QString, named);
    QFETCH(int, limit);
    addNode(flag, "001", "A", "\\\\A");
    if (!deepNode.isEmpty())
        addNode(flag, "001001", deepNode, "\\\\A\\" + deepNode);
    QString table = "Contract", field = flag == "dept" ? "F_dept" : "F_type";
    if (flag == "gctype")
        table = "GCitem";
    if (!deepRecord.isEmpty())
        QVERIFY(
            m_dm->ExecSql(QString("INSERT INTO %1(F_code, %2) VALUES('1', :p)").arg(table, field),
                          {{":p", "\\\\A\\" + deepRecord}}));
    const QStringList treeBefore = treeRows(flag);
    const QStringList recordsBefore = column(QString("SELECT %1 FROM %2").arg(field, table));
    setEnterValueHook([newName](const QString&, const QString&) { return newName; });
    TFrmTreeCodeMan w(mode);
    w.tree()->setCurrentItem(w.findCode("001"));
    trigger(&w, "actModify");
    if (named.isEmpty()) {
        QVERIFY(m_ui->messages().isEmpty());
        QCOMPARE(treeRows(flag).first(), "001 " + newName + " \\\\" + newName);
        QCOMPARE(column("SELECT length(F_likecode) FROM t_treecode WHERE F_code = '001001'"),
                 QStringList{"255"});
        return;
    }
    QCOMPARE(m_ui->lastKind(), int(mkWarning));
    QCOMPARE(
        m_ui->lastText(),
        QStringLiteral("类别路径超过 %1 个字符，请使用较短的名称！\n%2").arg(limit).arg(named));
    QCOMPARE(treeRows(flag), treeBefore);
    QCOMPARE(column(QString("SELECT %1 FROM %2").arg(field, table)), recordsBefore);
    QCOMPARE(w.findCode("001")->text(0), QStringLiteral("A"));
}

void TstCodesGui::pickerReturnsPathAndRefusesRoot()
{
    addTypeTree();
    addNode("type", "003", "Y", "\\\\A\\Y"); // a second node with the same stored path
    {
        TFrmTreeCodeMan w(2);
        QVERIFY(w.findChild<QPushButton*>("btnOK"));
        w.selectPath("\\\\A\\Y");
        QCOMPARE(w.tree()->currentItem()->data(0, TreeCodeRole).toString(), QStringLiteral("003"));
        w.selectPath("\\\\A\\X");
        QCOMPARE(w.tree()->currentItem()->data(0, TreeCodeRole).toString(),
                 QStringLiteral("001001"));
        w.confirm();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.chosenPath(), QStringLiteral("\\\\A\\X"));
    }
    {
        TFrmTreeCodeMan w(2);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.selectPath("无此类型");
        QVERIFY(!w.tree()->currentItem());
        QTreeWidgetItem* root = w.tree()->topLevelItem(0);
        w.tree()->setCurrentItem(root);
        bool accepted = false;
        connect(&w, &QDialog::accepted, [&] { accepted = true; });
        click(&w, "btnOK");
        QCOMPARE(m_ui->lastText(), QStringLiteral("不能选择根节点！"));
        QTest::keyClick(w.tree(), Qt::Key_Return);
        QCOMPARE(m_ui->messages().size(), 2);
        QVERIFY(!accepted);
        QVERIFY(w.isVisible());
        // Enter on a node confirms it.
        w.tree()->setCurrentItem(w.findCode("002"));
        QTest::keyClick(w.tree(), Qt::Key_Return);
        QVERIFY(accepted);
        QCOMPARE(w.chosenPath(), QStringLiteral("\\\\AB"));
    }
    {
        TFrmTreeCodeMan w(2);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTreeWidgetItem* node = w.findCode("001001");
        w.tree()->scrollToItem(node);
        bool accepted = false;
        connect(&w, &QDialog::accepted, [&] { accepted = true; });
        const QPoint at = w.tree()->visualItemRect(node).center();
        QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w.tree()->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(accepted);
        QCOMPARE(w.chosenPath(), QStringLiteral("\\\\A\\X"));
    }
}

void TstCodesGui::pickTreeNodeShowsCurrentPath()
{
    addTypeTree();
    QString shown;
    onModal([&](QWidget* w) {
        auto* window = qobject_cast<TFrmTreeCodeMan*>(w);
        QVERIFY(window);
        shown = window->tree()->currentItem()->text(0);
        window->tree()->setCurrentItem(window->findCode("001002001"));
        click(w, "btnOK");
    });
    QCOMPARE(PickTreeNode(2, "\\\\A\\X"), QStringLiteral("\\\\A\\Y\\Z"));
    QCOMPARE(shown, QStringLiteral("X"));

    onModal([](QWidget* w) { click(w, "btnCancel"); });
    QCOMPARE(PickTreeNode(2, "手写类型"), QStringLiteral("手写类型"));
    // By kind: counterpart types.
    onModal([](QWidget* w) {
        auto* window = qobject_cast<TFrmTreeCodeMan*>(w);
        QCOMPARE(window->kind().flag, QStringLiteral("clttype"));
        window->tree()->setCurrentItem(window->findCode("005"));
        click(w, "btnOK");
    });
    QCOMPARE(PickTreeNode("clttype", "单位类型", QString()), QStringLiteral("\\\\Q"));
}

void TstCodesGui::enterValueRefusesBlank()
{
    TDLGenterCaption dialog("部门名称");
    QCOMPARE(dialog.windowTitle(), QStringLiteral("部门名称"));
    QCOMPARE(dialog.findChild<QLabel*>("lblCaption")->text(), QStringLiteral("部门名称"));
    bool accepted = false;
    connect(&dialog, &QDialog::accepted, [&] { accepted = true; });
    dialog.valueEdit()->setText("   ");
    click(&dialog, "btnOK");
    QCOMPARE(m_ui->lastText(), QStringLiteral("部门名称不能为空！"));
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    QVERIFY(!accepted);
    dialog.valueEdit()->setText("销售部");
    click(&dialog, "btnOK");
    QVERIFY(accepted);

    onModal([](QWidget* w) {
        w->findChild<QLineEdit*>("edtValue")->setText("  ");
        click(w, "btnOK");
        QVERIFY(w->isVisible());
        w->findChild<QLineEdit*>("edtValue")->setText("工程'类");
        click(w, "btnOK");
    });
    QCOMPARE(EnterValue("类型名称"), QStringLiteral("工程'类"));
    onModal([](QWidget* w) {
        QCOMPARE(w->findChild<QLineEdit*>("edtValue")->text(), QStringLiteral("旧"));
        click(w, "btnCancel");
    });
    QCOMPARE(EnterValue("类型名称", "旧"), QString());
}

void TstCodesGui::valueDialogPicksFromItsTree()
{
    QList<int> modes;
    setPickTreeNodeHook([&](int mode, const QString& current) {
        modes << mode;
        return current + QStringLiteral("\\选");
    });
    TDLGenterCaption departments("部门名称");
    departments.valueEdit()->setText("\\\\部");
    click(&departments, "btnPick");
    QCOMPARE(departments.value(), QStringLiteral("\\\\部\\选"));
    TDLGenterCaption types("类型名称");
    click(&types, "btnPick");
    QCOMPARE(modes, (QList<int>{8, 2}));
}

// ---- Code lists

void TstCodesGui::codeListAddModifyDelete()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('empName', '张三')"));
    TFrmCodeMan w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.windowTitle(), QStringLiteral("选项设置..."));
    QCOMPARE(w.findChild<QLabel*>("StatusPanel4")->text(), QStringLiteral("璞朔软件  "));
    // The list key is compared without regard to case.
    QCOMPARE(w.currentKey(), QStringLiteral("empname"));
    QCOMPARE(w.grid()->model()->rowCount(), 1);
    QCOMPARE(w.grid()->model()->text(0, "F_name"), QStringLiteral("张三"));

    w.findChild<QAbstractButton*>("Ttxcaption")->click();
    QCOMPARE(w.currentKey(), QStringLiteral("txcaption"));
    QCOMPARE(w.grid()->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral(" 提醒主题 "));
    QCOMPARE(w.grid()->model()->rowCount(), 0);

    const QString quoted = QStringLiteral("O'Brien 的\"主题\"");
    trigger(&w, "btnAdd");
    QVERIFY(w.isEditing());
    QVERIFY(!w.findChild<QAction*>("btnExit")->isEnabled());
    QVERIFY(!w.findChild<QAction*>("btnDelete")->isEnabled());
    QVERIFY(!w.findChild<QAbstractButton*>("Tempname")->isEnabled());
    QLineEdit* editor = gridEditor(w);
    QVERIFY(editor);
    editor->setText(quoted);
    trigger(&w, "btnSave");
    QVERIFY(!w.isEditing());
    QCOMPARE(column("SELECT F_name FROM t_code WHERE F_type = 'txcaption'"), QStringList{quoted});
    QCOMPARE(w.grid()->model()->rowCount(), 1);

    trigger(&w, "btnEdit");
    QVERIFY(w.isEditing());
    editor = gridEditor(w);
    QVERIFY(editor);
    QCOMPARE(editor->text(), quoted);
    editor->setText("D'Arcy");
    trigger(&w, "btnSave");
    QCOMPARE(column("SELECT F_name FROM t_code WHERE F_type = 'txcaption'"), QStringList{"D'Arcy"});

    m_ui->queueAnswer(2);
    trigger(&w, "btnDelete");
    QCOMPARE(m_ui->lastText(), QStringLiteral("真的要删除 \" 提醒主题 \"D'Arcy吗？"));
    QCOMPARE(column("SELECT F_name FROM t_code WHERE F_type = 'txcaption'").size(), 1);
    m_ui->queueAnswer(1);
    trigger(&w, "btnDelete");
    QVERIFY(column("SELECT F_name FROM t_code WHERE F_type = 'txcaption'").isEmpty());
    QCOMPARE(w.grid()->model()->rowCount(), 0);
    // Other lists are untouched.
    QCOMPARE(column("SELECT F_name FROM t_code WHERE F_type = 'empName'"), QStringList{"张三"});
}

void TstCodesGui::codeListCancelAndEmptyList()
{
    const int before = m_dm->QueryInt("SELECT count(*) FROM t_code");
    TFrmCodeMan w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.showPage(8); // shippers: empty
    QCOMPARE(w.currentKey(), QStringLiteral("fhemp"));
    trigger(&w, "btnEdit");
    QCOMPARE(m_ui->lastText(), QStringLiteral("此表为空，没有记录需要修改！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY(!w.isEditing());
    trigger(&w, "btnDelete");
    QCOMPARE(m_ui->lastText(), QStringLiteral("此表是空表，不需要删除！"));
    QCOMPARE(m_ui->lastKind(), int(mkInfo));

    // Two appended rows, then "取消".
    trigger(&w, "btnAdd");
    gridEditor(w)->setText("甲");
    QTest::keyClick(w.grid()->view(), Qt::Key_Down);
    QCOMPARE(w.grid()->model()->rowCount(), 2);
    QVERIFY(gridEditor(w));
    gridEditor(w)->setText("乙");
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isEditing());
    QVERIFY(w.isVisible());
    QCOMPARE(w.grid()->model()->rowCount(), 0);
    QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM t_code"), before);

    // A row left empty is stored empty; pick lists skip it.
    trigger(&w, "btnAdd");
    trigger(&w, "btnSave");
    QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM t_code WHERE F_type = 'fhemp' AND F_name = ''"),
             1);
    QVERIFY(m_dm->PickListValues("SELECT F_name FROM t_code WHERE F_type = 'fhemp'").isEmpty());
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
}

void TstCodesGui::codeListSaveFailureKeepsChanges()
{
    TFrmCodeMan w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.showPage(1);
    const QStringList before = column("SELECT F_name FROM t_code WHERE F_type = 'status'");
    trigger(&w, "btnAdd");
    gridEditor(w)->setText("暂停");
    m_dm->db().setFailureInjector(
        [](const QString& sql) { return sql.contains("INSERT INTO t_code"); });
    trigger(&w, "btnSave");
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY(w.isEditing());
    QCOMPARE(w.grid()->model()->rowCount(), before.size() + 1);
    QCOMPARE(column("SELECT F_name FROM t_code WHERE F_type = 'status'"), before);
    m_dm->db().setFailureInjector({});
    trigger(&w, "btnSave");
    QVERIFY(!w.isEditing());
    QCOMPARE(column("SELECT F_name FROM t_code WHERE F_type = 'status'"),
             before + QStringList{"暂停"});
}

void TstCodesGui::codeListPrintAndExport()
{
    TFrmCodeMan w;
    w.showPage(2); // currencies
    QStringList printed;
    setPrintPreviewRunner([&](QPrinter* printer, const std::function<void(QPrinter*)>& paint) {
        printed << printer->docName();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_exe->file("print.pdf"));
        paint(printer);
    });
    trigger(&w, "btnPrint");
    QCOMPARE(printed, QStringList{" 合同币种 设置"});
    QVERIFY(QFileInfo(m_exe->file("print.pdf")).size() > 0);

    QList<QUrl> opened;
    setDesktopOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    const QString file = m_exe->file("币种.xlsx");
    m_ui->queueFile(file);
    trigger(&w, "btnExport");
    QVERIFY(QFileInfo(file).size() > 0);
    QCOMPARE(opened.size(), 1);
}

// ---- Departments

void TstCodesGui::departmentSelection()
{
    QStringList names{"A", "AB", "O'Neil", "销售部"};
    struct Case
    {
        const char* given;
        QStringList ticked;
    };
    const Case cases[] = {
        {"'AB','O''Neil'", {"AB", "O'Neil"}},
        {"AB，销售部", {"AB", "销售部"}},
        {"'A'", {"A"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        TDLGselectDeptSTR dialog(names, QString::fromUtf8(c.given));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("部门选择"));
        QCOMPARE(dialog.boxes().size(), names.size());
        QCOMPARE(dialog.ticked(), c.ticked);
    }
    TDLGselectDeptSTR dialog(names, "'AB','O''Neil'");
    dialog.box("AB")->setChecked(false);
    dialog.box("销售部")->setChecked(true);
    const QString stored = dialog.listText();
    QCOMPARE(stored, QStringLiteral("'O''Neil','销售部'"));
    QCOMPARE(parseDeptList(stored), (QStringList{"O'Neil", "销售部"}));
    TDLGselectDeptSTR again(names, stored);
    QCOMPARE(again.ticked(), (QStringList{"O'Neil", "销售部"}));
    for (QCheckBox* b : again.boxes())
        b->setChecked(false);
    QCOMPARE(again.listText(), QString());
}

void TstCodesGui::departmentSelectionModal()
{
    for (const char* name : {"A", "", "AB", "O'Neil"})
        QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('dept', :n)",
                              {{":n", QString::fromUtf8(name)}}));
    QStringList offered;
    onModal([&](QWidget* w) {
        auto* dialog = qobject_cast<TDLGselectDeptSTR*>(w);
        QVERIFY(dialog);
        for (QCheckBox* b : dialog->boxes())
            offered << b->text();
        dialog->box("A")->setChecked(true);
        click(w, "btnOK");
    });
    QCOMPARE(SelectDepartments("'O''Neil'"), QStringLiteral("'A','O''Neil'"));
    QCOMPARE(offered, (QStringList{"A", "AB", "O'Neil"}));

    onModal([](QWidget* w) {
        qobject_cast<TDLGselectDeptSTR*>(w)->box("AB")->setChecked(true);
        click(w, "btnCancel");
    });
    QCOMPARE(SelectDepartments("'O''Neil'"), QStringLiteral("'O''Neil'"));

    QVERIFY(m_dm->ExecSql("DELETE FROM t_code WHERE F_type = 'dept'"));
    QCOMPARE(SelectDepartments("'旧'"), QStringLiteral("'旧'"));
    QCOMPARE(m_ui->lastText(), QStringLiteral("没有部门选择！"));
}

void TstCodesGui::screenshots()
{
    SCREENSHOTS_ONLY();
    addTypeTree();
    addNode("type", "003", "工程合同", "\\\\工程合同");
    addNode("type", "003001", "施工", "\\\\工程合同\\施工");
    {
        TFrmTreeCodeMan w(1);
        w.tree()->setCurrentItem(w.findCode("003001"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        saveScreenshot(&w, "codes-tree-maintenance");
    }
    {
        TFrmTreeCodeMan w(2);
        w.selectPath("\\\\A\\Y\\Z");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        saveScreenshot(&w, "codes-tree-picker");
    }
    {
        TFrmCodeMan w;
        w.showPage(1);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        saveScreenshot(&w, "codes-code-lists");
    }
    {
        TDLGselectDeptSTR d({"销售部", "工程部", "财务部", "办公室", "采购部"},
                            "'工程部','办公室'");
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        saveScreenshot(&d, "codes-departments");
    }
    {
        TDLGenterCaption d("部门名称");
        d.valueEdit()->setText("\\\\工程合同\\施工");
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        saveScreenshot(&d, "codes-enter-value");
    }
}

QTEST_MAIN(TstCodesGui)
#include "tst_codes_gui.moc"
