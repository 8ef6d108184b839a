#include "contracts/TfrmContractEdit.h"

#include "codes/CodeCombos.h"
#include "codes/CodeStore.h"
#include "codes/TDLGenterCaption.h"
#include "common/AmountBox.h"
#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/EnterActsAsTab.h"
#include "common/GoodsGrid.h"
#include "common/GridLayouts.h"
#include "common/GridLayoutStore.h"
#include "common/InputState.h"
#include "common/MaxLength.h"
#include "common/PickerRegistry.h"
#include "common/RecordNavigator.h"
#include "data/DataServicesUi.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/Clock.h"
#include "platform/DesktopOpener.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using ContractEditStore::ContractValues;

namespace {

const QString kLockedStyle = QStringLiteral("background-color: #c8f0ff;");

Database& db()
{
    return dmData()->db();
}

const QString kTable = QStringLiteral("Contract");

QLineEdit* lineEdit(QWidget* parent, const char* name, const char* column)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    if (column)
        LimitToColumn(e, kTable, QLatin1String(column));
    return e;
}

QComboBox* pickList(QWidget* parent, const char* name, const char* column)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    LimitToColumn(c->lineEdit(), kTable, QLatin1String(column));
    return c;
}

QToolButton* pickButton(QWidget* parent, const char* name)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(QStringLiteral("…"));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// Amounts show in the session's money format.
AmountBox* numberBox(QWidget* parent, const char* name)
{
    auto* s = new AmountBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setDisplayFormat(Session.MoneyFormat);
    return s;
}

DateBox* dateBox(QWidget* parent, const char* name)
{
    auto* d = new DateBox(parent);
    d->setObjectName(QLatin1String(name));
    return d;
}

CheckedDate* checkedDate(QWidget* parent, const char* name)
{
    auto* d = new CheckedDate(parent);
    d->setObjectName(QLatin1String(name));
    return d;
}

QWidget* row(QWidget* parent, std::initializer_list<QWidget*> widgets, QWidget* stretch = nullptr)
{
    auto* box = new QWidget(parent);
    auto* l = new QHBoxLayout(box);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(2);
    for (QWidget* w : widgets)
        l->addWidget(w, w == stretch ? 1 : 0);
    return box;
}

} // namespace

TfrmContractEdit::TfrmContractEdit(int mode, qint64 rowId, QWidget* parent, const QString& typePath)
    : QDialog(parent), m_mode(mode), m_rowId(rowId), m_typePath(typePath)
{
    setObjectName(QStringLiteral("TfrmContractEdit"));
    buildUi();
    fillLists();
    applyCaptions();
    if (m_mode == ModeAdd) {
        startNew();
    } else {
        m_loaded = loadRow(rowId);
        if (m_mode == ModeCopy) {
            m_rowId = -1;
            m_shEmp.clear();
            setLocked(false);
            m_link = ContractEditStore::nextLinkNumber(db());
            openGoods(-1);
            if (Session.AutoContractCode)
                proposeCode();
        }
    }
    setWindowTitle(m_mode == ModeModify ? QStringLiteral("合同档案 - 修改")
                                        : QStringLiteral("合同档案 - 新增"));
    m_auto->setEnabled(m_mode != ModeModify);
    m_continue->setVisible(m_mode != ModeModify);
    m_navigatorBox->setVisible(false);
    markUnchanged();
}

