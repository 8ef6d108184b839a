#include "codes/TDLGselectDeptSTR.h"
#include "common/DataGrid.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "maintenance/TfrmChangePass.h"
#include "maintenance/TfrmOperEdit.h"
#include "maintenance/TfrmOperMan.h"
#include "operators/OperatorStore.h"
#include "platform/PasswordHash.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableWidgetItem>
#include <QTest>

// The operator administration: the list, the operator window and the
// password change, with the rights each operator holds.
class TstOperatorsGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opening();
    void saveRefused_data();
    void saveRefused();
    void saveStores_data();
    void saveStores();
    void addModeStaysOpenForTheNext();
    void storeRefusesTheAdministrator();
    void listRefusesTheAdministrator();
    void listShowsDisabledInRed();
    void listOnAnEmptyTable();
    void deleteRemovesRowAndRights();
    void addThroughTheList();
    void saveFailureAtEachStatement();
    void deleteFailureAtEachStatement();
    void changePassword_data();
    void changePassword();
    void changePasswordFailure();
    void screenshot();

private:
    qint64 idOf(const QString& name);
    QString column(const QString& name, const char* column);
    QStringList rightsOf(const QString& name);
    QStringList tables();
    void addOperator(const QString& name, const QString& password, int xtFlag, const QString& dept,
                     const QStringList& rights, bool disabled = false);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

namespace {

const QString kZhang = QStringLiteral("张三");

template <typename T> T* child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

} // namespace

void TstOperatorsGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('dept', '销售部'), "
                          "('dept', '工程部'), ('empname', '王五')"));
    addOperator(kZhang, "old", 2, "'销售部'", {"公司信息", "用户权限"});
    addOperator("lisi", "pw", 1, "", {"新增"});
    Session.OperName = "admin";
    setSelectDepartmentsHook({});
}

void TstOperatorsGui::cleanup()
{
    setSelectDepartmentsHook({});
    closeModalWindows();
    closeDataFixture(m_exe, m_ui, m_dm);
}

void TstOperatorsGui::addOperator(const QString& name, const QString& password, int xtFlag,
                                  const QString& dept, const QStringList& rights, bool disabled)
{
    QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord, F_mem, F_Flag, F_xtFlag, "
                          "F_SHflag, F_dept) VALUES(:n, :p, :m, :f, :x, 1, :d)",
                          {{":n", name},
                           {":p", SavePass(password)},
                           {":m", name + "的说明"},
                           {":f", disabled},
                           {":x", xtFlag},
                           {":d", dept}}));
    for (const QString& r : rights)
        QVERIFY(m_dm->ExecSql("INSERT INTO OperLimit(F_OperName, F_lmtName) VALUES(:n, :r)",
                              {{":n", name}, {":r", r}}));
}

qint64 TstOperatorsGui::idOf(const QString& name)
{
    return m_dm->QueryInt("SELECT F_ID FROM OperList WHERE F_Name = :n", {{":n", name}});
}

QString TstOperatorsGui::column(const QString& name, const char* column)
{
    return m_dm->QueryString(
        QString("SELECT %1 FROM OperList WHERE F_Name = :n").arg(QLatin1String(column)),
        {{":n", name}});
}

QStringList TstOperatorsGui::rightsOf(const QString& name)
{
    return m_dm->PickListValues(
        "SELECT F_lmtName FROM OperLimit WHERE F_OperName = :n ORDER BY F_lmtName", {{":n", name}});
}

// Every row of the operator tables, to compare before and after.
QStringList TstOperatorsGui::tables()
{
    QStringList rows;
    for (const char* table : {"OperList", "OperLimit", "Limits"}) {
        QSqlQuery q;
        if (!m_dm->OpenQuery(QString("SELECT * FROM %1 ORDER BY 1, 2").arg(table), q))
            return {"unreadable"};
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            rows << QString(table) + ": " + values.join('|');
        }
    }
    return rows;
}

