#include "common/DataGrid.h"
#include "common/FieldListDialog.h"
#include "common/FieldValueDialog.h"
#include "common/GridLayouts.h"
#include "common/SortDialog.h"
#include "data/Schema.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

// The grid services of the list screens and their dialogs.
class TstGridLayoutGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadReplacesBuiltColumns();
    void unstoredGridKeepsItsColumnsAndCanBeSaved();
    void arrangedColumnsSurviveSaveAndLoad();
    void failuresAreReported();
    void saveAsksFirst_data();
    void saveAsksFirst();
    void chooseColumnsTicksAndApplies();
    void chooseColumnsCancelChangesNothing();
    void applyColumnFormats_data();
    void applyColumnFormats();
    void customCaptionsBeatStoredLayout();
    void moneyFormatAndUnnamedCustomFields();

    void sortText_data();
    void sortText();
    void sortSharedTitles();
    void sortDialogControls();
    void sortDialogRunsModally();

    void valueDialogChecks_data();
    void valueDialogChecks();
    void valueDialogRunsModally();

private:
    int rowsOf(const QString& layout);
    static GridColumns builtColumns();

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

namespace {

void click(QWidget* dialog, const char* button)
{
    auto* b = dialog->findChild<QPushButton*>(button);
    QVERIFY2(b, button);
    QTest::mouseClick(b, Qt::LeftButton);
}

QStringList fields(const GridColumns& columns)
{
    QStringList out;
    for (const GridColumn& c : columns)
        out << c.fieldName;
    return out;
}

QList<bool> hiddenFlags(const DataGrid& grid)
{
    QList<bool> out;
    for (int c = 0; c < grid.model()->columnCount(); ++c)
        out << grid.view()->isColumnHidden(c);
    return out;
}

} // namespace

void TstGridLayoutGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
}

void TstGridLayoutGui::cleanup()
{
    closeDataFixture(m_exe, m_ui, m_dm);
}

int TstGridLayoutGui::rowsOf(const QString& layout)
{
    return m_dm->QueryInt("SELECT COUNT(*) FROM cfg_grid WHERE F_name = :n COLLATE BINARY",
                          {{":n", layout}});
}

GridColumns TstGridLayoutGui::builtColumns()
{
    GridColumn code = textColumn("F_Code", "编号", 90);
    code.footerType = GridColumn::FooterText;
    code.footerValue = "合计";
    GridColumn memo = textColumn("F_memo", "备注", 140);
    memo.visible = false;
    return {code, textColumn("F_Name", "名称", 160),
            sumColumn("F_totalPrice", "金额", 100, ",0.00"), memo,
            textColumn("F_Date", "日期", 80)};
}

void TstGridLayoutGui::loadReplacesBuiltColumns()
{
    DataGrid grid;
    grid.setColumns(builtColumns());
    QVERIFY(LoadGridLayout(&grid, "ClientMain"));
    const GridColumns columns = grid.columns();
    QCOMPARE(columns.size(), rowsOf("clientmain"));
    QCOMPARE(columns.first().fieldName, QStringLiteral("F_code"));
    QCOMPARE(columns.first().title, QStringLiteral("合同编号"));
    QCOMPARE(columns.first().width, 100);
    QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("合同编号"));
    QCOMPARE(grid.view()->columnWidth(1), 180);
    QVERIFY(m_ui->messages().isEmpty());
}

void TstGridLayoutGui::unstoredGridKeepsItsColumnsAndCanBeSaved()
{
    DataGrid grid;
    grid.setColumns(builtColumns());
    const GridColumns built = grid.columns();
    QVERIFY(!LoadGridLayout(&grid, "MyGrid"));
    QCOMPARE(grid.columns(), built);
    QVERIFY(grid.view()->isColumnHidden(3));
    QVERIFY(m_ui->messages().isEmpty());

    QVERIFY(SaveGridLayout(&grid, "MyGrid"));
    QCOMPARE(rowsOf("mygrid"), built.size());
    QVERIFY(m_ui->messages().isEmpty());

    DataGrid other;
    other.setColumns({textColumn("F_x", "x")});
    QVERIFY(LoadGridLayout(&other, "mygrid"));
    QCOMPARE(other.columns(), built);
    QCOMPARE(hiddenFlags(other), hiddenFlags(grid));
}