void TfrmContractEdit::buildUi()
{
    auto* top = new QVBoxLayout(this);
    auto* form = new QGridLayout;
    form->setHorizontalSpacing(6);
    form->setVerticalSpacing(4);
    top->addLayout(form);

    auto label = [this](const QString& text) { return new QLabel(text, this); };

    m_code = lineEdit(this, "edtCode", "F_code");
    m_auto = new QCheckBox(QStringLiteral("自动"), this);
    m_auto->setObjectName(QStringLiteral("chkAuto"));
    m_name = lineEdit(this, "edtName", "F_name");
    m_type = lineEdit(this, "edtType", "F_type");
    m_typeButton = pickButton(this, "btnType");
    m_emp = pickList(this, "cbbEmpName", "F_empName");
    m_editDate = dateBox(this, "dtpEditDate");
    m_date = dateBox(this, "dtpDate");
    m_totalPrice = numberBox(this, "edtTotalPrice");
    m_priceUnit = pickList(this, "cbbPriceUnit", "F_priceUnit");
    m_beginDate = checkedDate(this, "dtpBeginDate");
    m_endDate = checkedDate(this, "dtpEndDate");
    m_status = pickList(this, "cbbStatus", "F_status");
    m_dept = pickList(this, "cbbDept", "F_dept");
    m_client1 = lineEdit(this, "edtClient1", "F_client1");
    m_client1Button = pickButton(this, "btnClient1");
    m_fzr1 = lineEdit(this, "edtFZR1", "F_FZR1");
    m_client2 = lineEdit(this, "edtClient2", "F_client2");
    m_client2Button = pickButton(this, "btnClient2");
    m_fzr2 = lineEdit(this, "edtFZR2", "F_FZR2");
    m_receipt = new QRadioButton(QStringLiteral("收款"), this);
    m_receipt->setObjectName(QStringLiteral("rbReceipt"));
    m_payment = new QRadioButton(QStringLiteral("付款"), this);
    m_payment->setObjectName(QStringLiteral("rbPayment"));
    auto* direction = new QButtonGroup(this);
    direction->addButton(m_receipt);
    direction->addButton(m_payment);
    m_gcName = lineEdit(this, "edtGCname", "F_GCname");
    m_gcButton = pickButton(this, "btnGC");
    m_filePath = lineEdit(this, "edtFilePath", "F_filePath");
    auto* fileButton = pickButton(this, "btnFilePath");
    auto* fileOpen = new QPushButton(QStringLiteral("打开"), this);
    fileOpen->setObjectName(QStringLiteral("btnOpenFile"));
    fileOpen->setAutoDefault(false);
    m_gdFlag = new QCheckBox(QStringLiteral("合同归档"), this);
    m_gdFlag->setObjectName(QStringLiteral("chkGDflag"));
    m_gdPathLabel = label(QStringLiteral("归档文件存放位置："));
    m_gdPathLabel->setObjectName(QStringLiteral("lblGDpath"));
    m_gdPath = lineEdit(this, "edtGDpath", "F_GDpath");
    m_gdPathButton = pickButton(this, "btnGDpath");
    m_gdOpen = new QPushButton(QStringLiteral("打开"), this);
    m_gdOpen->setObjectName(QStringLiteral("btnOpenGDpath"));
    m_gdOpen->setAutoDefault(false);

    int r = 0;
    auto pair = [&](int col, const QString& caption, QWidget* field) {
        form->addWidget(label(caption), r, col * 2, Qt::AlignRight);
        form->addWidget(field, r, col * 2 + 1);
    };
    pair(0, QStringLiteral("合同编号："), row(this, {m_code, m_auto}, m_code));
    pair(1, QStringLiteral("合同名称："), m_name);
    ++r;
    pair(0, QStringLiteral("合同类型："), row(this, {m_type, m_typeButton}, m_type));
    pair(1, QStringLiteral("业 务 员："), m_emp);
    ++r;
    pair(0, QStringLiteral("录入日期："), m_editDate);
    pair(1, QStringLiteral("签订日期："), m_date);
    ++r;
    pair(0, QStringLiteral("合同金额："), m_totalPrice);
    pair(1, QStringLiteral("币    种："), m_priceUnit);
    ++r;
    pair(0, QStringLiteral("合同开始日期："), m_beginDate);
    pair(1, QStringLiteral("合同截止日期："), m_endDate);
    ++r;
    pair(0, QStringLiteral("合同状态："), m_status);
    pair(1, QStringLiteral("所属部门："), m_dept);
    ++r;
    pair(0, QStringLiteral("甲方单位："), row(this, {m_client1, m_client1Button}, m_client1));
    pair(1, QStringLiteral("负 责 人："), m_fzr1);
    ++r;
    pair(0, QStringLiteral("乙方单位："), row(this, {m_client2, m_client2Button}, m_client2));
    pair(1, QStringLiteral("负 责 人："), m_fzr2);
    ++r;
    pair(0, QStringLiteral("收付方向："), row(this, {m_receipt, m_payment}));
    pair(1, QStringLiteral("工程项目："), row(this, {m_gcName, m_gcButton}, m_gcName));
    ++r;
    form->addWidget(label(QStringLiteral("文件位置：")), r, 0, Qt::AlignRight);
    form->addWidget(row(this, {m_filePath, fileButton, fileOpen}, m_filePath), r, 1, 1, 3);
    ++r;
    form->addWidget(m_gdFlag, r, 1);
    form->addWidget(m_gdPathLabel, r, 2, Qt::AlignRight);
    form->addWidget(row(this, {m_gdPath, m_gdPathButton, m_gdOpen}, m_gdPath), r, 3);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);

    // Custom fields: captions come from the settings slots.
    auto* custom = new QGroupBox(QStringLiteral("自定义项"), this);
    custom->setObjectName(QStringLiteral("grpCustom"));
    auto* cl = new QGridLayout(custom);
    cl->setVerticalSpacing(4);
    int slot = 0;
    // Placed by applyCaptions.
    auto place = [&](QLabel* l, QWidget* w) {
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        cl->addWidget(l, slot / 3, (slot % 3) * 2);
        cl->addWidget(w, slot / 3, (slot % 3) * 2 + 1);
        ++slot;
    };
    for (int i = 0; i < 5; ++i) {
        m_zfLabel[i] = new QLabel(custom);
        m_zfLabel[i]->setObjectName(QStringLiteral("lblZF%1").arg(i + 1));
        m_zf[i] = new QLineEdit(custom);
        m_zf[i]->setObjectName(QStringLiteral("edtZF%1").arg(i + 1));
        LimitToColumn(m_zf[i], kTable, QStringLiteral("F_ZF%1").arg(i + 1));
        place(m_zfLabel[i], m_zf[i]);
    }
    for (int i = 0; i < 3; ++i) {
        m_szLabel[i] = new QLabel(custom);
        m_szLabel[i]->setObjectName(QStringLiteral("lblSZ%1").arg(i + 1));
        m_sz[i] = numberBox(custom, "");
        m_sz[i]->setObjectName(QStringLiteral("edtSZ%1").arg(i + 1));
        place(m_szLabel[i], m_sz[i]);
    }
    for (int i = 0; i < 3; ++i) {
        m_rqLabel[i] = new QLabel(custom);
        m_rqLabel[i]->setObjectName(QStringLiteral("lblRQ%1").arg(i + 1));
        m_rq[i] = checkedDate(custom, "");
        m_rq[i]->setObjectName(QStringLiteral("dtpRQ%1").arg(i + 1));
        place(m_rqLabel[i], m_rq[i]);
    }
    for (int c : {1, 3, 5})
        cl->setColumnStretch(c, 1);
    top->addWidget(custom);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pgcPages"));
    m_memo1 = new QPlainTextEdit(this);
    m_memo1->setObjectName(QStringLiteral("memMemo1"));
    m_memo2 = new QPlainTextEdit(this);
    m_memo2->setObjectName(QStringLiteral("memMemo2"));
    m_pages->addTab(m_memo1, QStringLiteral("合同主要内容"));
    m_pages->addTab(m_memo2, QStringLiteral("合同异常描述"));
    auto* goodsPage = new QWidget(this);
    goodsPage->setObjectName(QStringLiteral("tsGoods"));
    auto* gl = new QVBoxLayout(goodsPage);
    gl->setContentsMargins(2, 2, 2, 2);
    auto* addLine = new QPushButton(QStringLiteral("新增行"), goodsPage);
    addLine->setObjectName(QStringLiteral("btnAddLine"));
    addLine->setAutoDefault(false);
    auto* deleteLine = new QPushButton(QStringLiteral("删除"), goodsPage);
    deleteLine->setObjectName(QStringLiteral("btnDeleteLine"));
    deleteLine->setAutoDefault(false);
    auto* lineButtons = new QHBoxLayout;
    lineButtons->addWidget(addLine);
    lineButtons->addWidget(deleteLine);
    lineButtons->addStretch();
    gl->addLayout(lineButtons);
    m_goods = new DataGrid(goodsPage);
    m_goods->setObjectName(QStringLiteral("grdGoods"));
    m_goods->setTitleSortEnabled(false);
    gl->addWidget(m_goods, 1);
    m_pages->addTab(goodsPage, QStringLiteral(" 合同货品 "));
    m_pages->setMinimumHeight(180);
    top->addWidget(m_pages, 1);

    // Bottom: navigator (modify) or "连续新增" (add, copy), then the buttons.
    auto* bottom = new QHBoxLayout;
    m_navigatorBox = new RecordNavigator(this);
    connect(m_navigatorBox, &RecordNavigator::moveRequested, this,
            [this](RecordNavigator::Move move) { navigate(int(move)); });
    m_continue = new QCheckBox(QStringLiteral("连续新增"), this);
    m_continue->setObjectName(QStringLiteral("chkContinue"));
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAutoDefault(false);
    bottom->addWidget(m_navigatorBox);
    bottom->addWidget(m_continue);
    bottom->addStretch();
    bottom->addWidget(m_ok);
    bottom->addWidget(cancel);
    top->addLayout(bottom);

    m_goods->setColumns(GridLayoutStore::builtColumns(QStringLiteral("detail7")));
    LoadGridLayout(m_goods, QStringLiteral("detail7"));
    ApplyColumnFormats(m_goods);
    GridColumns columns = m_goods->model()->columns();
    for (GridColumn& c : columns) {
        const bool money =
            c.fieldName.compare(QLatin1String("F_price"), Qt::CaseInsensitive) == 0 ||
            c.fieldName.compare(QLatin1String("F_totalprice"), Qt::CaseInsensitive) == 0;
        if (money && c.displayFormat.isEmpty())
            c.displayFormat = QStringLiteral(",0.00");
    }
    m_goods->model()->setColumns(columns);
    m_goods->applyColumns();
    PrepareGoodsGrid(m_goods);
    new EnterActsAsTab(this, m_ok, cancel);

    connect(m_ok, &QPushButton::clicked, this, [this] { save(); });
    connect(cancel, &QPushButton::clicked, this, &TfrmContractEdit::reject);
    connect(m_auto, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            proposeCode();
    });
    connect(m_typeButton, &QToolButton::clicked, this, &TfrmContractEdit::pickType);
    connect(m_client1Button, &QToolButton::clicked, this,
            [this] { pickCounterpart(m_client1, m_fzr1); });
    connect(m_client2Button, &QToolButton::clicked, this,
            [this] { pickCounterpart(m_client2, m_fzr2); });
    connect(m_gcButton, &QToolButton::clicked, this, &TfrmContractEdit::pickProject);
    connect(fileButton, &QToolButton::clicked, this, &TfrmContractEdit::pickFile);
    connect(fileOpen, &QPushButton::clicked, this,
            [this] { openPath(m_filePath->text().trimmed()); });
    connect(m_gdPathButton, &QToolButton::clicked, this, &TfrmContractEdit::pickArchiveFolder);
    connect(m_gdOpen, &QPushButton::clicked, this,
            [this] { openPath(m_gdPath->text().trimmed()); });
    connect(m_gdFlag, &QCheckBox::toggled, this, &TfrmContractEdit::showArchive);
    connect(addLine, &QPushButton::clicked, this, &TfrmContractEdit::addGoodsLine);
    connect(deleteLine, &QPushButton::clicked, this, &TfrmContractEdit::deleteGoodsLine);
    connect(m_goods, &DataGrid::cellButtonClicked, this, [this] { pickGoodsLines(); });

    PickerRegistry::bindButton(m_client1Button, PickerRegistry::CounterpartName);
    PickerRegistry::bindButton(m_client2Button, PickerRegistry::CounterpartName);
    PickerRegistry::bindButton(m_gcButton, PickerRegistry::ProjectCode);
    PickerRegistry::watch(m_gcName, PickerRegistry::ProjectCode, [this](bool) { showPickers(); });
    resize(860, 720);
}

