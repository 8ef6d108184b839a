#include "shipments/TFrmOutXiaoshouDeptGl.h"

#include "codes/CodeCombos.h"
#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/EnterActsAsTab.h"
#include "common/GoodsGrid.h"
#include "common/GridLayouts.h"
#include "common/GridLayoutStore.h"
#include "common/MaxLength.h"
#include "common/PickerRegistry.h"
#include "contracts/TDlgContractXz.h"
#include "data/Session.h"
#include "data/StoredDate.h"
#include "data/TdmData.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/DesktopOpener.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "shipments/ShipmentStore.h"

#include <QAction>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <functional>

namespace {

const QString kLayout = QStringLiteral("outxiaoshoudeptgl");
const QString kTable = QStringLiteral("t_FHrec");

QLineEdit* lineEdit(QWidget* parent, const char* name, const char* column = nullptr)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    if (column)
        LimitToColumn(e, kTable, QLatin1String(column));
    return e;
}

} // namespace

TFrmOutXiaoshouDeptGl::TFrmOutXiaoshouDeptGl(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmOutXiaoshouDeptGl"));
    setWindowTitle(QStringLiteral("合同发货管理"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    buildToolBar();
    layout->addWidget(m_toolBar);

    auto* body = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(6, 0, 6, 0);
    auto* dayRow = new QHBoxLayout;
    m_day = new DateBox(body);
    m_day->setObjectName(QStringLiteral("dtpDate"));
    m_day->setDate(Clock::today());
    auto* dayLabel = new QLabel(QStringLiteral("日  期："), body);
    dayLabel->setBuddy(m_day);
    dayRow->addWidget(dayLabel);
    dayRow->addWidget(m_day);
    dayRow->addStretch();
    bodyLayout->addLayout(dayRow);
    buildHeader(body);
    bodyLayout->addWidget(m_header);
    buildLines();
    bodyLayout->addWidget(m_lines, 1);
    layout->addWidget(body, 1);

    connect(m_day, &QDateEdit::dateChanged, this, [this] {
        if (m_listRead && !m_editing)
            readList();
    });
    new EnterActsAsTab(this);
    setEditing(false);
    resize(900, 620);
}

QAction* TFrmOutXiaoshouDeptGl::command(const QString& objectName) const
{
    return findChild<QAction*>(objectName);
}

void TFrmOutXiaoshouDeptGl::buildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [this](const char* name, const char* text, const QKeySequence& key,
                      std::function<void()> run) {
        auto* a = new QAction(QString::fromUtf8(text), this);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        connect(a, &QAction::triggered, this, std::move(run));
        m_toolBar->addAction(a);
        return a;
    };
    add("tbAdd", "新增", QKeySequence(Qt::CTRL | Qt::Key_A), [this] { addShipment(); });
    add("tbModify", "修改", QKeySequence(Qt::CTRL | Qt::Key_E), [this] { modifyShipment(); });
    add("tbDelete", "删除", QKeySequence(Qt::Key_Delete), [this] { deleteShipment(); });
    m_toolBar->addSeparator();
    add("tbFirst", "首项", {}, [this] { moveTo(RecordNavigator::First); });
    add("tbPrior", "前项", {}, [this] { moveTo(RecordNavigator::Prior); });
    add("tbNext", "后项", {}, [this] { moveTo(RecordNavigator::Next); });
    add("tbLast", "末项", {}, [this] { moveTo(RecordNavigator::Last); });
    m_toolBar->addSeparator();
    add("tbSave", "保存", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { saveShipment(); });
    // Esc cancels through reject() while editing.
    add("tbCancel", "取消", {}, [this] { cancelEdit(); });
    m_toolBar->addSeparator();

    auto menuButton = [&](const char* name, const char* text, const QStringList& entries,
                          const char* entryPrefix) {
        QAction* a = add(name, text, {}, [this] { notYetAvailable(); });
        auto* menu = new QMenu(this);
        for (int i = 0; i < entries.size(); ++i) {
            QAction* e = menu->addAction(entries.at(i));
            e->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(entryPrefix)).arg(i + 1));
            connect(e, &QAction::triggered, this, [this] { notYetAvailable(); });
        }
        a->setMenu(menu);
        if (auto* b = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(a)))
            b->setPopupMode(QToolButton::MenuButtonPopup);
    };
    menuButton("tbPrint", "打印",
               {QStringLiteral("打印销售出库单"), QStringLiteral("打印销售出库单(A4)"),
                QStringLiteral("打印销售出库单(不含单价和金额)")},
               "mnuPrint");
    menuButton("tbDesign", "设置",
               {QStringLiteral("设置销售出库单"), QStringLiteral("设置销售出库单(A4)"),
                QStringLiteral("设置销售出库单(不含单价和金额)")},
               "mnuDesign");
    m_toolBar->addSeparator();
    add("tbExit", "退出", {}, [this] { QDialog::reject(); });
}