void TstGridLayoutGui::arrangedColumnsSurviveSaveAndLoad()
{
    const int stored = rowsOf("clientmain");
    DataGrid grid;
    QVERIFY(LoadGridLayout(&grid, "clientmain"));
    QHeaderView* h = grid.view()->horizontalHeader();
    h->moveSection(h->visualIndex(5), 0);  // F_totalPrice first
    grid.view()->setColumnHidden(1, true); // F_name
    grid.view()->setColumnWidth(2, 155);   // F_type
    grid.view()->setColumnHidden(17, false);
    const GridColumns arranged = grid.columns();
    QCOMPARE(arranged.first().fieldName, QStringLiteral("F_totalPrice"));

    QVERIFY(SaveGridLayout(&grid, "CLIENTMAIN"));
    QCOMPARE(rowsOf("clientmain"), stored);
    QCOMPARE(rowsOf("CLIENTMAIN"), 0);

    // A new screen opening the same layout shows the arrangement again.
    DataGrid reopened;
    reopened.setColumns(builtColumns());
    QVERIFY(LoadGridLayout(&reopened, "clientmain"));
    QCOMPARE(reopened.columns(), arranged);
    const RecordModel* m = reopened.model();
    QCOMPARE(m->gridColumn(0).fieldName, QStringLiteral("F_totalPrice"));
    QVERIFY(reopened.view()->isColumnHidden(m->columnOfField("F_name")));
    QCOMPARE(reopened.view()->columnWidth(m->columnOfField("F_type")), 155);
    QVERIFY(m_ui->messages().isEmpty());
}

void TstGridLayoutGui::failuresAreReported()
{
    DataGrid grid;
    grid.setColumns(builtColumns());
    const GridColumns built = grid.columns();
    m_dm->db().setFailureInjector([](const QString& sql) { return sql.contains("cfg_grid"); });
    QVERIFY(!LoadGridLayout(&grid, "clientmain"));
    QCOMPARE(grid.columns(), built);
    QCOMPARE(m_ui->lastText(), QStringLiteral("操作失败，请检查数据连接... "));
    QCOMPARE(m_ui->lastKind(), int(mkError));

    m_ui->clear();
    QVERIFY(!SaveGridLayout(&grid, "clientmain"));
    QCOMPARE(m_ui->texts(), QStringList{"操作失败，请检查数据连接... "});
    QCOMPARE(m_ui->lastKind(), int(mkError));
    m_dm->db().setFailureInjector({});
    // Nothing of the failed save reached the stored layout.
    DataGrid reopened;
    QVERIFY(LoadGridLayout(&reopened, "clientmain"));
    QCOMPARE(reopened.columns().first().fieldName, QStringLiteral("F_code"));
    QCOMPARE(reopened.columns().first().title, QStringLiteral("合同编号"));
    QCOMPARE(reopened.columns().first().width, 100);
}

void TstGridLayoutGui::saveAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes") << 1 << true;
    QTest::newRow("no") << 2 << false;
}

void TstGridLayoutGui::saveAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(bool, saved);
    DataGrid grid;
    grid.setColumns(builtColumns());
    m_ui->queueAnswer(answer);
    QCOMPARE(AskAndSaveGridLayout(&grid, "asked"), saved);
    QCOMPARE(m_ui->texts(), QStringList{"真的要保存当前网格设置吗？"});
    QCOMPARE(m_ui->lastKind(), int(mkQuestion));
    QCOMPARE(rowsOf("asked"), saved ? int(builtColumns().size()) : 0);
}