void TfrmContractEdit::showPickers()
{
    // The project is chosen by its code in the picker; without the picker
    // the name is typed.
    m_gcName->setReadOnly(!m_shEmp.trimmed().isEmpty() ||
                          PickerRegistry::has(PickerRegistry::ProjectCode));
}

void TfrmContractEdit::fillLists()
{
    FillEmployeeAndDeptCombos(m_emp, m_dept);
    m_empFixed = !m_emp->isEnabled();
    FillComboBox(CodePickList(CodeStore::kStatuses), m_status);
    FillComboBox(CodePickList(CodeStore::kCurrencies), m_priceUnit);
}

void TfrmContractEdit::applyCaptions()
{
    auto caption = [](QLabel* label, QWidget* field, int slot) {
        const QString text = Session.keyValue(slot);
        label->setText(text + QStringLiteral("："));
        // As in the lists, a custom field nobody has named is not in use.
        label->setVisible(!text.trimmed().isEmpty());
        field->setVisible(!text.trimmed().isEmpty());
    };
    for (int i = 0; i < 5; ++i)
        caption(m_zfLabel[i], m_zf[i], i + 1);
    for (int i = 0; i < 3; ++i)
        caption(m_szLabel[i], m_sz[i], i + 6);
    for (int i = 0; i < 3; ++i)
        caption(m_rqLabel[i], m_rq[i], i + 9);
    // The fields in use close up, three to a line.
    auto* grid = static_cast<QGridLayout*>(m_zf[0]->parentWidget()->layout());
    QList<QPair<QLabel*, QWidget*>> pairs;
    for (int i = 0; i < 5; ++i)
        pairs.append({m_zfLabel[i], m_zf[i]});
    for (int i = 0; i < 3; ++i)
        pairs.append({m_szLabel[i], m_sz[i]});
    for (int i = 0; i < 3; ++i)
        pairs.append({m_rqLabel[i], m_rq[i]});
    int placed = 0;
    for (const auto& [l, w] : pairs) {
        grid->removeWidget(l);
        grid->removeWidget(w);
        if (l->isHidden())
            continue;
        grid->addWidget(l, placed / 3, (placed % 3) * 2);
        grid->addWidget(w, placed / 3, (placed % 3) * 2 + 1);
        ++placed;
    }
    m_zf[0]->parentWidget()->setVisible(placed > 0);
}