void TFrmOutXiaoshouDeptGl::buildHeader(QWidget* parent)
{
    m_header = new QGroupBox(parent);
    m_header->setObjectName(QStringLiteral("grpHeader"));
    auto* grid = new QGridLayout(m_header);
    auto field = [&](const QString& caption, QWidget* w, int row, int column, int span = 1) {
        auto* label = new QLabel(caption, m_header);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(w);
        grid->addWidget(label, row, column * 2);
        grid->addWidget(w, row, column * 2 + 1, 1, span * 2 - 1);
    };

    auto* codeBox = new QWidget(m_header);
    auto* codeRow = new QHBoxLayout(codeBox);
    codeRow->setContentsMargins(0, 0, 0, 0);
    codeRow->setSpacing(2);
    m_htCode = lineEdit(codeBox, "edtHTcode");
    m_htCode->setReadOnly(true);
    m_selectContract = new QPushButton(QStringLiteral("…"), codeBox);
    m_selectContract->setObjectName(QStringLiteral("btnSelectContract"));
    m_selectContract->setFixedWidth(28);
    m_selectContract->setAutoDefault(false);
    connect(m_selectContract, &QPushButton::clicked, this, [this] { pickContract(); });
    codeRow->addWidget(m_htCode);
    codeRow->addWidget(m_selectContract);
    field(QStringLiteral("合同编号："), codeBox, 0, 0);
    m_htName = lineEdit(m_header, "edtHTname");
    m_htName->setReadOnly(true);
    field(QStringLiteral("合同名称："), m_htName, 0, 1, 2);

    m_code = lineEdit(m_header, "edtCode");
    m_code->setReadOnly(true);
    field(QStringLiteral("销售单号："), m_code, 1, 0);
    m_oldCode = lineEdit(m_header, "edtOLDcode", "F_OLDcode");
    field(QStringLiteral("原始单号："), m_oldCode, 1, 1);
    m_fhEmp = new QComboBox(m_header);
    m_fhEmp->setObjectName(QStringLiteral("cbbFHemp"));
    m_fhEmp->setEditable(true);
    LimitToColumn(m_fhEmp->lineEdit(), kTable, QStringLiteral("F_FHemp"));
    field(QStringLiteral("发 货 人："), m_fhEmp, 1, 2);

    m_fhDate = new DateBox(m_header);
    m_fhDate->setObjectName(QStringLiteral("dtpFHdate"));
    field(QStringLiteral("发货时间："), m_fhDate, 2, 0);
    m_shEmp = lineEdit(m_header, "edtSHemp", "F_SHemp");
    field(QStringLiteral("收 货 人："), m_shEmp, 2, 1);
    m_shDate = new CheckedDate(m_header);
    m_shDate->setObjectName(QStringLiteral("dtpSHdate"));
    field(QStringLiteral("收货时间："), m_shDate, 2, 2);

    m_shAddress = lineEdit(m_header, "edtSHaddress", "F_SHaddress");
    field(QStringLiteral("收货地址："), m_shAddress, 3, 0, 2);
    m_shPhone = lineEdit(m_header, "edtSHphone", "F_SHphone");
    field(QStringLiteral("收货电话："), m_shPhone, 3, 2);

    m_filePath = lineEdit(m_header, "edtFilePath", "F_FHfilePath");
    auto* fileBox = new QWidget(m_header);
    auto* fileRow = new QHBoxLayout(fileBox);
    fileRow->setContentsMargins(0, 0, 0, 0);
    fileRow->setSpacing(2);
    m_chooseFile = new QPushButton(QStringLiteral("…"), fileBox);
    m_chooseFile->setObjectName(QStringLiteral("btnFilePath"));
    m_chooseFile->setFixedWidth(28);
    m_openFile = new QPushButton(QStringLiteral("打开"), fileBox);
    m_openFile->setObjectName(QStringLiteral("btnOpenFile"));
    for (QPushButton* b : {m_chooseFile, m_openFile})
        b->setAutoDefault(false);
    fileRow->addWidget(m_filePath, 1);
    fileRow->addWidget(m_chooseFile);
    fileRow->addWidget(m_openFile);
    connect(m_chooseFile, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(m_openFile, &QPushButton::clicked, this, [this] { openFile(); });
    field(QStringLiteral("文件路径："), fileBox, 4, 0, 2);
    m_operName = lineEdit(m_header, "edtOperName");
    m_operName->setReadOnly(true);
    field(QStringLiteral("录入人员："), m_operName, 4, 2);

    m_memo = new QPlainTextEdit(m_header);
    m_memo->setObjectName(QStringLiteral("memMemo1"));
    m_memo->setTabChangesFocus(true);
    m_memo->setFixedHeight(48);
    field(QStringLiteral("备注信息："), m_memo, 5, 0, 3);

    m_addLine = new QPushButton(QStringLiteral("增行"), m_header);
    m_addLine->setObjectName(QStringLiteral("btnAddLine"));
    m_addLine->setAutoDefault(false);
    connect(m_addLine, &QPushButton::clicked, this, [this] { pickGoodsLines(); });
    grid->addWidget(m_addLine, 5, 6, Qt::AlignBottom);
    for (int c : {1, 3, 5})
        grid->setColumnStretch(c, 1);
}

void TFrmOutXiaoshouDeptGl::buildLines()
{
    m_lines = new DataGrid(this);
    m_lines->setObjectName(QStringLiteral("DBGridEh1"));
    m_lines->setColumns(GridLayoutStore::builtColumns(kLayout));
    LoadGridLayout(m_lines, kLayout);
    ApplyColumnFormats(m_lines, kLayout);
    m_lines->setFooterVisible(true);
    m_lines->setTitleSortEnabled(false);
    RecordModel* model = m_lines->model();
    const int total = model->columnOfField(QStringLiteral("F_totalPrice"));
    if (total >= 0 && !Session.MoneyFormat.isEmpty()) {
        GridColumn c = model->gridColumn(total);
        c.displayFormat = Session.MoneyFormat;
        model->setGridColumn(total, c);
    }
    // A return (negative quantity) stands out in red.
    const QColor face = palette().color(QPalette::Button);
    model->setRowStyler([face](const RecordModel& m, int row) {
        RecordModel::RowStyle style;
        if (qint64(m.value(row, QStringLiteral("F_amount")).toDouble()) < 0) {
            style.foreground = Qt::red;
            style.background = face;
        }
        return style;
    });
    PrepareGoodsGrid(m_lines, QStringLiteral("t_FHdetail"));
    model->setEditable(false);
    connect(m_lines, &DataGrid::cellButtonClicked, this, [this] {
        if (m_editing)
            pickGoodsLines();
    });
    connect(m_lines, &DataGrid::rowDoubleClicked, this, [this] {
        if (!m_editing)
            modifyShipment();
    });

    m_linesMenu = new QMenu(this);
    m_linesMenu->setObjectName(QStringLiteral("pmLines"));
    auto entry = [this](const char* name, const char* text, int key, std::function<void()> run) {
        auto* a = new QAction(QString::fromUtf8(text), m_lines->view());
        a->setObjectName(QLatin1String(name));
        a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, std::move(run));
        m_linesMenu->addAction(a);
        addAction(a);
        return a;
    };
    entry("mnuAddLine", "增行", Qt::Key_F9, [this] { appendEmptyLine(); });
    entry("mnuDeleteLine", "删行", Qt::Key_F10, [this] { deleteCurrentLine(); });
    entry("mnuFieldList", "显示字段列表", Qt::Key_F11, [this] { ChooseGridColumns(m_lines); });
    entry("mnuSaveLayout", "保存当前设置", Qt::Key_F12,
          [this] { AskAndSaveGridLayout(m_lines, kLayout); });
    m_lines->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_lines->view(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (m_editing)
            m_linesMenu->popup(m_lines->view()->viewport()->mapToGlobal(at));
    });
}