void TstOperatorsGui::opening()
{
    TfrmOperEdit edit(1, idOf(kZhang));
    QVERIFY(edit.isLoaded());
    QCOMPARE(child<QComboBox>(&edit, "cbbName")->currentText(), kZhang);
    // The stored password is a hash: the fields start empty.
    QVERIFY(child<QLineEdit>(&edit, "edtPassword")->text().isEmpty());
    QVERIFY(child<QLineEdit>(&edit, "edtConfirm")->text().isEmpty());
    QCOMPARE(child<QPlainTextEdit>(&edit, "memMem")->toPlainText(), kZhang + "的说明");
    QVERIFY(child<QRadioButton>(&edit, "rbDept")->isChecked());
    QVERIFY(!child<QLineEdit>(&edit, "edtDept")->isHidden());
    QCOMPARE(child<QLineEdit>(&edit, "edtDept")->text(), QString("'销售部'"));
    QVERIFY(child<QCheckBox>(&edit, "chkApprove")->isChecked());
    QCOMPARE(edit.tickedRights(), (QStringList{"公司信息", "用户权限"}));
    // Every right of Limits is offered; the employees are the name's pick list.
    QCOMPARE(edit.rightItem("发货管理") != nullptr, true);
    QVERIFY(child<QComboBox>(&edit, "cbbName")->findText("王五") >= 0);

    TfrmOperEdit added(0, 0);
    QVERIFY(child<QComboBox>(&added, "cbbName")->currentText().isEmpty());
    QVERIFY(added.tickedRights().isEmpty());
    QVERIFY(child<QRadioButton>(&added, "rbAll")->isChecked());
    QVERIFY(child<QLineEdit>(&added, "edtDept")->isHidden());
}

void TstOperatorsGui::saveRefused_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kind");

    QTest::newRow("empty name") << 0 << "   "
                                << ""
                                << ""
                                << "操作员名称不能为空！" << int(mkInfo);
    QTest::newRow("confirmation differs by a blank")
        << 0 << "新人"
        << "abc"
        << "abc "
        << "验正码不正确，请重新确认输入！" << int(mkInfo);
    QTest::newRow("new, taken in other letter case")
        << 0 << "LISI"
        << ""
        << ""
        << "操作员名称重复，请重新输入！" << int(mkInfo);
    QTest::newRow("new, the administrator's name") << 0 << " Admin "
                                                   << ""
                                                   << ""
                                                   << "操作员名称重复，请重新输入！" << int(mkInfo);
    QTest::newRow("rename onto another in other case")
        << 1 << "LiSi"
        << ""
        << ""
        << "操作员名称重复，请重新输入！" << int(mkInfo);
    QTest::newRow("modify, only one password typed")
        << 1 << kZhang << "new"
        << ""
        << "验正码不正确，请重新确认输入！" << int(mkInfo);
}

void TstOperatorsGui::saveRefused()
{
    QFETCH(int, mode);
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, confirm);
    QFETCH(QString, message);
    QFETCH(int, kind);

    const QStringList before = tables();
    TfrmOperEdit edit(mode, idOf(kZhang));
    edit.show();
    child<QComboBox>(&edit, "cbbName")->setEditText(name);
    child<QLineEdit>(&edit, "edtPassword")->setText(password);
    child<QLineEdit>(&edit, "edtConfirm")->setText(confirm);
    edit.tickAll(true);
    QVERIFY(!edit.save());
    QCOMPARE(m_ui->texts(), QStringList{message});
    QCOMPARE(m_ui->lastKind(), kind);
    QCOMPARE(tables(), before);
    // The window keeps what was typed for another try.
    QVERIFY(edit.isVisible());
    QCOMPARE(child<QComboBox>(&edit, "cbbName")->currentText(), name);
}