void TfrmContractEdit::startNew()
{
    ContractValues v;
    v.editDate = v.date = Clock::today();
    v.status = QStringLiteral("未执行");
    v.type = m_typePath;
    if (m_empFixed)
        v.empName = Session.OperName;
    showValues(v);
    m_rowId = -1;
    m_shEmp.clear();
    setLocked(false);
    m_link = ContractEditStore::nextLinkNumber(db());
    openGoods(-1);
    m_proposedCode.clear();
    setCodeSkipped(false);
    if (Session.AutoContractCode)
        proposeCode();
}

bool TfrmContractEdit::loadRow(qint64 id)
{
    ContractValues v;
    QString error;
    if (!ContractEditStore::load(db(), id, &v, &error)) {
        ShowMess(QStringLiteral("读取合同失败：") + error, mkError);
        return false;
    }
    m_rowId = v.id;
    m_link = v.cltID;
    m_shEmp = v.shEmp;
    showValues(v);
    m_proposedCode.clear();
    setCodeSkipped(false);
    openGoods(v.cltID);
    setLocked(!v.shEmp.trimmed().isEmpty());
    markUnchanged();
    return true;
}

void TfrmContractEdit::showValues(const ContractValues& v)
{
    m_code->setText(v.code);
    m_name->setText(v.name);
    m_type->setText(v.type);
    if (!m_empFixed)
        m_emp->setEditText(v.empName);
    m_editDate->setDate(v.editDate.isValid() ? v.editDate : Clock::today());
    m_date->setDate(v.date.isValid() ? v.date : Clock::today());
    m_totalPrice->setValue(v.totalPrice);
    // Unset dates show today once ticked.
    m_beginDate->setShownDate(Clock::today());
    m_beginDate->setDate(v.beginDate);
    m_endDate->setShownDate(Clock::today());
    m_endDate->setDate(v.endDate);
    m_status->setEditText(v.status);
    m_memo1->setPlainText(v.memo1);
    m_memo2->setPlainText(v.memo2);
    m_filePath->setText(v.filePath);
    m_client1->setText(v.client1);
    m_client2->setText(v.client2);
    m_fzr1->setText(v.fzr1);
    m_fzr2->setText(v.fzr2);
    (v.sfFlag == -1 ? m_payment : m_receipt)->setChecked(true);
    m_priceUnit->setEditText(v.priceUnit);
    m_dept->setEditText(v.dept);
    for (int i = 0; i < 5; ++i)
        m_zf[i]->setText(v.zf[size_t(i)]);
    for (int i = 0; i < 3; ++i)
        m_sz[i]->setValue(v.sz[size_t(i)]);
    for (int i = 0; i < 3; ++i) {
        m_rq[i]->setShownDate(Clock::today());
        m_rq[i]->setDate(v.rq[size_t(i)]);
    }
    m_gcCode = v.gcCode;
    m_gcName->setText(v.gcName);
    m_gdFlag->setChecked(v.gdFlag);
    m_gdPath->setText(v.gdFlag ? v.gdPath : QString());
    showArchive(v.gdFlag);
    m_auto->setChecked(false);
}