void TFrmOutXiaoshouDeptGl::setEntryDate(const QDate& day)
{
    m_day->setDate(day.isValid() ? day : Clock::today());
}

void TFrmOutXiaoshouDeptGl::showEvent(QShowEvent* event)
{
    if (!m_listRead) {
        m_fhEmp->addItems(CodePickList(ShipmentStore::kManagementShippers));
        readList();
    }
    QDialog::showEvent(event);
}

void TFrmOutXiaoshouDeptGl::setEditing(bool editing)
{
    m_editing = editing;
    for (const char* name : {"tbAdd", "tbModify", "tbDelete", "tbPrint", "tbDesign", "tbExit"})
        command(QLatin1String(name))->setEnabled(!editing);
    for (const char* name : {"tbSave", "tbCancel"})
        command(QLatin1String(name))->setEnabled(editing);
    for (QAction* a : m_linesMenu->actions())
        a->setEnabled(editing);
    if (editing) {
        for (const char* name : {"tbFirst", "tbPrior", "tbNext", "tbLast"})
            command(QLatin1String(name))->setEnabled(false);
    } else {
        const int count = m_list.rowCount();
        const bool atStart = m_row <= 0;
        const bool atEnd = m_row >= count - 1;
        command(QStringLiteral("tbFirst"))->setEnabled(count > 0 && !atStart);
        command(QStringLiteral("tbPrior"))->setEnabled(count > 0 && !atStart);
        command(QStringLiteral("tbNext"))->setEnabled(count > 0 && !atEnd);
        command(QStringLiteral("tbLast"))->setEnabled(count > 0 && !atEnd);
    }
    m_day->setEnabled(!editing);
    m_header->setEnabled(editing);
    m_lines->model()->setEditable(editing);
}