void TstGridLayoutGui::chooseColumnsTicksAndApplies()
{
    DataGrid grid;
    grid.setColumns(builtColumns());
    QHeaderView* h = grid.view()->horizontalHeader();
    h->moveSection(4, 0); // 日期 shown first
    const int stored = m_dm->QueryInt("SELECT COUNT(*) FROM cfg_grid");

    QStringList titles;
    QList<bool> ticks;
    onModal([&](QWidget* w) {
        auto* dlg = qobject_cast<FieldListDialog*>(w);
        QVERIFY(dlg);
        QCOMPARE(dlg->objectName(), QStringLiteral("FieldListDialog"));
        QCOMPARE(dlg->windowTitle(), QStringLiteral("字段列表"));
        QListWidget* list = dlg->findChild<QListWidget*>("lstFields");
        QVERIFY(list);
        for (int i = 0; i < list->count(); ++i) {
            titles << list->item(i)->text();
            ticks << (list->item(i)->checkState() == Qt::Checked);
        }
        list->item(1)->setCheckState(Qt::Unchecked); // 编号
        list->item(4)->setCheckState(Qt::Checked);   // 备注, hidden so far
        click(dlg, "btnOK");
    });
    QVERIFY(ChooseGridColumns(&grid));
    QCOMPARE(titles, (QStringList{"日期", "编号", "名称", "金额", "备注"}));
    QCOMPARE(ticks, (QList<bool>{true, true, true, true, false}));
    QCOMPARE(hiddenFlags(grid), (QList<bool>{true, false, false, false, false}));
    // The column shown again takes its width, and the order on screen stays.
    QCOMPARE(grid.view()->columnWidth(3), 140);
    QCOMPARE(fields(grid.columns()),
             (QStringList{"F_Date", "F_Code", "F_Name", "F_totalPrice", "F_memo"}));
    QCOMPARE(grid.columns().at(1).visible, false);
    QCOMPARE(m_dm->QueryInt("SELECT COUNT(*) FROM cfg_grid"), stored);
}

void TstGridLayoutGui::chooseColumnsCancelChangesNothing()
{
    DataGrid grid;
    QVERIFY(LoadGridLayout(&grid, "clientmain"));
    const GridColumns before = grid.columns();
    onModal([&](QWidget* w) {
        QListWidget* list = w->findChild<QListWidget*>("lstFields");
        QVERIFY(list);
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(Qt::Unchecked);
        click(w, "btnCancel");
    });
    QVERIFY(!ChooseGridColumns(&grid));
    QCOMPARE(grid.columns(), before);

    // Hidden without saving: the next opening shows the stored layout again.
    onModal([&](QWidget* w) {
        w->findChild<QListWidget*>("lstFields")->item(0)->setCheckState(Qt::Unchecked);
        click(w, "btnOK");
    });
    QVERIFY(ChooseGridColumns(&grid));
    QVERIFY(grid.view()->isColumnHidden(0));
    DataGrid reopened;
    QVERIFY(LoadGridLayout(&reopened, "clientmain"));
    QVERIFY(!reopened.view()->isColumnHidden(0));
    QCOMPARE(reopened.columns(), before);
}

void TstGridLayoutGui::applyColumnFormats_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("format");

    QTest::newRow("zf1") << "F_ZF1"
                         << "K1"
                         << "#0.0";
    QTest::newRow("zf5 lower case") << "f_zf5"
                                    << "K5"
                                    << "#0.0";
    QTest::newRow("sz1") << "F_SZ1"
                         << "K6"
                         << "#0.0";
    QTest::newRow("sz3") << "F_SZ3"
                         << "K8"
                         << "#0.0";
    QTest::newRow("rq1") << "F_RQ1"
                         << "K9"
                         << "#0.0";
    QTest::newRow("rq3") << "F_RQ3"
                         << "K11"
                         << "#0.0";
    QTest::newRow("amount") << "F_amount"
                            << "原标题"
                            << ",0.000";
    QTest::newRow("amount inside") << "F_YFAmount"
                                   << "原标题"
                                   << ",0.000";
    QTest::newRow("other field") << "F_code"
                                 << "原标题"
                                 << "#0.0";
}

void TstGridLayoutGui::moneyFormatAndUnnamedCustomFields()
{
    Session.KeyValues = QStringList(16);
    Session.KeyValues[1] = "招标编号";
    Session.MoneyFormat = ",0.00##";
    GridColumn stored = textColumn("F_SKprice", "实收", 80);
    stored.displayFormat = "0.0";
    DataGrid grid;
    grid.setColumns({textColumn("F_totalPrice", "合同金额"), stored, textColumn("F_ZF1", "x"),
                     textColumn("F_ZF2", "y"), textColumn("F_priceunit", "币种")});
    ApplyColumnFormats(&grid);
    const GridColumns after = grid.model()->columns();
    QCOMPARE(after.at(0).displayFormat, QStringLiteral(",0.00##"));
    QCOMPARE(after.at(1).displayFormat, QStringLiteral("0.0")); // its own format stays
    QCOMPARE(after.at(4).displayFormat, QString());
    QCOMPARE(after.at(2).title, QStringLiteral("招标编号"));
    QVERIFY(after.at(2).visible);
    QVERIFY(!after.at(3).visible); // slot 2 has no caption: not in use
    QVERIFY(grid.view()->isColumnHidden(3));
}