ContractValues TfrmContractEdit::collect() const
{
    ContractValues v;
    v.id = m_rowId;
    v.cltID = m_link;
    v.code = m_code->text();
    v.name = m_name->text();
    v.type = m_type->text();
    v.empName = m_emp->currentText();
    v.editDate = m_editDate->date();
    v.date = m_date->date();
    v.totalPrice = m_totalPrice->value();
    v.beginDate = m_beginDate->date();
    v.endDate = m_endDate->date();
    v.status = m_status->currentText();
    v.memo1 = m_memo1->toPlainText();
    v.memo2 = m_memo2->toPlainText();
    v.filePath = m_filePath->text();
    v.gdFlag = m_gdFlag->isChecked();
    v.gdPath = m_gdPath->text();
    v.client1 = m_client1->text();
    v.client2 = m_client2->text();
    v.fzr1 = m_fzr1->text();
    v.fzr2 = m_fzr2->text();
    v.sfFlag = m_payment->isChecked() ? -1 : 1;
    v.priceUnit = m_priceUnit->currentText();
    v.dept = m_dept->currentText();
    for (int i = 0; i < 5; ++i)
        v.zf[size_t(i)] = m_zf[i]->text();
    for (int i = 0; i < 3; ++i)
        v.sz[size_t(i)] = m_sz[i]->value();
    for (int i = 0; i < 3; ++i)
        v.rq[size_t(i)] = m_rq[i]->date();
    v.gcCode = m_gcCode;
    v.gcName = m_gcName->text();
    v.shEmp = m_shEmp;
    return v;
}

