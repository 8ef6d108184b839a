#include "maintenance/ImportWizard.h"

#include "common/FieldValueDialog.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TdmData.h"
#include "platform/AppPaths.h"
#include "platform/DesktopOpener.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QDebug>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace SpreadsheetImport;

namespace {

quint64 cellKey(int row, int column)
{
    return (quint64(quint32(row)) << 32) | quint32(column);
}

QLabel* label(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

} // namespace

// ---- rows of a sheet or of the preview

void ImportRowsModel::showSheet(const SpreadsheetSheet* sheet)
{
    beginResetModel();
    m_sheet = sheet;
    m_batch = nullptr;
    m_checked = nullptr;
    m_problems.clear();
    endResetModel();
}

void ImportRowsModel::showBatch(Batch* batch, const Checked* checked)
{
    beginResetModel();
    m_sheet = nullptr;
    m_batch = batch;
    m_checked = checked;
    m_problems.clear();
    for (const Problem& p : checked->problems)
        m_problems.insert(cellKey(p.rowIndex, p.mappingIndex), p.reason);
    endResetModel();
}

void ImportRowsModel::changed()
{
    if (m_batch && m_checked)
        showBatch(m_batch, m_checked);
}

int ImportRowsModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    if (m_sheet)
        return qMax(0, int(m_sheet->rows.size()) - 1);
    return m_batch ? int(m_batch->rows.size()) : 0;
}

int ImportRowsModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    if (m_sheet)
        return int(m_sheet->headings().size());
    return m_batch ? int(m_batch->mapping.size()) : 0;
}

QString ImportRowsModel::problemAt(int row, int column) const
{
    return m_problems.value(cellKey(row, column));
}

QVariant ImportRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (m_sheet) {
        if (role == Qt::DisplayRole)
            return m_sheet->cell(index.row() + 1, index.column()).shown();
        return {};
    }
    if (!m_batch)
        return {};
    const SpreadsheetCell cell = m_batch->rows.at(index.row()).cells.value(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell.shown();
    case Qt::BackgroundRole:
        if (!problemAt(index.row(), index.column()).isEmpty())
            return QBrush(QColor(255, 200, 200));
        return {};
    case Qt::ToolTipRole:
        return problemAt(index.row(), index.column());
    default:
        return {};
    }
}

QVariant ImportRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical) {
        // The row number the spreadsheet shows, so the operator finds it there.
        if (m_sheet)
            return section + 2;
        return m_batch ? m_batch->rows.value(section).sheetRow : QVariant();
    }
    if (m_sheet)
        return m_sheet->headings().value(section);
    return m_batch ? m_batch->mapping.value(section).caption : QVariant();
}

Qt::ItemFlags ImportRowsModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_batch)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ImportRowsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_batch || role != Qt::EditRole || !index.isValid())
        return false;
    QList<SpreadsheetCell>& cells = m_batch->rows[index.row()].cells;
    if (index.column() >= cells.size())
        return false;
    const QString text = value.toString();
    cells[index.column()] = text.isEmpty() ? SpreadsheetCell{} : SpreadsheetCell::fromText(text);
    emit dataChanged(index, index);
    return true;
}

void ImportRowsModel::removeBatchRows(QList<int> rows)
{
    if (!m_batch)
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int r : rows) {
        beginRemoveRows({}, r, r);
        m_batch->rows.removeAt(r);
        endRemoveRows();
    }
}

// ---- the wizard