void TFrmOutXiaoshouDeptGl::readList()
{
    m_listRead = true;
    QString error;
    if (!m_list.open(dmData()->db(), ShipmentStore::dayListSql(),
                     ShipmentStore::dayListParams(m_day->date()), &error)) {
        ShowFailure(Messages::openFailed(), error);
    }
    if (m_list.rowCount() == 0) {
        m_row = -1;
        showBlank();
        setEditing(false);
        return;
    }
    int row = m_list.rowCount() - 1;
    if (!m_positionCode.isEmpty()) {
        // A code from another day is not on this list: start at the top.
        const int at = m_list.findRow(QStringLiteral("F_code"), m_positionCode);
        row = at >= 0 ? at : 0;
    }
    showShipment(row);
    setEditing(false);
}

void TFrmOutXiaoshouDeptGl::showBlank()
{
    const AllocatedCode next = ShipmentStore::nextCode(dmData()->db(), Clock::today());
    m_code->setText(next.code);
    m_cltID = -1;
    m_htCode->clear();
    m_htName->clear();
    m_oldCode->clear();
    m_fhEmp->setCurrentText(QString());
    m_fhDate->setDate(Clock::today());
    m_shEmp->clear();
    m_shDate->setShownDate(Clock::today());
    m_shDate->setChecked(false);
    m_shAddress->clear();
    m_shPhone->clear();
    m_filePath->clear();
    m_memo->clear();
    m_operName->clear();
    QString error;
    if (!m_lines->open(dmData()->db(), ShipmentStore::linesSql(), ShipmentStore::noLinesParams(),
                       &error))
        ShowFailure(Messages::openFailed(), error);
}