void TfrmContractEdit::openGoods(int cltID)
{
    QString error;
    if (!m_goods->open(db(), ContractEditStore::goodsSql(), ContractEditStore::goodsParams(cltID),
                       &error))
        ShowMess(QStringLiteral("读取合同货品失败：") + error, mkError);
}

void TfrmContractEdit::setLocked(bool locked)
{
    const QString style = locked ? kLockedStyle : QString();
    for (QLineEdit* e : {m_code, m_name, m_type, m_client1, m_client2, m_fzr1, m_fzr2, m_gcName}) {
        e->setReadOnly(locked);
        e->setStyleSheet(style);
    }
    if (!locked)
        showPickers();
    for (QPlainTextEdit* e : {m_memo1, m_memo2}) {
        e->setReadOnly(locked);
        e->setStyleSheet(style);
    }
    m_totalPrice->setReadOnly(locked);
    m_totalPrice->setStyleSheet(style);
    for (DateBox* d : {m_editDate, m_date}) {
        d->setReadOnly(locked);
        d->setStyleSheet(style);
    }
    for (CheckedDate* d : {m_beginDate, m_endDate}) {
        d->setReadOnly(locked);
        d->setStyleSheet(style);
    }
    for (QComboBox* c : {m_emp, m_priceUnit, m_dept}) {
        if (c == m_emp && m_empFixed)
            continue;
        c->setEnabled(!locked);
        c->setStyleSheet(style);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_typeButton, m_client1Button, m_client2Button, m_gcButton, m_receipt, m_payment})
        w->setEnabled(!locked);
}

void TfrmContractEdit::proposeCode()
{
    m_proposedCode = ContractEditStore::nextContractCode(db());
    m_code->setText(m_proposedCode);
    setCodeSkipped(true);
}

void TfrmContractEdit::setCodeSkipped(bool skipped)
{
    m_code->setFocusPolicy(skipped ? Qt::ClickFocus : Qt::StrongFocus);
}