ImportWizard::ImportWizard(const QString& kind, QWidget* parent)
    : QDialog(parent), m_kind(kind.toLower())
{
    setObjectName(QStringLiteral("ImportWizard"));
    setWindowTitle(QStringLiteral("Excel 数据导入"));
    resize(760, 520);

    m_pageTitle = new QLabel(this);
    m_pageTitle->setObjectName(QStringLiteral("lblPage"));
    QFont titleFont = m_pageTitle->font();
    titleFont.setBold(true);
    m_pageTitle->setFont(titleFont);
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("pages"));

    // Page 1: the sample and the source file.
    auto* page1 = new QWidget;
    page1->setObjectName(QStringLiteral("tsPrepare"));
    auto* l1 = new QVBoxLayout(page1);
    auto* welcome = label(QStringLiteral("欢迎使用璞朔数据导入向导"), page1);
    QFont big = welcome->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    welcome->setFont(big);
    l1->addWidget(welcome);
    l1->addSpacing(12);
    l1->addWidget(label(QStringLiteral("您可以参考以下模版来制做导入源文件"), page1));
    auto* sampleRow = new QHBoxLayout;
    m_sampleEdit = new QLineEdit(samplePath(), page1);
    m_sampleEdit->setObjectName(QStringLiteral("edtSample"));
    m_sampleEdit->setReadOnly(true);
    auto* openSample = new QPushButton(QStringLiteral("打开"), page1);
    openSample->setObjectName(QStringLiteral("btnOpenSample"));
    sampleRow->addWidget(m_sampleEdit);
    sampleRow->addWidget(openSample);
    l1->addLayout(sampleRow);
    l1->addSpacing(12);
    l1->addWidget(label(QStringLiteral("请选择要导入的Excel源文件"), page1));
    auto* fileRow = new QHBoxLayout;
    m_fileEdit = new QLineEdit(page1);
    m_fileEdit->setObjectName(QStringLiteral("edtFile"));
    auto* browse = new QPushButton(QStringLiteral("打开"), page1);
    browse->setObjectName(QStringLiteral("btnBrowse"));
    fileRow->addWidget(m_fileEdit);
    fileRow->addWidget(browse);
    l1->addLayout(fileRow);
    l1->addStretch();
    connect(openSample, &QPushButton::clicked, this, [this] {
        if (!QFileInfo::exists(samplePath())) {
            ShowMess(QStringLiteral("例子Excel文件不存在，请检查！"), mkInfo);
            return;
        }
        if (!OpenFileWithDesktop(samplePath()))
            ShowMess(QStringLiteral("无法打开文件：%1").arg(samplePath()), mkWarning);
    });
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = UserDialogs::current().openFileName(
            QStringLiteral("请选择excel源文件"), QFileInfo(m_fileEdit->text().trimmed()).path(),
            QStringLiteral("Excel文件 (*.xlsx *.xls *.csv);;所有文件 (*)"));
        if (!file.isEmpty())
            m_fileEdit->setText(file);
    });

    // Page 2: the sheets and the chosen sheet's rows.
    auto* page2 = new QWidget;
    page2->setObjectName(QStringLiteral("tsSource"));
    auto* l2 = new QVBoxLayout(page2);
    auto* sheetRow = new QHBoxLayout;
    sheetRow->addWidget(label(QStringLiteral("请选择一个表名："), page2));
    m_sheetList = new QListWidget(page2);
    m_sheetList->setObjectName(QStringLiteral("lstSheets"));
    m_sheetList->setMaximumHeight(80);
    sheetRow->addWidget(m_sheetList, 1);
    l2->addLayout(sheetRow);
    m_sheetModel = new ImportRowsModel(this);
    m_sheetView = new QTableView(page2);
    m_sheetView->setObjectName(QStringLiteral("gridSheet"));
    m_sheetView->setModel(m_sheetModel);
    m_sheetView->horizontalHeader()->setDefaultSectionSize(75);
    l2->addWidget(m_sheetView, 1);
    l2->addWidget(label(QStringLiteral("以上是要导入的数据，请检查是否有误！"), page2));
    connect(m_sheetList, &QListWidget::currentRowChanged, this, &ImportWizard::chooseSheet);

    // Page 3: the mapping.
    auto* page3 = new QWidget;
    page3->setObjectName(QStringLiteral("tsMapping"));
    auto* l3 = new QVBoxLayout(page3);
    m_mappingGrid = new QTableWidget(0, 2, page3);
    m_mappingGrid->setObjectName(QStringLiteral("gridMapping"));
    m_mappingGrid->setHorizontalHeaderLabels(
        {QStringLiteral("源字段名"), QStringLiteral("对应的Excel字段")});
    m_mappingGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    l3->addWidget(m_mappingGrid, 1);
    m_missingLabel = label(QString(), page3);
    m_missingLabel->setObjectName(QStringLiteral("lblMissing"));
    m_missingLabel->setStyleSheet(QStringLiteral("color: #b00000"));
    l3->addWidget(m_missingLabel);
    l3->addWidget(
        label(QStringLiteral("“源字段名”是指在本系统资料中显示的字段名称（中文）；"
                             "“对应的Excel字段”是指在Excel表格中显示的第一行名称（中文）。"
                             "请从对应的Excel字段列表中选择相对应的项目来，"
                             "匹配源字段；若没有对应的源字段，请把该源字段"
                             "清为空白即可。"),
              page3));

    // Page 4: the preview.
    auto* page4 = new QWidget;
    page4->setObjectName(QStringLiteral("tsPreview"));
    auto* l4 = new QVBoxLayout(page4);
    m_previewModel = new ImportRowsModel(this);
    m_previewView = new QTableView(page4);
    m_previewView->setObjectName(QStringLiteral("gridPreview"));
    m_previewView->setModel(m_previewModel);
    m_previewView->horizontalHeader()->setDefaultSectionSize(75);
    m_previewView->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_previewView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_previewView->setContextMenuPolicy(Qt::CustomContextMenu);
    l4->addWidget(m_previewView, 3);
    m_summaryLabel = label(QString(), page4);
    m_summaryLabel->setObjectName(QStringLiteral("lblSummary"));
    l4->addWidget(m_summaryLabel);
    m_problemList = new QListWidget(page4);
    m_problemList->setObjectName(QStringLiteral("lstProblems"));
    l4->addWidget(m_problemList, 1);
    l4->addWidget(label(QStringLiteral("以上表格处于预览状态，未正式导入数据库中。"
                                       "你可以在些表格中将各项补充完整；要批量修改时，"
                                       "请先选择要修改的行，然后右键点击要修改的某列，"
                                       "在弹出的对话框中输入要修改的值即可。对于不需要导入的行，"
                                       "选中后删除。"),
                        page4));
    auto* menu = new QMenu(this);
    QAction* batch = menu->addAction(QStringLiteral("批量修改当前所选列"));
    batch->setObjectName(QStringLiteral("actBatchChange"));
    QAction* remove = menu->addAction(QStringLiteral("删除当前指定所选行"));
    remove->setObjectName(QStringLiteral("actDeleteRows"));
    connect(batch, &QAction::triggered, this, &ImportWizard::batchChangeColumn);
    connect(remove, &QAction::triggered, this, &ImportWizard::deleteSelectedRows);
    connect(m_previewView, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& pos) {
                menu->popup(m_previewView->viewport()->mapToGlobal(pos));
            });
    connect(m_previewModel, &QAbstractItemModel::dataChanged, this, [this] {
        if (!m_busy)
            recheck();
    });

    m_pages->addWidget(page1);
    m_pages->addWidget(page2);
    m_pages->addWidget(page3);
    m_pages->addWidget(page4);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setVisible(false);
    m_prevButton = new QPushButton(QStringLiteral("上一步"), this);
    m_prevButton->setObjectName(QStringLiteral("btnPrev"));
    m_nextButton = new QPushButton(QStringLiteral("下一步"), this);
    m_nextButton->setObjectName(QStringLiteral("btnNext"));
    m_cancelButton = new QPushButton(QStringLiteral("取  消"), this);
    m_cancelButton->setObjectName(QStringLiteral("btnCancel"));
    m_nextButton->setAutoDefault(false);
    m_prevButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);
    connect(m_prevButton, &QPushButton::clicked, this, &ImportWizard::previous);
    connect(m_nextButton, &QPushButton::clicked, this, &ImportWizard::next);
    connect(m_cancelButton, &QPushButton::clicked, this, &ImportWizard::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_progress, 1);
    buttons->addStretch();
    buttons->addWidget(m_prevButton);
    buttons->addWidget(m_nextButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pageTitle);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);
    showStep();
}