void TFrmOutXiaoshouDeptGl::showShipment(int row)
{
    m_row = row;
    auto v = [&](const char* field) { return m_list.value(row, QLatin1String(field)); };
    m_cltID = v("F_cltID").isNull() ? -1 : v("F_cltID").toInt();
    m_htCode->setText(v("F_HTcode").toString());
    m_htName->setText(v("F_HTname").toString());
    m_code->setText(v("F_code").toString());
    m_oldCode->setText(v("F_OLDcode").toString());
    m_fhEmp->setCurrentText(v("F_FHemp").toString());
    const QDate fh = StoredDate::parse(v("F_FHdate"));
    m_fhDate->setDate(fh.isValid() ? fh : Clock::today());
    m_shEmp->setText(v("F_SHemp").toString());
    m_shDate->setStoredDate(v("F_SHdate"));
    m_shAddress->setText(v("F_SHaddress").toString());
    m_shPhone->setText(v("F_SHphone").toString());
    m_filePath->setText(v("F_FHfilePath").toString());
    m_memo->setPlainText(v("F_memo1").toString());
    m_operName->setText(v("F_operName").toString());
    readLines(m_code->text());
}

bool TFrmOutXiaoshouDeptGl::readLines(const QString& code)
{
    QString error;
    if (!m_lines->open(dmData()->db(), ShipmentStore::linesSql(), ShipmentStore::linesParams(code),
                       &error)) {
        ShowFailure(Messages::openFailed(), error);
        return false;
    }
    return true;
}

void TFrmOutXiaoshouDeptGl::addShipment()
{
    if (m_editing)
        return;
    m_isNew = true;
    showBlank();
    // The operator who enters the shipment is its operator.
    m_operName->setText(Session.OperName);
    setEditing(true);
    m_fhDate->setFocus();
    appendEmptyLine();
}

void TFrmOutXiaoshouDeptGl::modifyShipment()
{
    if (m_editing)
        return;
    if (m_list.rowCount() == 0) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), mkError);
        return;
    }
    m_isNew = false;
    showShipment(m_row);
    setEditing(true);
    m_fhDate->setFocus();
}

bool TFrmOutXiaoshouDeptGl::saveShipment()
{
    if (!m_editing)
        return false;
    FinishTyping(this);
    if (m_htName->text().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("合同名称不能为空！"), mkInfo);
        m_htName->setFocus();
        return false;
    }
    if (!DatesAreValid(this))
        return false;
    Shipment s;
    s.id = m_isNew ? 0 : m_list.value(m_row, QStringLiteral("F_ID")).toLongLong();
    s.cltID = m_cltID;
    s.code = m_code->text();
    s.oldCode = m_oldCode->text();
    s.fhEmp = m_fhEmp->currentText();
    s.fhDate = m_fhDate->date();
    s.shEmp = m_shEmp->text();
    s.shDateGiven = m_shDate->isChecked();
    s.shDate = m_shDate->date();
    s.shAddress = m_shAddress->text();
    s.shPhone = m_shPhone->text();
    s.filePath = m_filePath->text();
    s.memo1 = m_memo->toPlainText();
    s.operName = m_operName->text();
    RecordModel* lines = m_lines->model();
    ShipmentStore::dropEmptyLines(lines);
    QString error;
    if (!ShipmentStore::save(dmData()->db(), &s, lines, ShipmentWriter::Management, &error)) {
        // Still editing, with the values and the pending lines as they were.
        ShowFailure(Messages::saveFailed(), error);
        return false;
    }
    // A new shipment is entered today: show today's list, standing on it.
    if (m_isNew && m_day->date() != Clock::today()) {
        const QSignalBlocker block(m_day);
        m_day->setDate(Clock::today());
    }
    m_isNew = false;
    m_editing = false;
    m_positionCode.clear();
    readList();
    const int row = m_list.findRow(QStringLiteral("F_ID"), s.id);
    if (row >= 0) {
        showShipment(row);
        setEditing(false);
    }
    return true;
}

void TFrmOutXiaoshouDeptGl::cancelEdit()
{
    if (!m_editing)
        return;
    m_isNew = false;
    m_code->clear();
    m_lines->model()->cancelPending();
    if (m_row >= 0 && m_row < m_list.rowCount())
        showShipment(m_row);
    else
        showBlank();
    setEditing(false);
}