void TstOperatorsGui::saveStores_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("name");     // typed; empty: as shown
    QTest::addColumn<QString>("password"); // typed into both fields
    QTest::addColumn<int>("choice");       // -1: as shown
    QTest::addColumn<QStringList>("rights");
    QTest::addColumn<bool>("keepRights");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("checksPassword");
    QTest::addColumn<QString>("dept");
    QTest::addColumn<QStringList>("storedRights");

    const QStringList held{"公司信息", "用户权限"};
    QTest::newRow("unchanged in mode 1") << 1 << ""
                                         << "" << -1 << QStringList() << true << kZhang << "old"
                                         << "'销售部'" << held;
    QTest::newRow("both blank keep the old password")
        << 1 << ""
        << "" << 1 << QStringList() << true << kZhang << "old"
        << "" << held;
    QTest::newRow("new password in mode 1")
        << 1 << ""
        << "新 pw" << -1 << QStringList() << true << kZhang << "新 pw"
        << "'销售部'" << held;
    QTest::newRow("choice away from departments stores none")
        << 1 << ""
        << "" << 0 << QStringList() << true << kZhang << "old"
        << "" << held;
    QTest::newRow("no right, no OperLimit row")
        << 1 << ""
        << "" << -1 << QStringList() << false << kZhang << "old"
        << "'销售部'" << QStringList();
    QTest::newRow("rename moves the rights")
        << 1 << " 张三丰 "
        << "" << -1 << QStringList{"更改密码"} << false << "张三丰"
        << "old"
        << "'销售部'" << QStringList{"更改密码"};
    QTest::newRow("rename in letter case only") << 1 << "LISI"
                                                << "" << -1 << QStringList() << true << "LISI"
                                                << "pw"
                                                << "" << QStringList{"新增"};
    QTest::newRow("new with a quote in the name")
        << 0 << "O'Neil"
        << "" << 2 << QStringList{"新增", "删除"} << false << "O'Neil"
        << ""
        << "'工程部'" << QStringList{"删除", "新增"};
    QTest::newRow("new, empty password") << 0 << "王五"
                                         << "" << 1 << QStringList() << false << "王五"
                                         << ""
                                         << "" << QStringList();
}

void TstOperatorsGui::saveStores()
{
    QFETCH(int, mode);
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(int, choice);
    QFETCH(QStringList, rights);
    QFETCH(bool, keepRights);
    QFETCH(QString, storedName);
    QFETCH(QString, checksPassword);
    QFETCH(QString, dept);
    QFETCH(QStringList, storedRights);

    const QString target =
        QString(QTest::currentDataTag()).contains("letter case") ? "lisi" : kZhang;
    const QStringList othersBefore = rightsOf(mode == 1 && target == kZhang ? "lisi" : kZhang);
    setSelectDepartmentsHook([](const QString&) { return QString("'工程部'"); });
    const qint64 targetId = idOf(target);
    TfrmOperEdit edit(mode, targetId);
    edit.show();
    QStringList saved;
    connect(&edit, &TfrmOperEdit::saved, this, [&saved](const QString& n) { saved << n; });
    if (!name.isEmpty())
        child<QComboBox>(&edit, "cbbName")->setEditText(name);
    child<QLineEdit>(&edit, "edtPassword")->setText(password);
    child<QLineEdit>(&edit, "edtConfirm")->setText(password);
    if (choice >= 0) {
        child<QRadioButton>(&edit, choice == 0   ? "rbAll"
                                   : choice == 1 ? "rbOwn"
                                                 : "rbDept")
            ->setChecked(true);
        if (choice == 2)
            child<QPushButton>(&edit, "btnDept")->click();
    }
    if (!keepRights) {
        child<QPushButton>(&edit, "btnClear")->click();
        for (const QString& r : rights)
            edit.rightItem(r)->setCheckState(Qt::Checked);
    }
    QVERIFY(edit.save());
    QVERIFY(m_ui->messages().isEmpty());
    QCOMPARE(saved, QStringList{storedName});

    QVERIFY(idOf(storedName) > 0);
    QVERIFY(CheckPass(checksPassword, column(storedName, "F_PassWord")));
    QCOMPARE(column(storedName, "F_dept"), dept);
    QCOMPARE(rightsOf(storedName), storedRights);
    if (mode == 1) {
        QCOMPARE(idOf(storedName), targetId);
        QVERIFY(!edit.isVisible()); // closed with OK
        QCOMPARE(edit.result(), int(QDialog::Accepted));
        if (storedName.compare(target, Qt::CaseInsensitive) != 0) {
            QCOMPARE(idOf(target), 0);
            QVERIFY(rightsOf(target).isEmpty());
        }
    }
    // The other operator's rights are his own business.
    QCOMPARE(rightsOf(mode == 1 && target == kZhang ? "lisi" : kZhang), othersBefore);
}