QString ImportWizard::samplePath() const
{
    return AppPaths::exeDir() + QLatin1Char('/') +
           (m_kind.contains(QLatin1String("contract")) ? QStringLiteral("sample1.xls")
                                                       : QStringLiteral("sample2.xls"));
}

QStringList ImportWizard::problemTexts() const
{
    QStringList out;
    for (const Problem& p : m_checked.problems)
        out << describe(p);
    return out;
}

void ImportWizard::showStep()
{
    static const char* const kTitles[] = {" 数据准备 ", " 源 文 件 ", " 对应字段 ", " 结果预览 "};
    m_pageTitle->setText(QString::fromUtf8(kTitles[m_step]).trimmed());
    m_pages->setCurrentIndex(m_step);
    m_prevButton->setEnabled(m_step > 0);
    m_nextButton->setText(m_step == 3 ? QStringLiteral("完成") : QStringLiteral("下一步"));
}

void ImportWizard::next()
{
    if (m_busy)
        return;
    switch (m_step) {
    case 0:
        if (!openFile())
            return;
        break;
    case 1:
        if (!m_sheet)
            return;
        buildMapping();
        break;
    case 2:
        buildPreview();
        break;
    case 3:
        finish();
        return;
    }
    ++m_step;
    showStep();
}

void ImportWizard::previous()
{
    if (m_busy || m_step == 0)
        return;
    --m_step;
    showStep();
}