void TFrmOutXiaoshouDeptGl::deleteShipment()
{
    if (m_editing || m_list.rowCount() == 0 || m_row < 0)
        return;
    const QString code = m_list.text(m_row, QStringLiteral("F_code"));
    if (ShowMess(QStringLiteral("真的要删除当前合同发货单 %1吗？").arg(code), mkQuestion) != 1)
        return;
    QString error;
    if (!ShipmentStore::deleteShipment(dmData()->db(), code, &error)) {
        ShowFailure(Messages::saveFailed(), error);
        return;
    }
    // Read again only after the commit: what shows is what is stored.
    const int at = m_row;
    readList();
    if (m_list.rowCount() > 0) {
        showShipment(qMin(at, m_list.rowCount() - 1));
        setEditing(false);
    }
}

void TFrmOutXiaoshouDeptGl::moveTo(RecordNavigator::Move move)
{
    if (m_editing || m_list.rowCount() == 0)
        return;
    const int target = RecordNavigator::targetRow(move, m_row, m_list.rowCount());
    if (target >= 0)
        showShipment(target);
    updatePaging(move);
}

void TFrmOutXiaoshouDeptGl::updatePaging(RecordNavigator::Move move)
{
    RecordNavigator::applyPaging(move, m_row, m_list.rowCount(), command(QStringLiteral("tbFirst")),
                                 command(QStringLiteral("tbPrior")),
                                 command(QStringLiteral("tbNext")),
                                 command(QStringLiteral("tbLast")));
}

void TFrmOutXiaoshouDeptGl::pickContract()
{
    ContractHeader chosen;
    chosen.cltID = m_cltID;
    chosen.code = m_htCode->text();
    chosen.name = m_htName->text();
    const int id = SelectContract(m_cltID, kSelectForShipments, &chosen, this);
    if (id <= 0 || chosen.cltID != id)
        return;
    m_cltID = chosen.cltID;
    m_htCode->setText(chosen.code);
    m_htName->setText(chosen.name);
}

void TFrmOutXiaoshouDeptGl::pickGoodsLines()
{
    if (!m_editing)
        return;
    RecordModel* model = m_lines->model();
    GoodsLineTarget target;
    target.mode = GoodsLineTarget::ShipmentManagementLines;
    target.addLine = [this, model](const GoodsLineValues& goods) {
        m_lines->setCurrentRow(AppendGoodsLine(model, goods));
    };
    PickerRegistry::addGoodsLines(target, this);
}

void TFrmOutXiaoshouDeptGl::appendEmptyLine()
{
    if (!m_editing)
        return;
    m_lines->setCurrentRow(m_lines->model()->appendRecord());
}

void TFrmOutXiaoshouDeptGl::deleteCurrentLine()
{
    const int row = m_lines->currentRow();
    if (!m_editing || row < 0)
        return;
    const QString name = m_lines->model()->text(row, QStringLiteral("F_GDname"));
    if (ShowMess(QStringLiteral("真的要删除当前商品 \"%1\" 吗？").arg(name), mkQuestion) == 2)
        return;
    m_lines->model()->removeRows(row, 1);
}

void TFrmOutXiaoshouDeptGl::chooseFile()
{
    const QString file = UserDialogs::current().openFileName(
        QStringLiteral("定位文件位置"), AppPaths::exeDir(), QStringLiteral("所有文件 (*)"));
    if (!file.isEmpty())
        m_filePath->setText(file);
}

void TFrmOutXiaoshouDeptGl::openFile()
{
    OpenFileWithDesktop(m_filePath->text());
}

void TFrmOutXiaoshouDeptGl::notYetAvailable()
{
    ShowMess(Messages::notYetAvailable(), mkInfo);
}

void TFrmOutXiaoshouDeptGl::reject()
{
    if (m_editing) {
        cancelEdit();
        return;
    }
    QDialog::reject();
}

void OpenShipmentManagement(const QDate& entryDate, const QString& positionCode, QWidget* parent)
{
    TFrmOutXiaoshouDeptGl window(parent);
    window.setEntryDate(entryDate);
    window.setPositionCode(positionCode);
    DispFormPos(&window, fpEdit);
    window.exec();
}