void TstOperatorsGui::addModeStaysOpenForTheNext()
{
    TfrmOperEdit edit(0, 0);
    edit.show();
    child<QComboBox>(&edit, "cbbName")->setEditText("赵六");
    child<QPlainTextEdit>(&edit, "memMem")->setPlainText("说明");
    child<QRadioButton>(&edit, "rbOwn")->setChecked(true);
    child<QCheckBox>(&edit, "chkDisabled")->setChecked(true);
    child<QPushButton>(&edit, "btnAll")->click();
    child<QPushButton>(&edit, "btnSave")->click();
    QVERIFY(edit.isVisible());
    QCOMPARE(column("赵六", "F_Flag"), QString("1"));
    QCOMPARE(column("赵六", "F_xtFlag"), QString("1"));
    QCOMPARE(column("赵六", "F_mem"), QString("说明"));
    QCOMPARE(rightsOf("赵六").size(),
             m_dm->QueryInt("SELECT count(*) FROM Limits WHERE F_flag = 1"));
    // Emptied for the next operator.
    QVERIFY(child<QComboBox>(&edit, "cbbName")->currentText().isEmpty());
    QVERIFY(child<QPlainTextEdit>(&edit, "memMem")->toPlainText().isEmpty());
    QVERIFY(child<QRadioButton>(&edit, "rbAll")->isChecked());
    QVERIFY(!child<QCheckBox>(&edit, "chkDisabled")->isChecked());
    QVERIFY(edit.tickedRights().isEmpty());
}

void TstOperatorsGui::storeRefusesTheAdministrator()
{
    const QStringList before = tables();
    OperatorRecord admin;
    QVERIFY(OperatorStore::read(m_dm->db(), idOf("admin"), &admin));
    admin.name = "boss";
    QCOMPARE(OperatorStore::save(m_dm->db(), admin, SavePass("x"), {"新增"}),
             OperatorStore::SaveResult::Administrator);
    QCOMPARE(OperatorStore::remove(m_dm->db(), idOf("admin")),
             OperatorStore::SaveResult::Administrator);
    QCOMPARE(tables(), before);
}

