#include "browser/MainCommands.h"
#include "browser/TFrmMain.h"
#include "common/DataGrid.h"
#include "common/FieldValueDialog.h"
#include "contracts/TfrmContractEdit.h"
#include "data/TdmData.h"
#include "maintenance/ImportWizard.h"
#include "operators/LoginService.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

// The import wizard: its four pages, rejected cells that keep "完成" from
// writing, corrections in the preview and the main window's commands.
class TstImportGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fourPagesWriteTheRows();
    void unreadableFileStaysOnFirstPage();
    void rejectedCellsKeepFinishFromWriting();
    void batchChangeFixesAColumn();
    void deletingTheBadRow();
    void missingHeadingIsNamed();
    void goingBackRebuildsThePreview();
    void cancelWritesNothing();
    void mainWindowReadsTheListAgain();
    void screenshots();

private:
    QString writeCsv(const QByteArray& bytes);
    void toPreview(ImportWizard& wizard, const QString& file);
    int count(const QString& table);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

namespace {

const char* kGood = "合同编号,合同名称,签订日期,合同金额\n"
                    "HT-1,甲,2024-01-15,10\n"
                    "\n"
                    "HT-2,乙,2024/2/1,20\n";

const char* kBad = "合同编号,合同名称,签订日期,合同金额\n"
                   "HT-1,甲,2024-01-15,10\n"
                   "HT-2,乙,2024/2/1,abc\n"
                   "HT-3,丙,明天,30\n";

// The preview column headed by a caption.
int columnOf(QTableView* view, const QString& caption)
{
    for (int c = 0; c < view->model()->columnCount(); ++c) {
        if (view->model()->headerData(c, Qt::Horizontal).toString() == caption)
            return c;
    }
    return -1;
}

} // namespace

void TstImportGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
}

void TstImportGui::cleanup()
{
    closeModalWindows();
    closeDataFixture(m_exe, m_ui, m_dm);
}

QString TstImportGui::writeCsv(const QByteArray& bytes)
{
    const QString path = m_exe->file(QStringLiteral("in.csv"));
    writeFile(path, bytes);
    return path;
}

int TstImportGui::count(const QString& table)
{
    return m_dm->db().scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
}

void TstImportGui::toPreview(ImportWizard& wizard, const QString& file)
{
    m_ui->queueFile(file);
    wizard.findChild<QPushButton*>(QStringLiteral("btnBrowse"))->click();
    QCOMPARE(wizard.findChild<QLineEdit*>(QStringLiteral("edtFile"))->text(), file);
    auto* next = wizard.findChild<QPushButton*>(QStringLiteral("btnNext"));
    next->click();
    QCOMPARE(wizard.step(), 1);
    next->click();
    QCOMPARE(wizard.step(), 2);
    next->click();
    QCOMPARE(wizard.step(), 3);
    QCOMPARE(next->text(), QStringLiteral("完成"));
    QCOMPARE(wizard.findChild<QLabel*>(QStringLiteral("lblPage"))->text(),
             QStringLiteral("结果预览"));
}

void TstImportGui::fourPagesWriteTheRows()
{
    ImportWizard wizard(QStringLiteral("contract"));
    QVERIFY(wizard.samplePath().endsWith(QLatin1String("/sample1.xls")));
    QVERIFY(!wizard.findChild<QPushButton*>(QStringLiteral("btnPrev"))->isEnabled());
    toPreview(wizard, writeCsv(kGood));
    if (QTest::currentTestFailed())
        return;
    auto* sheets = wizard.findChild<QListWidget*>(QStringLiteral("lstSheets"));
    QCOMPARE(sheets->count(), 1);
    QCOMPARE(sheets->item(0)->text(), QStringLiteral("in"));
    auto* mapping = wizard.findChild<QTableWidget*>(QStringLiteral("gridMapping"));
    QCOMPARE(mapping->item(0, 0)->text(), QStringLiteral("合同编号"));
    QCOMPARE(qobject_cast<QComboBox*>(mapping->cellWidget(0, 1))->currentText(),
             QStringLiteral("合同编号"));
    auto* preview = wizard.findChild<QTableView*>(QStringLiteral("gridPreview"));
    QCOMPARE(preview->model()->rowCount(), 3);
    QVERIFY(wizard.problemTexts().isEmpty());

    wizard.findChild<QPushButton*>(QStringLiteral("btnNext"))->click();
    QCOMPARE(m_ui->lastText(), QStringLiteral("导入非常成功，请检查资料表核对！"));
    QVERIFY(wizard.written());
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QCOMPARE(count(QStringLiteral("Contract")), 2);
    QCOMPARE(m_dm->db()
                 .scalar(QStringLiteral("SELECT F_date FROM Contract WHERE F_code = 'HT-2'"))
                 .toString(),
             QStringLiteral("2024-02-01"));

    // An imported contract opens in the contract window with its link number.
    const qint64 id = m_dm->db()
                          .scalar(QStringLiteral("SELECT F_ID FROM Contract WHERE F_code = 'HT-2'"))
                          .toLongLong();
    const int link =
        m_dm->db()
            .scalar(QStringLiteral("SELECT F_cltID FROM Contract WHERE F_code = 'HT-2'"))
            .toInt();
    QVERIFY(link > 0);
    TfrmContractEdit edit(TfrmContractEdit::ModeModify, id);
    QVERIFY(edit.isLoaded());
    QCOMPARE(edit.linkNumber(), link);
    QCOMPARE(edit.findChild<QLineEdit*>(QStringLiteral("edtCode"))->text(), QStringLiteral("HT-2"));
    QCOMPARE(edit.findChild<QLineEdit*>(QStringLiteral("edtName"))->text(), QStringLiteral("乙"));
}