bool ImportWizard::openFile()
{
    const QString path = m_fileEdit->text().trimmed();
    QString error;
    if (path.isEmpty() || !m_book.read(path, &error) || m_book.sheets().isEmpty()) {
        if (!error.isEmpty())
            qWarning().noquote() << "the spreadsheet could not be read:" << error;
        ShowMess(QStringLiteral("请选择要导入的excel源文件！"), mkInfo);
        return false;
    }
    m_sheet = nullptr;
    m_sheetList->clear();
    m_sheetList->addItems(m_book.sheetNames());
    m_sheetList->setCurrentRow(0);
    return true;
}

void ImportWizard::chooseSheet(int index)
{
    m_sheet = index >= 0 && index < m_book.sheets().size() ? &m_book.sheets().at(index) : nullptr;
    m_sheetModel->showSheet(m_sheet);
}

void ImportWizard::buildMapping()
{
    QString error;
    if (!loadMapping(dmData()->db(), m_kind, &m_mapping, &error)) {
        qWarning().noquote() << "the import mapping could not be read:" << error;
        UserDialogs::current().showFailure(Messages::openFailed(), error);
    }
    const QStringList headings = m_sheet->headings();
    takeHeadingsFromCaptions(&m_mapping, headings);
    m_mappingGrid->setRowCount(int(m_mapping.size()));
    for (int i = 0; i < m_mapping.size(); ++i) {
        auto* caption = new QTableWidgetItem(m_mapping.at(i).caption);
        caption->setFlags(caption->flags() & ~Qt::ItemIsEditable);
        m_mappingGrid->setItem(i, 0, caption);
        auto* combo = new QComboBox(m_mappingGrid);
        combo->addItem(QString());
        combo->addItems(headings);
        const QString heading = m_mapping.at(i).heading;
        if (!heading.isEmpty() && !headings.contains(heading))
            combo->addItem(heading);
        combo->setCurrentText(heading);
        m_mappingGrid->setCellWidget(i, 1, combo);
        connect(combo, &QComboBox::currentTextChanged, this, [this, i](const QString& text) {
            m_mapping[i].heading = text;
            const QStringList missing = missingHeadings(m_mapping, m_sheet->headings());
            m_missingLabel->setText(missing.isEmpty()
                                        ? QString()
                                        : QStringLiteral("表格中没有这些字段对应的列：%1")
                                              .arg(missing.join(QStringLiteral("、"))));
        });
    }
    const QStringList missing = missingHeadings(m_mapping, headings);
    m_missingLabel->setText(missing.isEmpty() ? QString()
                                              : QStringLiteral("表格中没有这些字段对应的列：%1")
                                                    .arg(missing.join(QStringLiteral("、"))));
}

void ImportWizard::buildPreview()
{
    // Going back and forward again starts from the sheet once more.
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_progress->setRange(0, qMax(1, int(m_sheet->rows.size()) - 1));
    m_progress->setValue(0);
    m_progress->setVisible(true);
    m_batch = collect(m_kind, m_mapping, *m_sheet);
    m_progress->setValue(m_progress->maximum() / 2);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    recheck();
    m_progress->setValue(m_progress->maximum());
    m_progress->setVisible(false);
    QApplication::restoreOverrideCursor();
    m_busy = false;
}

