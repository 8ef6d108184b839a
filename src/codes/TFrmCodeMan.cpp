#include "codes/TFrmCodeMan.h"

#include "codes/CodeStore.h"
#include "common/DataGrid.h"
#include "common/GridExport.h"
#include "common/GridPrint.h"
#include "common/MaxLength.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/UserDialogs.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kName = QStringLiteral("F_name");

} // namespace

TFrmCodeMan::TFrmCodeMan(QWidget* parent)
    : QDialog(parent), m_grid(new DataGrid(this)), m_pages(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("TFrmCodeMan"));
    setWindowTitle(QStringLiteral("选项设置..."));

    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const QList<QAction*> commands = {
        addCommand("btnAdd", QStringLiteral("新增"), QKeySequence(Qt::CTRL | Qt::Key_A),
                   [this] { addEntry(); }),
        addCommand("btnEdit", QStringLiteral("修改"), QKeySequence(Qt::CTRL | Qt::Key_E),
                   [this] { modifyEntries(); }),
        addCommand("btnDelete", QStringLiteral("删除"), QKeySequence(Qt::Key_Delete),
                   [this] { deleteEntry(); }),
        addCommand("btnSave", QStringLiteral("保存"), QKeySequence(Qt::CTRL | Qt::Key_S),
                   [this] { save(); }),
        addCommand("btnCancel", QStringLiteral("取消"), QKeySequence(), [this] { cancelEdit(); }),
        addCommand("btnPrint", QStringLiteral("打印"), QKeySequence(), [this] { printList(); }),
        addCommand("btnExport", QStringLiteral("导出"), QKeySequence(), [this] { exportList(); }),
        addCommand("btnRefresh", QStringLiteral("刷新"), QKeySequence(), [this] { refresh(); }),
        addCommand("btnExit", QStringLiteral("退出"), QKeySequence(), [this] { close(); }),
    };
    for (QAction* a : commands) {
        toolBar->addAction(a);
        if (a->objectName() == QLatin1String("btnSave") ||
            a->objectName() == QLatin1String("btnCancel"))
            m_editCommands << a;
        else
            m_browseCommands << a;
    }

    auto* pageRow = new QHBoxLayout;
    pageRow->setSpacing(2);
    const auto& pages = CodeStore::codeListPages();
    for (int i = 0; i < pages.size(); ++i) {
        auto* button = new QToolButton(this);
        // The list key is the page's name without its first letter.
        button->setObjectName(QStringLiteral("T") + pages.at(i).key);
        button->setText(pages.at(i).caption);
        button->setCheckable(true);
        button->setAutoRaise(false);
        m_pages->addButton(button, i);
        pageRow->addWidget(button);
    }
    pageRow->addStretch(1);
    m_pages->setExclusive(true);
    connect(m_pages, &QButtonGroup::idClicked, this, &TFrmCodeMan::showPage);

    GridColumn name = textColumn(kName, pages.first().caption, 320);
    name.readOnly = false;
    m_grid->setColumns({name});
    m_grid->setTitleSortEnabled(false);
    // Entries longer than the column are refused while typing.
    m_grid->view()->setItemDelegateForColumn(
        0, new MaxLengthDelegate(QStringLiteral("t_code"), m_grid, QStringLiteral("F_name")));
    m_grid->view()->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->view()->horizontalHeader()->setStretchLastSection(true);
    m_grid->view()->installEventFilter(this);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, [this] {
        if (!m_editing)
            modifyEntries();
    });

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        status->addWidget(panel, i == 3 ? 0 : 1);
    }
    findChild<QLabel*>(QStringLiteral("StatusPanel4"))->setText(QStringLiteral("璞朔软件  "));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(toolBar);
    layout->addLayout(pageRow);
    layout->addWidget(m_grid, 1);
    layout->addWidget(status);
    resize(760, 520);

    setEditing(false);
    m_pages->button(0)->setChecked(true);
    showPage(0);
}

QAction* TFrmCodeMan::addCommand(const char* name, const QString& text, const QKeySequence& key,
                                 const std::function<void()>& run)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(action, &QAction::triggered, this, run);
    addAction(action);
    return action;
}

QString TFrmCodeMan::currentKey() const
{
    return CodeStore::codeListPages().at(m_page).key;
}

QString TFrmCodeMan::currentCaption() const
{
    return CodeStore::codeListPages().at(m_page).caption;
}

void TFrmCodeMan::showPage(int page)
{
    if (m_editing || page < 0 || page >= CodeStore::codeListPages().size())
        return;
    m_page = page;
    if (QAbstractButton* button = m_pages->button(page))
        button->setChecked(true);
    GridColumn column = m_grid->model()->gridColumn(0);
    column.title = currentCaption();
    m_grid->model()->setGridColumn(0, column);
    refresh();
}