void TstImportGui::unreadableFileStaysOnFirstPage()
{
    ImportWizard wizard(QStringLiteral("contract"));
    wizard.findChild<QLineEdit*>(QStringLiteral("edtFile"))
        ->setText(m_exe->file(QStringLiteral("nothing.xlsx")));
    wizard.next();
    QCOMPARE(wizard.step(), 0);
    QCOMPARE(m_ui->lastText(), QStringLiteral("请选择要导入的excel源文件！"));
    // A file that is no spreadsheet at all.
    const QString text = m_exe->file(QStringLiteral("not.xlsx"));
    writeFile(text, "plain text");
    wizard.findChild<QLineEdit*>(QStringLiteral("edtFile"))->setText(text);
    wizard.next();
    QCOMPARE(wizard.step(), 0);
}

void TstImportGui::rejectedCellsKeepFinishFromWriting()
{
    ImportWizard wizard(QStringLiteral("contract"));
    toPreview(wizard, writeCsv(kBad));
    if (QTest::currentTestFailed())
        return;
    const QStringList problems = wizard.problemTexts();
    QCOMPARE(problems.size(), 2);
    QCOMPARE(problems.at(0), QStringLiteral("第 3 行 合同金额: 不是数字"));
    QVERIFY(problems.at(1).startsWith(QStringLiteral("第 4 行 签订日期: ")));
    QCOMPARE(wizard.findChild<QListWidget*>(QStringLiteral("lstProblems"))->count(), 2);
    auto* preview = wizard.findChild<QTableView*>(QStringLiteral("gridPreview"));
    const int amount = columnOf(preview, QStringLiteral("合同金额"));
    const int date = columnOf(preview, QStringLiteral("签订日期"));
    QVERIFY(preview->model()->index(1, amount).data(Qt::BackgroundRole).isValid());
    QVERIFY(!preview->model()->index(1, date).data(Qt::BackgroundRole).isValid());

    wizard.findChild<QPushButton*>(QStringLiteral("btnNext"))->click();
    QVERIFY(m_ui->lastText().startsWith(QStringLiteral("还有 2 处错误")));
    QCOMPARE(count(QStringLiteral("Contract")), 0);
    QCOMPARE(wizard.step(), 3);

    // Corrected in the preview, the rows go in.
    QVERIFY(preview->model()->setData(preview->model()->index(1, amount), "20", Qt::EditRole));
    QVERIFY(
        preview->model()->setData(preview->model()->index(2, date), "2024年3月1日", Qt::EditRole));
    QVERIFY(wizard.problemTexts().isEmpty());
    wizard.findChild<QPushButton*>(QStringLiteral("btnNext"))->click();
    QCOMPARE(count(QStringLiteral("Contract")), 3);
    QCOMPARE(
        m_dm->db().scalar(QStringLiteral("SELECT count(DISTINCT F_cltID) FROM Contract")).toInt(),
        3);
}

void TstImportGui::batchChangeFixesAColumn()
{
    ImportWizard wizard(QStringLiteral("contract"));
    toPreview(wizard, writeCsv(kBad));
    if (QTest::currentTestFailed())
        return;
    auto* preview = wizard.findChild<QTableView*>(QStringLiteral("gridPreview"));
    // Nothing chosen: the hint.
    wizard.batchChangeColumn();
    QVERIFY(m_ui->lastText().startsWith(QStringLiteral("请选中要更新的行")));

    const int amount = columnOf(preview, QStringLiteral("合同金额"));
    preview->setCurrentIndex(preview->model()->index(1, amount));
    preview->selectionModel()->select(preview->model()->index(1, amount),
                                      QItemSelectionModel::Select);
    preview->selectionModel()->select(preview->model()->index(2, amount),
                                      QItemSelectionModel::Select);
    bool stepped = false;
    onModal([&](QWidget* w) {
        auto* dialog = qobject_cast<FieldValueDialog*>(w);
        QVERIFY(dialog);
        QCOMPARE(dialog->valueEdit()->text(), QStringLiteral("F_totalPrice"));
        dialog->valueEdit()->setText(QStringLiteral("99"));
        QVERIFY(dialog->tryAccept());
        stepped = true;
    });
    wizard.batchChangeColumn();
    QVERIFY(stepped);
    QCOMPARE(preview->model()->index(1, amount).data().toString(), QStringLiteral("99"));
    QCOMPARE(preview->model()->index(2, amount).data().toString(), QStringLiteral("99"));
    QCOMPARE(preview->model()->index(0, amount).data().toString(), QStringLiteral("10"));
    QCOMPARE(wizard.problemTexts().size(), 1); // the date of row 4 is left
}