void ImportWizard::recheck()
{
    m_checked = check(m_batch);
    m_previewModel->showBatch(&m_batch, &m_checked);
    m_problemList->clear();
    m_problemList->addItems(problemTexts());
    QString summary = QStringLiteral("共 %1 行：导入 %2 行，跳过 %3 行（空行或编号、名称都为空）")
                          .arg(m_batch.rows.size())
                          .arg(m_checked.rowsToWrite.size())
                          .arg(m_checked.skipped);
    if (!m_checked.problems.isEmpty())
        summary +=
            QStringLiteral("；有 %1 处错误，请改正或删除这些行").arg(m_checked.problems.size());
    m_summaryLabel->setText(summary);
}

void ImportWizard::batchChangeColumn()
{
    QList<int> chosen;
    for (const QModelIndex& i : m_previewView->selectionModel()->selectedIndexes()) {
        if (!chosen.contains(i.row()))
            chosen << i.row();
    }
    const QModelIndex current = m_previewView->currentIndex();
    if (chosen.isEmpty() || !current.isValid()) {
        ShowMess(QStringLiteral("请选中要更新的行，前面的固定行显示为箭头，\n表示选中行！"),
                 mkInfo);
        return;
    }
    const Mapping& m = m_batch.mapping.at(current.column());
    const std::optional<QString> value = FieldValueDialog::askBatchValue(
        m.field, QString(), Schema::maxLength(m_batch.table, m.field), this);
    if (!value)
        return;
    for (int r : chosen)
        m_batch.rows[r].cells[current.column()] = SpreadsheetCell::fromText(*value);
    recheck();
}

void ImportWizard::deleteSelectedRows()
{
    QList<int> chosen;
    for (const QModelIndex& i : m_previewView->selectionModel()->selectedIndexes()) {
        if (!chosen.contains(i.row()))
            chosen << i.row();
    }
    if (chosen.isEmpty()) {
        const QModelIndex current = m_previewView->currentIndex();
        if (!current.isValid() || ShowMess(QStringLiteral("真的要删除当前行吗？"), mkQuestion) != 1)
            return;
        chosen << current.row();
    } else if (ShowMess(QStringLiteral("真的要删除当前选中的多行数据吗？"), mkQuestion) == 2) {
        return;
    }
    m_busy = true;
    m_previewModel->removeBatchRows(chosen);
    m_busy = false;
    recheck();
}

void ImportWizard::finish()
{
    recheck();
    if (!m_checked.problems.isEmpty()) {
        ShowMess(QStringLiteral("还有 %1 处错误，请改正或删除这些行后再导入！")
                     .arg(m_checked.problems.size()),
                 mkWarning);
        return;
    }
    m_busy = true;
    m_cancelRequested = false;
    m_prevButton->setEnabled(false);
    m_nextButton->setEnabled(false);
    m_progress->setRange(0, qMax(1, int(m_checked.rowsToWrite.size())));
    m_progress->setValue(0);
    m_progress->setVisible(true);
    const WriteResult r = write(dmData()->db(), m_batch, m_checked, [this](int done, int) {
        m_progress->setValue(done);
        // Lets "取  消" through while the rows are written.
        QCoreApplication::processEvents();
        return !m_cancelRequested;
    });
    m_progress->setVisible(false);
    m_busy = false;
    m_nextButton->setEnabled(true);
    showStep();
    if (r.cancelled) {
        QDialog::reject();
        return;
    }
    if (!r.ok) {
        qWarning().noquote() << "the import failed:" << r.error;
        UserDialogs::current().showFailure(QStringLiteral("导入失败，请联系管理人员....."),
                                           r.error);
        return;
    }
    m_written = true;
    ShowMess(QStringLiteral("导入非常成功，请检查资料表核对！"), mkInfo);
    accept();
}

void ImportWizard::reject()
{
    if (m_busy) {
        m_cancelRequested = true;
        return;
    }
    QDialog::reject();
}

bool ImportFromSpreadsheet(const QString& kind, QWidget* parent)
{
    ImportWizard wizard(kind, parent);
    DispFormPos(&wizard, fpEdit);
    wizard.exec();
    return wizard.written();
}