void TFrmCodeMan::refresh()
{
    if (m_editing)
        return;
    QString error;
    if (!CodeStore::readCodeList(dmData()->db(), currentKey(), *m_grid->model(), &error))
        ShowMess(error, mkError);
    m_grid->setCurrentRow(m_grid->model()->rowCount() > 0 ? 0 : -1);
}

void TFrmCodeMan::setEditing(bool editing)
{
    m_editing = editing;
    m_grid->model()->setEditable(editing);
    for (QAction* a : std::as_const(m_browseCommands))
        a->setEnabled(!editing);
    for (QAction* a : std::as_const(m_editCommands))
        a->setEnabled(editing);
    for (QAbstractButton* b : m_pages->buttons())
        b->setEnabled(!editing);
}

void TFrmCodeMan::editCurrent()
{
    const int row = m_grid->currentRow();
    if (row < 0)
        return;
    m_grid->view()->setFocus();
    m_grid->view()->edit(m_grid->model()->index(row, 0));
}

void TFrmCodeMan::addEntry()
{
    if (m_editing)
        return;
    setEditing(true);
    appendRow();
}

void TFrmCodeMan::appendRow()
{
    RecordModel* model = m_grid->model();
    const int row = model->appendRecord();
    // A row left empty is written as an empty entry, which pick lists skip.
    model->setValue(row, kName, QString(QLatin1String("")));
    m_grid->setCurrentRow(row);
    editCurrent();
}

bool TFrmCodeMan::eventFilter(QObject* watched, QEvent* event)
{
    // While editing, moving down from the last row appends a row, as the
    // grid of the list always did.
    if (watched == m_grid->view() && m_editing && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down &&
        m_grid->currentRow() == m_grid->model()->rowCount() - 1) {
        m_grid->view()->setCurrentIndex(QModelIndex());
        appendRow();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmCodeMan::modifyEntries()
{
    if (m_editing)
        return;
    if (m_grid->model()->rowCount() == 0) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), mkError);
        return;
    }
    setEditing(true);
    editCurrent();
}

void TFrmCodeMan::deleteEntry()
{
    if (m_editing)
        return;
    RecordModel* model = m_grid->model();
    if (model->rowCount() == 0) {
        ShowMess(QStringLiteral("此表是空表，不需要删除！"), mkInfo);
        return;
    }
    const int row = m_grid->currentRow();
    if (row < 0)
        return;
    const QString question =
        QStringLiteral("真的要删除 \"%1\"%2吗？").arg(currentCaption(), model->text(row, kName));
    if (ShowMess(question, mkQuestion) == 2)
        return;
    QString error;
    if (!CodeStore::deleteCode(dmData()->db(),
                               model->value(row, QStringLiteral("F_ID")).toLongLong(), &error))
        ShowMess(error, mkError);
    refresh();
}

bool TFrmCodeMan::save()
{
    if (!m_editing)
        return false;
    // Moving the current cell posts the value being typed.
    QTableView* view = m_grid->view();
    const int row = m_grid->currentRow();
    view->setCurrentIndex(QModelIndex());
    QString error;
    if (!CodeStore::saveCodeList(dmData()->db(), currentKey(), *m_grid->model(), &error)) {
        ShowMess(error, mkError);
        m_grid->setCurrentRow(row);
        return false;
    }
    setEditing(false);
    refresh();
    m_grid->setCurrentRow(qMin(row, m_grid->model()->rowCount() - 1));
    return true;
}

void TFrmCodeMan::cancelEdit()
{
    if (!m_editing)
        return;
    m_grid->view()->setCurrentIndex(QModelIndex());
    m_grid->model()->cancelPending();
    setEditing(false);
    refresh();
}

void TFrmCodeMan::printList()
{
    PrintGrid(m_grid, currentCaption() + QStringLiteral("设置"), 1, QStringLiteral("date"),
              QString());
}

void TFrmCodeMan::exportList()
{
    ExportGridToExcel(m_grid, currentCaption().trimmed() + QStringLiteral("设置"), true);
}

void TFrmCodeMan::reject()
{
    if (m_editing)
        cancelEdit();
    else
        QDialog::reject();
}

void TFrmCodeMan::closeEvent(QCloseEvent* event)
{
    // Pending changes are neither lost nor written by closing.
    if (m_editing) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void OpenCodeListWindow(QWidget* parent)
{
    TFrmCodeMan window(parent);
    DispFormPos(&window, fpEdit);
    window.exec();
}