void TstOperatorsGui::listRefusesTheAdministrator()
{
    QVERIFY(m_dm->ExecSql("UPDATE OperList SET F_Name = 'ADMIN' WHERE F_Name = 'admin'"));
    const QStringList before = tables();
    TfrmOperMan list;
    list.grid()->setCurrentRow(list.grid()->model()->findRow("F_Name", "ADMIN"));
    child<QPushButton>(&list, "btnModify")->click();
    QCOMPARE(m_ui->lastText(), QString("此用户为系统默认用户，不能修改和编辑！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    child<QPushButton>(&list, "btnDelete")->click();
    QCOMPARE(m_ui->lastText(), QString("此用户为系统默认用户，不能删除！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_ui->unansweredQuestions(), 0);
    QCOMPARE(tables(), before);
}

void TstOperatorsGui::listShowsDisabledInRed()
{
    addOperator("停用者", "", 0, "", {"新增"}, true);
    TfrmOperMan list;
    RecordModel* model = list.grid()->model();
    QCOMPARE(model->findRow("F_Name", "停用者"), -1);
    QCOMPARE(model->rowCount(), 3);
    child<QCheckBox>(&list, "chkShowDisabled")->setChecked(true);
    const int row = model->findRow("F_Name", "停用者");
    QVERIFY(row >= 0);
    QCOMPARE(model->data(model->index(row, 0), Qt::ForegroundRole).value<QColor>(),
             QColor(Qt::red));
    const int zhang = model->findRow("F_Name", kZhang);
    QVERIFY(model->data(model->index(zhang, 0), Qt::ForegroundRole).value<QColor>() !=
            QColor(Qt::red));
    // The current operator's description and restriction below the list.
    list.grid()->setCurrentRow(zhang);
    QCOMPARE(child<QPlainTextEdit>(&list, "memMem")->toPlainText(), kZhang + "的说明");
    QVERIFY(child<QRadioButton>(&list, "rbDept")->isChecked());
    QCOMPARE(child<QLineEdit>(&list, "edtDept")->text(), QString("'销售部'"));
    list.grid()->setCurrentRow(model->findRow("F_Name", "lisi"));
    QVERIFY(child<QRadioButton>(&list, "rbOwn")->isChecked());
    QVERIFY(child<QLineEdit>(&list, "edtDept")->text().isEmpty());
}

void TstOperatorsGui::listOnAnEmptyTable()
{
    QVERIFY(m_dm->ExecSql("UPDATE OperList SET F_Flag = 1"));
    TfrmOperMan list;
    QCOMPARE(list.grid()->model()->rowCount(), 0);
    child<QPushButton>(&list, "btnModify")->click();
    QCOMPARE(m_ui->texts(), QStringList{"此表为空，没有记录需要修改！"});
    QCOMPARE(m_ui->lastKind(), int(mkError));
    m_ui->clear();
    child<QPushButton>(&list, "btnDelete")->click();
    QVERIFY(m_ui->messages().isEmpty());
}

void TstOperatorsGui::deleteRemovesRowAndRights()
{
    TfrmOperMan list;
    list.grid()->setCurrentRow(list.grid()->model()->findRow("F_Name", kZhang));
    m_ui->queueAnswer(2);
    child<QPushButton>(&list, "btnDelete")->click();
    QCOMPARE(m_ui->lastText(), QString("真的要删除当前操作员 \"张三\" 吗？"));
    QVERIFY(idOf(kZhang) > 0);

    m_ui->queueAnswer(1);
    child<QPushButton>(&list, "btnDelete")->click();
    QCOMPARE(idOf(kZhang), 0);
    QVERIFY(rightsOf(kZhang).isEmpty());
    QCOMPARE(rightsOf("lisi"), QStringList{"新增"});
    QCOMPARE(list.grid()->model()->findRow("F_Name", kZhang), -1);
}

void TstOperatorsGui::addThroughTheList()
{
    TfrmOperMan list;
    bool stepped = false;
    onModal([&](QWidget* w) {
        auto* edit = qobject_cast<TfrmOperEdit*>(w);
        QVERIFY(edit);
        QCOMPARE(edit->windowTitle(), QString("操作员"));
        child<QComboBox>(edit, "cbbName")->setEditText("赵六");
        child<QPushButton>(edit, "btnSave")->click();
        // The list follows each save while the window stays open.
        QCOMPARE(list.grid()->currentValue("F_Name").toString(), QString("赵六"));
        QVERIFY(edit->isVisible());
        stepped = true;
        child<QPushButton>(edit, "btnClose")->click();
    });
    child<QPushButton>(&list, "btnAdd")->click();
    QVERIFY(stepped);

    onModal([&](QWidget* w) {
        auto* edit = qobject_cast<TfrmOperEdit*>(w);
        QVERIFY(edit);
        QCOMPARE(edit->mode(), 1);
        child<QComboBox>(edit, "cbbName")->setEditText("赵七");
        child<QPushButton>(edit, "btnSave")->click();
    });
    child<QPushButton>(&list, "btnModify")->click();
    QCOMPARE(list.grid()->currentValue("F_Name").toString(), QString("赵七"));
    QCOMPARE(idOf("赵六"), 0);
}

void TstOperatorsGui::saveFailureAtEachStatement()
{
    const QStringList before = tables();
    bool succeeded = false;
    for (int failAt = 1; failAt < 40 && !succeeded; ++failAt) {
        m_ui->clear();
        TfrmOperEdit edit(1, idOf(kZhang));
        edit.show();
        child<QComboBox>(&edit, "cbbName")->setEditText("张三丰");
        child<QLineEdit>(&edit, "edtPassword")->setText("new");
        child<QLineEdit>(&edit, "edtConfirm")->setText("new");
        edit.rightItem("新增")->setCheckState(Qt::Checked);
        int seen = 0;
        m_dm->db().setFailureInjector([&](const QString&) { return ++seen == failAt; });
        succeeded = edit.save();
        m_dm->db().setFailureInjector({});
        if (succeeded) {
            QVERIFY2(failAt > 5, "the save runs several statements");
            QCOMPARE(rightsOf("张三丰"), (QStringList{"公司信息", "新增", "用户权限"}));
            break;
        }
        QCOMPARE(m_ui->texts(), QStringList{"保存失败，请检测数据库连接！"});
        QCOMPARE(m_ui->lastKind(), int(mkError));
        QCOMPARE(tables(), before);
        QVERIFY(edit.isVisible());
        QCOMPARE(child<QComboBox>(&edit, "cbbName")->currentText(), QString("张三丰"));
    }
    QVERIFY(succeeded);
}

void TstOperatorsGui::deleteFailureAtEachStatement()
{
    const QStringList before = tables();
    bool succeeded = false;
    for (int failAt = 1; failAt < 20 && !succeeded; ++failAt) {
        m_ui->clear();
        TfrmOperMan list;
        list.grid()->setCurrentRow(list.grid()->model()->findRow("F_Name", kZhang));
        int seen = 0;
        m_dm->db().setFailureInjector([&](const QString&) { return ++seen == failAt; });
        m_ui->queueAnswer(1);
        child<QPushButton>(&list, "btnDelete")->click();
        m_dm->db().setFailureInjector({});
        succeeded = idOf(kZhang) == 0;
        if (succeeded) {
            QVERIFY(rightsOf(kZhang).isEmpty());
            break;
        }
        QCOMPARE(m_ui->lastText(), QString("删除操作失败，请检查数据连接... "));
        QCOMPARE(tables(), before);
    }
    QVERIFY(succeeded);
}

void TstOperatorsGui::changePassword_data()
{
    QTest::addColumn<QString>("operatorName"); // as logged in
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("checks"); // the password the stored hash then checks

    QTest::newRow("equal") << kZhang << "old"
                           << "abc"
                           << "abc"
                           << "更改口令成功！" << int(mkInfo) << "abc";
    QTest::newRow("blank after the repetition") << kZhang << "old"
                                                << "abc"
                                                << "abc "
                                                << "更改口令成功！" << int(mkInfo) << "abc";
    QTest::newRow("first stored as typed") << kZhang << "old"
                                           << " abc"
                                           << "abc"
                                           << "更改口令成功！" << int(mkInfo) << " abc";
    QTest::newRow("wrong old") << kZhang << "Old"
                               << "abc"
                               << "abc"
                               << "旧口令输入错误，不能更改！" << int(mkWarning) << "old";
    QTest::newRow("old with a blank") << kZhang << "old "
                                      << "abc"
                                      << "abc"
                                      << "旧口令输入错误，不能更改！" << int(mkWarning) << "old";
    QTest::newRow("new ones differ") << kZhang << "old"
                                     << "abc"
                                     << "abd"
                                     << "新口令错误，不能更改！" << int(mkInfo) << "old";
    QTest::newRow("administrator logged in as ADMIN") << "ADMIN"
                                                      << ""
                                                      << "x"
                                                      << "x"
                                                      << "更改口令成功！" << int(mkInfo) << "x";
}

void TstOperatorsGui::changePassword()
{
    QFETCH(QString, operatorName);
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, repeat);
    QFETCH(QString, message);
    QFETCH(int, kind);
    QFETCH(QString, checks);

    Session.OperName = operatorName;
    const QString stored = operatorName == "ADMIN" ? "admin" : operatorName;
    const QString lisi = column("lisi", "F_PassWord");
    TfrmChangePass window;
    QCOMPARE(child<QLabel>(&window, "lblOperator")->text(), "当前操作员：" + operatorName + " ");
    window.show();
    child<QLineEdit>(&window, "edtOld")->setText(oldPassword);
    child<QLineEdit>(&window, "edtNew")->setText(newPassword);
    child<QLineEdit>(&window, "edtRepeat")->setText(repeat);
    child<QPushButton>(&window, "btnOK")->click();
    QCOMPARE(m_ui->texts(), QStringList{message});
    QCOMPARE(m_ui->lastKind(), kind);
    QVERIFY(CheckPass(checks, column(stored, "F_PassWord")));
    if (checks == "abc")
        QVERIFY(!CheckPass("abc ", column(stored, "F_PassWord")));
    QCOMPARE(column("lisi", "F_PassWord"), lisi);
    // The window closes whatever the outcome.
    QVERIFY(!window.isVisible());
}

void TstOperatorsGui::changePasswordFailure()
{
    const QString before = column(kZhang, "F_PassWord");
    Session.OperName = kZhang;
    m_dm->db().setFailureInjector(
        [](const QString& sql) { return sql.startsWith("UPDATE OperList"); });
    TfrmChangePass window;
    child<QLineEdit>(&window, "edtOld")->setText("old");
    child<QLineEdit>(&window, "edtNew")->setText("abc");
    child<QLineEdit>(&window, "edtRepeat")->setText("abc");
    QVERIFY(!window.change());
    m_dm->db().setFailureInjector({});
    QVERIFY(!m_ui->texts().contains("更改口令成功！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(column(kZhang, "F_PassWord"), before);

    // An operator deleted meanwhile changes nothing and is said so.
    m_ui->clear();
    Session.OperName = "无此人";
    TfrmChangePass gone;
    QVERIFY(!gone.change());
    QCOMPARE(m_ui->lastKind(), int(mkWarning));
}

void TstOperatorsGui::screenshot()
{
    SCREENSHOTS_ONLY();
    closeDataFixture(m_exe, m_ui, m_dm);
    m_exe = new TempExeDir;
    makeDemoDatabase(m_exe->file("data"));
    m_ui = new ScriptedDialogs;
    m_dm = new TdmData;
    QVERIFY(m_dm->Connect());
    Session.OperName = "admin";
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('dept', '销售部'), "
                          "('dept', '工程部')"));
    addOperator(kZhang, "old", 2, "'销售部','工程部'", {"公司信息", "用户权限", "新增", "修改"});
    addOperator("lisi", "pw", 1, "", {"新增"});
    addOperator("王五", "pw", 0, "", {}, true);
    TfrmOperMan list;
    list.findChild<QCheckBox*>("chkShowDisabled")->setChecked(true);
    list.grid()->setCurrentRow(list.grid()->model()->findRow("F_Name", kZhang));
    list.show();
    saveScreenshot(&list, "operator-list");
    TfrmOperEdit edit(1, idOf(kZhang));
    edit.show();
    saveScreenshot(&edit, "operator-edit");
    TfrmChangePass pass;
    pass.show();
    saveScreenshot(&pass, "change-password");
}

QTEST_MAIN(TstOperatorsGui)
#include "tst_operators_gui.moc"