void TstImportGui::deletingTheBadRow()
{
    ImportWizard wizard(QStringLiteral("contract"));
    toPreview(wizard, writeCsv(kBad));
    if (QTest::currentTestFailed())
        return;
    auto* preview = wizard.findChild<QTableView*>(QStringLiteral("gridPreview"));
    preview->selectionModel()->select(preview->model()->index(1, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    preview->selectionModel()->select(preview->model()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_ui->queueAnswer(2); // no: nothing removed
    wizard.deleteSelectedRows();
    QCOMPARE(m_ui->lastText(), QStringLiteral("真的要删除当前选中的多行数据吗？"));
    QCOMPARE(preview->model()->rowCount(), 3);
    m_ui->queueAnswer(1);
    wizard.deleteSelectedRows();
    QCOMPARE(preview->model()->rowCount(), 1);
    QVERIFY(wizard.problemTexts().isEmpty());
    wizard.next();
    QCOMPARE(count(QStringLiteral("Contract")), 1);
}

void TstImportGui::missingHeadingIsNamed()
{
    QVERIFY(m_dm->ExecSql("UPDATE cfg_import SET F_Field = '状态' WHERE F_tablename = 'contract' "
                          "AND S_Field = 'F_status'"));
    ImportWizard wizard(QStringLiteral("contract"));
    toPreview(wizard, writeCsv(kGood));
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(wizard.findChild<QLabel*>(QStringLiteral("lblMissing"))
                 ->text()
                 .contains(QStringLiteral("合同状态")),
             qPrintable(wizard.findChild<QLabel*>(QStringLiteral("lblMissing"))->text()));
}

void TstImportGui::goingBackRebuildsThePreview()
{
    ImportWizard wizard(QStringLiteral("contract"));
    toPreview(wizard, writeCsv(kBad));
    if (QTest::currentTestFailed())
        return;
    auto* preview = wizard.findChild<QTableView*>(QStringLiteral("gridPreview"));
    QVERIFY(preview->model()->setData(
        preview->model()->index(1, columnOf(preview, QStringLiteral("合同金额"))), "20",
        Qt::EditRole));
    QCOMPARE(wizard.problemTexts().size(), 1);
    wizard.previous();
    QCOMPARE(wizard.step(), 2);
    // Unmapping the amount on page 3 takes its problem away.
    auto* mapping = wizard.findChild<QTableWidget*>(QStringLiteral("gridMapping"));
    int amountRow = -1;
    for (int r = 0; r < mapping->rowCount(); ++r) {
        if (mapping->item(r, 0)->text() == QStringLiteral("合同金额"))
            amountRow = r;
    }
    QVERIFY(amountRow >= 0);
    wizard.next();
    QCOMPARE(wizard.problemTexts().size(), 2); // the correction is gone with the old preview
    wizard.previous();
    qobject_cast<QComboBox*>(mapping->cellWidget(amountRow, 1))->setCurrentIndex(0);
    wizard.next();
    QCOMPARE(wizard.problemTexts().size(), 1);
}

void TstImportGui::cancelWritesNothing()
{
    ImportWizard wizard(QStringLiteral("client"));
    QVERIFY(wizard.samplePath().endsWith(QLatin1String("/sample2.xls")));
    toPreview(wizard, writeCsv("单位编码,单位名称\nC1,甲\n"));
    if (QTest::currentTestFailed())
        return;
    wizard.findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
    QCOMPARE(wizard.result(), int(QDialog::Rejected));
    QVERIFY(!wizard.written());
    QCOMPARE(count(QStringLiteral("Client")), 0);
}

void TstImportGui::mainWindowReadsTheListAgain()
{
    EstablishSession(*m_dm, "admin");
    TFrmMain main;
    main.ApplySession();
    main.PrepareFirstShow();
    main.show();
    QCOMPARE(main.contractGrid()->model()->rowCount(), 0);
    const QString file = writeCsv(kGood);
    bool stepped = false;
    onModal([&](QWidget* w) {
        auto* wizard = qobject_cast<ImportWizard*>(w);
        QVERIFY(wizard);
        wizard->findChild<QLineEdit*>(QStringLiteral("edtFile"))->setText(file);
        for (int i = 0; i < 4; ++i)
            wizard->next();
        stepped = true;
    });
    main.commands()->action(501)->trigger();
    QVERIFY(stepped);
    QCOMPARE(main.contractGrid()->model()->rowCount(), 2);
}

void TstImportGui::screenshots()
{
    SCREENSHOTS_ONLY();
    ImportWizard wizard(QStringLiteral("contract"));
    wizard.show();
    saveScreenshot(&wizard, "import-1-prepare");
    toPreview(wizard, writeCsv(kBad));
    wizard.previous();
    wizard.previous();
    saveScreenshot(&wizard, "import-2-source");
    wizard.next();
    saveScreenshot(&wizard, "import-3-mapping");
    wizard.next();
    saveScreenshot(&wizard, "import-4-preview-rejected");
}

QTEST_MAIN(TstImportGui)
#include "tst_import_gui.moc"