void TstGridLayoutGui::applyColumnFormats()
{
    QFETCH(QString, field);
    QFETCH(QString, title);
    QFETCH(QString, format);
    for (int slot = 1; slot <= 15; ++slot)
        Session.KeyValues[slot] = QStringLiteral("K%1").arg(slot);
    Session.QuantityFormat = ",0.000";
    GridColumn c = textColumn(field, "原标题", 77);
    c.displayFormat = "#0.0";
    DataGrid grid;
    grid.setColumns({textColumn("F_first", "first"), c});
    grid.view()->horizontalHeader()->moveSection(1, 0);
    ApplyColumnFormats(&grid);
    const GridColumn& after = grid.model()->gridColumn(1);
    QCOMPARE(after.title, title);
    QCOMPARE(after.displayFormat, format);
    QCOMPARE(after.width, 77);
    QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), title);
    // Nothing else moves.
    QCOMPARE(grid.columns().first().fieldName, field);
    QCOMPARE(grid.model()->gridColumn(0).title, QStringLiteral("first"));
}

void TstGridLayoutGui::customCaptionsBeatStoredLayout()
{
    Session.KeyValues[1] = "客户等级";
    Session.KeyValues[11] = "验收日期";
    DataGrid grid;
    QVERIFY(LoadGridLayout(&grid, "clientmain"));
    ApplyColumnFormats(&grid);
    const RecordModel* m = grid.model();
    QCOMPARE(m->gridColumn(m->columnOfField("F_ZF1")).title, QStringLiteral("客户等级"));
    QCOMPARE(m->gridColumn(m->columnOfField("F_RQ3")).title, QStringLiteral("验收日期"));
    QCOMPARE(m->gridColumn(m->columnOfField("F_code")).title, QStringLiteral("合同编号"));
}

// Steps on the sort dialog: "a<row>" ascending, "d<row>" descending,
// "c<row>" double click, "u<row>" / "n<row>" select the row and press
// 上移 / 下移.
void TstGridLayoutGui::sortText_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text");

    QTest::newRow("nothing chosen") << QStringList{} << "";
    QTest::newRow("second row descending") << QStringList{"d1"} << "f_name DESC,";
    QTest::newRow("top to bottom") << QStringList{"d4", "a0"} << "f_code ASC,f_date DESC,";
    QTest::newRow("moved up gains priority")
        << QStringList{"a0", "d4", "u4", "u3", "u2", "u1"} << "f_date DESC,f_code ASC,";
    QTest::newRow("moved down loses priority")
        << QStringList{"a0", "d1", "n0"} << "f_name DESC,f_code ASC,";
    QTest::newRow("move keeps the direction with its row")
        << QStringList{"d2", "n2", "n3"} << "f_totalprice DESC,";
    QTest::newRow("double click once") << QStringList{"c2"} << "f_totalprice ASC,";
    QTest::newRow("double click twice") << QStringList{"c2", "c2"} << "f_totalprice DESC,";
    QTest::newRow("double click thrice") << QStringList{"c2", "c2", "c2"} << "";
    QTest::newRow("hidden columns count too") << QStringList{"a3"} << "f_memo ASC,";
}

void TstGridLayoutGui::sortText()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, text);
    DataGrid grid;
    grid.setColumns(builtColumns());
    SortDialog dlg(&grid);
    for (const QString& s : steps) {
        const int row = s.mid(1).toInt();
        switch (s.at(0).toLatin1()) {
        case 'a':
            dlg.setDirection(row, SortDialog::ascending());
            break;
        case 'd':
            dlg.setDirection(row, SortDialog::descending());
            break;
        case 'c':
            dlg.cycleDirection(row);
            break;
        case 'u':
            dlg.setCurrentRow(row);
            dlg.moveUp();
            break;
        case 'n':
            dlg.setCurrentRow(row);
            dlg.moveDown();
            break;
        }
    }
    QCOMPARE(dlg.sortText(), text);
}