void TfrmContractEdit::showArchive(bool shown)
{
    m_gdPathLabel->setVisible(shown);
    m_gdPath->setVisible(shown);
    m_gdPathButton->setVisible(shown);
    m_gdOpen->setVisible(shown);
}

void TfrmContractEdit::setNavigator(Navigator navigator)
{
    m_navigator = std::move(navigator);
    m_navigatorBox->setVisible(m_mode == ModeModify && bool(m_navigator));
}

void TfrmContractEdit::markUnchanged()
{
    m_shown = InputState(this, {m_auto, m_continue});
}

bool TfrmContractEdit::isChanged() const
{
    return m_goods->model()->hasPendingChanges() ||
           InputState(this, {m_auto, m_continue}) != m_shown;
}

bool TfrmContractEdit::navigate(int step)
{
    if (m_mode != ModeModify || !m_navigator)
        return false;
    const bool changed = isChanged();
    if (!RecordNavigator::mayLeave(changed, [this] { return store(); }))
        return false;
    const qint64 id = m_navigator(step);
    m_goods->model()->cancelPending();
    // The list did not move: the contract shown is read again all the same,
    // without the changes let go or with those just saved.
    if (id < 0 || id == m_rowId) {
        if (changed)
            loadRow(m_rowId);
        return false;
    }
    return loadRow(id);
}

bool TfrmContractEdit::store()
{
    if (!DatesAreValid(this))
        return false;
    const ContractValues v = collect();
    const QString code = v.code.trimmed();
    const QString name = v.name.trimmed();
    int link = m_link;
    if (m_mode == ModeModify && link < 1)
        link = int(m_rowId);
    if (code.isEmpty()) {
        ShowMess(QStringLiteral("当前合同编号不能为空！"), mkInfo);
        m_code->setFocus();
        return false;
    }
    if (m_auto->isChecked() && !ContractEditStore::hasNumberedTail(code)) {
        ShowMess(QStringLiteral("采用自动编号，合同编号最后四位必须全为数字！"), mkInfo);
        m_code->setFocus();
        return false;
    }
    if (name.isEmpty()) {
        ShowMess(QStringLiteral("当前合同名称不能为空！"), mkInfo);
        m_name->setFocus();
        return false;
    }
    const qint64 self = m_mode == ModeModify ? m_rowId : -1;
    const bool insert = m_mode != ModeModify;
    // A code the window proposed is allocated again when saving; it is
    // checked there.
    const QString autoCode = insert ? m_proposedCode : QString();
    const bool proposed = !autoCode.isEmpty() && code == autoCode.trimmed();
    if (Session.AutoContractCode && !proposed &&
        ContractEditStore::otherWithCode(db(), code, self) >= 0) {
        ShowMess(QStringLiteral("合同编号重复，请重新输入！"), mkInfo);
        m_code->setFocus();
        return false;
    }
    if (ContractEditStore::otherWithName(db(), name, self) >= 0 &&
        ShowMess(QStringLiteral("合同名称“%1”重复，重新输入吗？").arg(name), mkQuestion) == 1) {
        m_name->setFocus();
        return false;
    }

    const ContractEditStore::SaveResult r = ContractEditStore::save(
        db(), insert, v, link, m_goods->model(), autoCode, Session.AutoContractCode);
    if (r.duplicateCode) {
        ShowMess(QStringLiteral("合同编号重复，请重新输入！"), mkInfo);
        m_code->setFocus();
        return false;
    }
    if (!r.ok) {
        ShowFailure(Messages::saveFailed(), r.error);
        return false;
    }
    m_savedId = r.id;
    m_savedLink = r.cltID;
    if (insert) {
        Session.AutoContractCode = m_auto->isChecked();
        dmData()->settings().writeBool(QStringLiteral("sys"), QStringLiteral("bZDHTcode"),
                                       Session.AutoContractCode);
    } else {
        m_link = r.cltID;
        markUnchanged();
    }
    return true;
}

