#include "codes/CodeCombos.h"
#include "codes/CodeStore.h"
#include "data/DataServicesUi.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

// The data services that fill widgets.
class TstDataServicesGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fillComboBox();
    void treeWidget();
    void employeeAndDeptCombos_data();
    void employeeAndDeptCombos();
    void inputMethod();

private:
    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstDataServicesGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES ('empname', '张三'), "
                          "('empName', '李四'), ('empname', '张三'), ('dept', '工程部'), "
                          "('DEPT', '财务部'), ('dept', 'O''Neil部'), ('dept', '')"));
}

void TstDataServicesGui::cleanup()
{
    closeDataFixture(m_exe, m_ui, m_dm);
}

void TstDataServicesGui::fillComboBox()
{
    QComboBox combo;
    combo.addItem("old");
    // The key in any letter case; blanks and repeats left out; order of entry.
    FillComboBox(CodePickList("Dept"), &combo);
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.itemText(0), QStringLiteral("工程部"));
    QCOMPARE(combo.itemText(1), QStringLiteral("财务部"));
    QCOMPARE(combo.itemText(2), QStringLiteral("O'Neil部"));
    FillComboBox(CodePickList(CodeStore::kEmployees), &combo);
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.itemText(1), QStringLiteral("李四"));
    // A failure empties the list and says so in the operator's words; the
    // database's own text is not the message.
    m_dm->db().setFailureInjector([](const QString& sql) { return sql.contains("t_code"); });
    FillComboBox(CodePickList(CodeStore::kDepartments), &combo);
    m_dm->db().setFailureInjector({});
    QCOMPARE(combo.count(), 0);
    QCOMPARE(m_ui->lastText(), QStringLiteral("打开操作失败，请检查数据连接... "));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY2(!m_ui->lastDetails().isEmpty(), "the database's text goes behind the message");
}

void TstDataServicesGui::treeWidget()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) VALUES "
                          "('001', '土建', '\\\\土建', 'type'), "
                          "('001001', '房建', '\\\\土建\\房建', 'type'), "
                          "('001001001', '住宅', '\\\\土建\\房建\\住宅', 'type'), "
                          "('002', '采购', '\\\\采购', 'type')"));
    QTreeWidget tree;
    tree.addTopLevelItem(new QTreeWidgetItem(QStringList{"stale"}));
    LoadCodeTree(&tree, "合同类型", "type");
    QCOMPARE(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree.topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("合同类型"));
    QCOMPARE(root->data(0, TreeCodeRole).toString(), QStringLiteral("000"));
    QCOMPARE(root->data(0, TreeLikeCodeRole).toString(), QStringLiteral("\\\\"));
    QCOMPARE(root->childCount(), 2);
    QTreeWidgetItem* civil = root->child(0);
    QVERIFY(civil->isExpanded());
    QTreeWidgetItem* house = civil->child(0);
    QVERIFY(!house->isExpanded());
    QTreeWidgetItem* home = house->child(0);
    QCOMPARE(home->data(0, TreeLevelRole).toInt(), 9);
    QCOMPARE(CodeTreePath(home, 1), QStringLiteral("\\\\土建\\房建\\住宅"));
    QCOMPARE(CodeTreePath(home, 2), QStringLiteral("\\\\土建\\房建"));
    QCOMPARE(CodeTreePath(civil, 1), QStringLiteral("\\\\土建"));
    // The stored name path and the one built from the tree agree.
    QCOMPARE(CodeTreePath(home, 1), home->data(0, TreeLikeCodeRole).toString());
}

void TstDataServicesGui::employeeAndDeptCombos_data()
{
    QTest::addColumn<int>("xtFlag");
    QTest::addColumn<QString>("deptList");
    QTest::addColumn<QStringList>("salespeople");
    QTest::addColumn<bool>("salespersonEnabled");
    QTest::addColumn<QStringList>("departments");

    const QStringList all{"工程部", "财务部", "O'Neil部"};
    QTest::newRow("all contracts") << 0 << "" << QStringList{"张三", "李四"} << true << all;
    QTest::newRow("own contracts") << 1 << "" << QStringList{} << false << all;
    QTest::newRow("listed departments") << 2 << "'工程部','O''Neil部'" << QStringList{"caller's"}
                                        << true << QStringList{"工程部", "O'Neil部"};
    QTest::newRow("no department listed")
        << 2 << "" << QStringList{"caller's"} << true << QStringList{};
}

void TstDataServicesGui::employeeAndDeptCombos()
{
    QFETCH(int, xtFlag);
    QFETCH(QString, deptList);
    QFETCH(QStringList, salespeople);
    QFETCH(bool, salespersonEnabled);
    QFETCH(QStringList, departments);
    Session.OperName = "王五";
    Session.XtFlag = xtFlag;
    Session.DeptList = deptList;
    QComboBox emp, dept;
    emp.addItem("caller's");
    FillEmployeeAndDeptCombos(&emp, &dept);
    QStringList gotEmp, gotDept;
    for (int i = 0; i < emp.count(); ++i)
        gotEmp << emp.itemText(i);
    for (int i = 0; i < dept.count(); ++i)
        gotDept << dept.itemText(i);
    gotEmp.sort();
    salespeople.sort();
    gotDept.sort();
    departments.sort();
    QCOMPARE(gotEmp, salespeople);
    QCOMPARE(gotDept, departments);
    QCOMPARE(emp.isEnabled(), salespersonEnabled);
    if (xtFlag == 1)
        QCOMPARE(emp.currentText(), QStringLiteral("王五"));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstDataServicesGui::inputMethod()
{
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit;
    auto* memo = new QTextEdit;
    auto* editable = new QComboBox;
    editable->setEditable(true);
    auto* fixed = new QComboBox;
    auto* spin = new QSpinBox;
    for (QWidget* w : QList<QWidget*>{edit, memo, editable, fixed, spin})
        layout->addWidget(w);

    QCOMPARE(ApplyInputMethod(&window), 0); // no name: the desktop's default
    Session.ImeName = "  中文 (拼音)  ";
    QCOMPARE(ApplyInputMethod(&window), 3);
    QCOMPARE(edit->property("imeName").toString(), QStringLiteral("中文 (拼音)"));
    QCOMPARE(editable->property("imeName").toString(), QStringLiteral("中文 (拼音)"));
    QVERIFY(!fixed->property("imeName").isValid());
    QVERIFY(!spin->property("imeName").isValid());
}

QTEST_MAIN(TstDataServicesGui)
#include "tst_dataservices_gui.moc"