void TstGridLayoutGui::sortSharedTitles()
{
    DataGrid grid;
    grid.setColumns(
        {textColumn("F_A", "金额"), textColumn("F_B", "金额"), textColumn("F_C", "其他")});
    struct Case
    {
        QStringList directions;
        QString text;
    };
    // Rows sharing a title use the first column of that title and the
    // direction of the first of those rows.
    const Case cases[] = {
        {{"升序", "", ""}, "f_a ASC,"},
        {{"", "降序", ""}, "f_a,"},
        {{"升序", "降序", "降序"}, "f_a ASC,f_a ASC,f_c DESC,"},
    };
    for (const Case& c : cases) {
        SortDialog dlg(&grid);
        for (int r = 0; r < 3; ++r)
            dlg.setDirection(r, c.directions.at(r));
        QCOMPARE(dlg.sortText(), c.text);
    }
}

void TstGridLayoutGui::sortDialogControls()
{
    DataGrid grid;
    grid.setColumns(builtColumns());
    SortDialog dlg(&grid);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.objectName(), QStringLiteral("SortDialog"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("排序对话框"));
    QCOMPARE(dlg.findChild<QLabel*>("lblHint")->text(),
             QStringLiteral("提示：双击空白处切换排序方式（升降无），单击上下移动键调整优先顺序"));
    QTableWidget* table = dlg.findChild<QTableWidget*>("sgSort");
    QVERIFY(table);
    QCOMPARE(dlg.rowCount(), 5);
    QCOMPARE(dlg.title(0), QStringLiteral("编号"));
    QCOMPARE(dlg.direction(0), QString());

    // Double click anywhere on a row cycles its direction.
    auto dclick = [table](int row, int column) {
        const QRect r = table->visualRect(table->model()->index(row, column));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, r.center());
    };
    dclick(1, 1);
    QCOMPARE(dlg.direction(1), SortDialog::ascending());
    dclick(1, 0);
    QCOMPARE(dlg.direction(1), SortDialog::descending());
    dclick(1, 1);
    QCOMPARE(dlg.direction(1), QString());
    // Clicking a selected row must not leave a drop-down open over the cycle.
    dclick(1, 1);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QComboBox* editor = table->findChild<QComboBox*>();
    QVERIFY(!editor || !editor->isVisible());
    QCOMPARE(dlg.direction(1), SortDialog::ascending());
    dlg.setDirection(1, QString());

    // The buttons move the current row and keep it selected; the ends stay.
    dlg.setDirection(1, SortDialog::descending());
    dlg.setCurrentRow(1);
    click(&dlg, "btnUp");
    QCOMPARE(dlg.currentRow(), 0);
    QCOMPARE(dlg.title(0), QStringLiteral("名称"));
    QCOMPARE(dlg.direction(0), SortDialog::descending());
    QCOMPARE(dlg.title(1), QStringLiteral("编号"));
    QCOMPARE(dlg.direction(1), QString());
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(table->selectionModel()->selectedRows().first().row(), 0);
    click(&dlg, "btnUp");
    QCOMPARE(dlg.currentRow(), 0);
    QCOMPARE(dlg.title(0), QStringLiteral("名称"));
    click(&dlg, "btnDown");
    QCOMPARE(dlg.currentRow(), 1);
    QCOMPARE(dlg.title(1), QStringLiteral("名称"));
    dlg.setCurrentRow(4);
    click(&dlg, "btnDown");
    QCOMPARE(dlg.currentRow(), 4);
    QCOMPARE(dlg.title(4), QStringLiteral("日期"));
    QCOMPARE(dlg.sortText(), QStringLiteral("f_name DESC,"));
}

void TstGridLayoutGui::sortDialogRunsModally()
{
    DataGrid grid;
    grid.setColumns(builtColumns());
    onModal([](QWidget* w) {
        auto* dlg = qobject_cast<SortDialog*>(w);
        QVERIFY(dlg);
        dlg->setDirection(0, SortDialog::descending());
        click(dlg, "btnOK");
    });
    QCOMPARE(SortDialog::execute(&grid), std::optional<QString>("f_code DESC,"));

    onModal([](QWidget* w) { click(w, "btnOK"); });
    QCOMPARE(SortDialog::execute(&grid), std::optional<QString>(""));

    onModal([](QWidget* w) {
        qobject_cast<SortDialog*>(w)->setDirection(0, SortDialog::ascending());
        click(w, "btnCancel");
    });
    QCOMPARE(SortDialog::execute(&grid), std::nullopt);
}