bool TfrmContractEdit::save()
{
    if (!store())
        return false;
    const bool insert = m_mode != ModeModify;
    if (insert && m_continue->isChecked()) {
        const bool autoCode = m_auto->isChecked();
        m_mode = ModeAdd;
        startNew();
        if (autoCode) {
            const QSignalBlocker block(m_auto);
            m_auto->setChecked(true);
            proposeCode();
        }
        setWindowTitle(QStringLiteral("合同档案 - 新增"));
        m_name->setFocus();
        return true;
    }
    accept();
    return true;
}

void TfrmContractEdit::addGoodsLine()
{
    RecordModel* model = m_goods->model();
    const int row = model->appendRecord();
    // Gives the new line a value at once: the record set reads an added line
    // only after some value was set.
    model->setValue(row, QStringLiteral("F_cltID"), m_link);
    m_goods->setCurrentRow(row);
    const int column = model->columnOfField(QStringLiteral("F_GDcode"));
    if (column >= 0)
        m_goods->view()->setCurrentIndex(model->index(row, column));
    m_goods->view()->setFocus();
}

void TfrmContractEdit::deleteGoodsLine()
{
    const int row = m_goods->currentRow();
    if (row >= 0)
        m_goods->model()->removeRows(row, 1);
}

void TfrmContractEdit::pickType()
{
    m_type->setText(
        PickTreeNode(QStringLiteral("type"), QStringLiteral("合同类型"), m_type->text(), this));
}

void TfrmContractEdit::pickGoodsLines()
{
    GoodsLineTarget target;
    target.mode = GoodsLineTarget::ContractGoodsLines;
    target.contractId = m_link;
    target.addLine = [this](const GoodsLineValues& goods) {
        RecordModel* model = m_goods->model();
        const int row = AppendGoodsLine(model, goods);
        model->setValue(row, QStringLiteral("F_cltID"), m_link);
        m_goods->setCurrentRow(row);
    };
    PickerRegistry::addGoodsLines(target, this);
}

void TfrmContractEdit::pickCounterpart(QLineEdit* name, QLineEdit* contact)
{
    const QString picked =
        PickerRegistry::pickOne(PickerRegistry::CounterpartName, name->text(), this);
    if (picked.isEmpty())
        return;
    name->setText(picked);
    contact->setText(ContractEditStore::counterpartContact(db(), picked));
}

void TfrmContractEdit::pickProject()
{
    const QString code = PickerRegistry::pickOne(PickerRegistry::ProjectCode, m_gcCode, this);
    if (code.isEmpty() || code.compare(m_gcCode.trimmed(), Qt::CaseInsensitive) == 0)
        return;
    m_gcCode = code;
    m_gcName->setText(ContractEditStore::projectName(db(), code));
}

void TfrmContractEdit::pickFile()
{
    const QString current = m_filePath->text().trimmed();
    const QString path = UserDialogs::current().openFileName(
        QStringLiteral("请选择文件"),
        current.isEmpty() ? QString() : QFileInfo(current).absolutePath(),
        QStringLiteral("所有文件 (*.*)"));
    if (!path.isEmpty())
        m_filePath->setText(path);
}

void TfrmContractEdit::pickArchiveFolder()
{
    const QString start = m_gdPath->text().trimmed();
    const QString folder =
        UserDialogs::current().existingDirectory(QStringLiteral("选择文件路径"), start).trimmed();
    if (!folder.isEmpty() && folder != start)
        m_gdPath->setText(folder);
}

void TfrmContractEdit::openPath(const QString& path)
{
    OpenFileWithDesktop(path);
}

void TfrmContractEdit::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    applyCaptions();
    ApplyInputMethod(this);
}

void TfrmContractEdit::reject()
{
    m_goods->model()->cancelPending();
    QDialog::reject();
}

bool OpenContractEdit(int mode, qint64 contractRowId, QWidget* parent, qint64* savedRowId,
                      const QString& typePath, TfrmContractEdit::Navigator navigator)
{
    if (!dmData())
        return false;
    TfrmContractEdit form(mode, contractRowId, parent, typePath);
    if (!form.isLoaded())
        return false;
    if (navigator)
        form.setNavigator(std::move(navigator));
    DispFormPos(&form, fpEdit);
    form.exec();
    const bool saved = form.savedRowId() >= 0;
    if (savedRowId)
        *savedRowId =
            saved && mode == TfrmContractEdit::ModeModify ? form.currentRowId() : form.savedRowId();
    return saved;
}