void TstGridLayoutGui::valueDialogChecks_data()
{
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("refusal");

    const QString blank = "当前输入不能为空！";
    const QString taken = "当前文件名已经存在，请更换图片名！";
    QTest::newRow("empty") << false << "" << blank;
    QTest::newRow("blanks") << false << "   " << blank;
    QTest::newRow("picture blanks") << true << " \t\u3000" << blank;
    QTest::newRow("taken picture name") << true << "scan1.jpg" << taken;
    QTest::newRow("new picture name") << true << "scan2.jpg"
                                      << "";
    QTest::newRow("batch value like a picture") << false << "scan1.jpg"
                                                << "";
    QTest::newRow("value with blanks around") << false << " 北京 "
                                              << "";
}

void TstGridLayoutGui::valueDialogChecks()
{
    QFETCH(bool, picture);
    QFETCH(QString, value);
    QFETCH(QString, refusal);
    writeFile(m_exe->file("images/scan1.jpg"), "jpeg");
    FieldValueDialog dlg(picture ? FieldValueDialog::PictureNameMode : FieldValueDialog::BatchMode,
                         QString(), "initial");
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QLineEdit* edit = dlg.findChild<QLineEdit*>("edtValue");
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("initial"));
    edit->setText(value);
    click(&dlg, "btnOK");
    if (refusal.isEmpty()) {
        QVERIFY(m_ui->messages().isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.value(), value);
    } else {
        QCOMPARE(m_ui->texts(), QStringList{refusal});
        QCOMPARE(m_ui->lastKind(), int(mkInfo));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }
}

void TstGridLayoutGui::valueDialogRunsModally()
{
    // Batch mode: the default prompt, the caller's text, the typed result.
    onModal([](QWidget* w) {
        QCOMPARE(w->objectName(), QStringLiteral("FieldValueDialog"));
        QCOMPARE(w->windowTitle(), QStringLiteral("批量修改当前列"));
        QCOMPARE(w->findChild<QLabel*>("lblPrompt")->text(),
                 QStringLiteral("请输入要填写的字段值："));
        QLineEdit* edit = w->findChild<QLineEdit*>("edtValue");
        QCOMPARE(edit->text(), QStringLiteral("F_dept"));
        QCOMPARE(edit->maxLength(), 20);
        edit->setText("工程部");
        click(w, "btnOK");
    });
    QCOMPARE(FieldValueDialog::askBatchValue("F_dept", QString(), 20),
             std::optional<QString>("工程部"));

    onModal([](QWidget* w) { click(w, "btnCancel"); });
    QCOMPARE(FieldValueDialog::askBatchValue("F_dept"), std::nullopt);

    // Picture-name mode: refused first, then a free name.
    writeFile(m_exe->file("images/合同扫描1.jpg"), "jpeg");
    onModal([this](QWidget* w) {
        QCOMPARE(w->windowTitle(), QStringLiteral("提示 "));
        QCOMPARE(w->findChild<QLabel*>("lblPrompt")->text(), QStringLiteral("请输入图片的名称："));
        QLineEdit* edit = w->findChild<QLineEdit*>("edtValue");
        QCOMPARE(edit->maxLength(), Schema::maxLength("t_TPrec", "F_FileName"));
        click(w, "btnOK");
        QCOMPARE(m_ui->lastText(), QStringLiteral("当前文件名已经存在，请更换图片名！"));
        QCOMPARE(QApplication::activeModalWidget(), w);
        edit->setText("合同扫描2.jpg");
        click(w, "btnOK");
    });
    QCOMPARE(FieldValueDialog::askPictureName("请输入图片的名称：", "合同扫描1.jpg"),
             std::optional<QString>("合同扫描2.jpg"));

    // A proposed name longer than the column is shown whole, not cut, and
    // refused until shortened.
    m_ui->clear();
    const QString longName = QString(60, QChar('x')) + ".jpg";
    onModal([this, longName](QWidget* w) {
        QLineEdit* edit = w->findChild<QLineEdit*>("edtValue");
        QCOMPARE(edit->text(), longName);
        click(w, "btnOK");
        QCOMPARE(m_ui->messages().size(), 1);
        QCOMPARE(QApplication::activeModalWidget(), w);
        edit->setText("short.jpg");
        click(w, "btnOK");
    });
    QCOMPARE(FieldValueDialog::askPictureName("请输入图片的名称：", longName),
             std::optional<QString>("short.jpg"));
}

QTEST_MAIN(TstGridLayoutGui)
#include "tst_gridlayout_gui.moc"
