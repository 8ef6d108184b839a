#include "reference/TfrmGoodEdit.h"

#include "codes/CodeCombos.h"
#include "common/AmountBox.h"
#include "common/DataGrid.h"
#include "common/EnterActsAsTab.h"
#include "common/InputState.h"
#include "common/MaxLength.h"
#include "data/DataServicesUi.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kGoodsTypes = QStringLiteral("gdtype");
const QString kUnits = QStringLiteral("unit");

} // namespace

TfrmGoodEdit::TfrmGoodEdit(const CallerList& caller, QWidget* parent)
    : QDialog(parent), m_caller(caller)
{
    setObjectName(QStringLiteral("TfrmGoodEdit"));
    setWindowTitle(QStringLiteral("货品资料 - 编辑"));

    m_fields = new QWidget(this);
    auto* form = new QGridLayout(m_fields);
    form->setContentsMargins(0, 0, 0, 0);
    auto addRow = [&](int row, const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, m_fields);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(field);
        form->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignTop);
        form->addWidget(field, row, 1);
    };

    m_type = new QComboBox(m_fields);
    m_type->setObjectName(QStringLiteral("cbbType"));
    m_type->setEditable(true);
    m_type->setInsertPolicy(QComboBox::NoInsert);
    LimitToColumn(m_type->lineEdit(), QStringLiteral("t_goods"), QStringLiteral("F_type"));
    m_code = new QLineEdit(m_fields);
    m_code->setObjectName(QStringLiteral("edtCode"));
    m_code->setReadOnly(true);
    m_code->setFocusPolicy(Qt::NoFocus);
    m_name = new QLineEdit(m_fields);
    m_name->setObjectName(QStringLiteral("edtName"));
    LimitToColumn(m_name, QStringLiteral("t_goods"), QStringLiteral("F_name"));
    m_spec = new QLineEdit(m_fields);
    m_spec->setObjectName(QStringLiteral("edtSpec"));
    LimitToColumn(m_spec, QStringLiteral("t_goods"), QStringLiteral("F_spec"));
    m_unit = new QComboBox(m_fields);
    m_unit->setObjectName(QStringLiteral("cbbUnit"));
    m_unit->setEditable(true);
    m_unit->setInsertPolicy(QComboBox::NoInsert);
    LimitToColumn(m_unit->lineEdit(), QStringLiteral("t_goods"), QStringLiteral("F_unit"));
    m_price = new AmountBox(m_fields);
    m_price->setObjectName(QStringLiteral("edtPrice"));
    m_price->setDisplayFormat(QStringLiteral(",0.00##"));
    m_memo = new QPlainTextEdit(m_fields);
    m_memo->setObjectName(QStringLiteral("memMemo"));
    m_memo->setMinimumHeight(70);
    m_flag = new QCheckBox(QStringLiteral("停止使用"), m_fields);
    m_flag->setObjectName(QStringLiteral("chkFlag"));

    addRow(0, QStringLiteral("类    型："), m_type);
    addRow(1, QStringLiteral("编    号："), m_code);
    addRow(2, QStringLiteral("名    称："), m_name);
    addRow(3, QStringLiteral("规    格："), m_spec);
    addRow(4, QStringLiteral("单    位："), m_unit);
    addRow(5, QStringLiteral("单    价："), m_price);
    addRow(6, QStringLiteral("备注信息："), m_memo);
    form->addWidget(m_flag, 7, 1);
    form->setColumnStretch(1, 1);

    m_continue = new QCheckBox(QStringLiteral("连续新增"), this);
    m_continue->setObjectName(QStringLiteral("chkContinue"));
    m_continue->setFocusPolicy(Qt::NoFocus);
    m_navigator = new RecordNavigator(this);
    connect(m_navigator, &RecordNavigator::moveRequested, this, &TfrmGoodEdit::moveTo);
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_continue);
    buttons->addWidget(m_navigator);
    buttons->addStretch();
    for (QPushButton* b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(m_ok, &QPushButton::clicked, this, [this] { save(); });
    // "取消" leaves without asking; Esc asks (reject).
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    new EnterActsAsTab(this, m_ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fields, 1);
    layout->addLayout(buttons);
    resize(420, 360);
    fillLists();
}

QString TfrmGoodEdit::leaveQuestion(const QString& caption)
{
    return QStringLiteral("真的要退 \"") + caption + QStringLiteral("\" 操作界面吗？");
}

void TfrmGoodEdit::reject()
{
    if (ShowMess(leaveQuestion(windowTitle()), mkQuestion) == 1)
        done(QDialog::Rejected);
}

void TfrmGoodEdit::fillLists()
{
    FillComboBox(CodePickList(kGoodsTypes), m_type);
    FillComboBox(CodePickList(kUnits), m_unit);
}

int TfrmGoodEdit::Open(Mode mode)
{
    prepare(mode);
    DispFormPos(this, fpEdit);
    return exec();
}

void TfrmGoodEdit::prepare(Mode mode)
{
    m_mode = mode;
    static const char* const kCaptions[] = {"新增", "修改", "复制新增"};
    setWindowTitle(QStringLiteral("货品资料 - ") +
                   QString::fromUtf8(kCaptions[qBound(1, int(mode), 3) - 1]));
    m_continue->setVisible(mode == AddMode);
    m_navigator->setVisible(mode == ModifyMode);
    if (mode == ModifyMode)
        loadFields();
    else
        clearFields(mode == AddMode);
}

void TfrmGoodEdit::clearFields(bool keepType)
{
    // Consecutive entries keep the type of the list's current goods.
    QString type;
    if (keepType && m_caller.grid && m_caller.grid->model()->rowCount() > 0)
        type = m_caller.grid->currentValue(QStringLiteral("F_type")).toString();
    m_type->setCurrentText(type);
    m_name->clear();
    m_spec->clear();
    m_unit->setCurrentText(QString());
    m_price->setValue(0);
    m_memo->clear();
    m_flag->setChecked(false);
    proposeCode();
    markUnchanged();
}

void TfrmGoodEdit::proposeCode()
{
    const AllocatedCode code = GoodsStore::proposeCode(dmData()->db());
    m_code->setText(code.code);
    if (!code) {
        qWarning().noquote() << "goods code:" << code.error;
        ShowFailure(Messages::operationFailed(), code.error);
    }
}

void TfrmGoodEdit::loadFields()
{
    DataGrid* grid = m_caller.grid;
    auto text = [grid](const char* field) {
        return grid ? grid->currentValue(QLatin1String(field)).toString() : QString();
    };
    m_code->setText(text("F_code"));
    m_name->setText(text("F_name"));
    m_type->setCurrentText(text("F_type"));
    m_spec->setText(text("F_spec"));
    m_price->setValue(grid ? grid->currentValue(QStringLiteral("F_price")).toDouble() : 0);
    m_memo->setPlainText(text("F_memo1"));
    m_unit->setCurrentText(text("F_unit"));
    m_flag->setChecked(grid && grid->currentValue(QStringLiteral("F_Flag")).toBool());
    markUnchanged();
}

void TfrmGoodEdit::markUnchanged()
{
    m_shown = InputState(m_fields);
}

bool TfrmGoodEdit::isChanged() const
{
    return InputState(m_fields) != m_shown;
}

bool TfrmGoodEdit::check()
{
    // Add and copy-add take their code when saving; only a modify can lack one.
    if (m_mode == ModifyMode && m_code->text().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("编号不能为空！"), mkInfo);
        m_code->setFocus();
        return false;
    }
    if (m_name->text().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("名称不能为空！"), mkInfo);
        m_name->setFocus();
        return false;
    }
    if (!(m_price->value() > 0)) {
        ShowMess(QStringLiteral("预售单价必须大于0！"), mkInfo);
        m_price->setFocus();
        return false;
    }
    return true;
}

void TfrmGoodEdit::placeList(const QString& code)
{
    DataGrid* grid = m_caller.grid;
    if (!grid)
        return;
    int row = grid->model()->findRow(QStringLiteral("F_code"), code);
    // The picker's list stands on its last row (the greatest code).
    if (row < 0 && m_mode == CopyAddMode)
        row = grid->model()->rowCount() - 1;
    if (row >= 0)
        grid->setCurrentRow(row);
}

GoodsRecord TfrmGoodEdit::collect() const
{
    GoodsRecord goods;
    if (m_mode == ModifyMode && m_caller.grid)
        goods.id = m_caller.grid->currentValue(QStringLiteral("F_ID")).toLongLong();
    goods.code = m_code->text();
    goods.name = m_name->text();
    goods.type = m_type->currentText();
    goods.spec = m_spec->text();
    goods.unit = m_unit->currentText();
    goods.price = m_price->value();
    goods.memo = m_memo->toPlainText();
    goods.stopped = m_flag->isChecked();
    return goods;
}

bool TfrmGoodEdit::store()
{
    FinishTyping(this);
    if (!check())
        return false;
    if (m_mode == ModifyMode && (!m_caller.grid || m_caller.grid->currentRow() < 0)) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), mkError);
        return false;
    }
    GoodsRecord goods = collect();
    QString error;
    if (!GoodsStore::save(dmData()->db(), GoodsStore::SaveMode(m_mode), &goods, &error)) {
        qWarning().noquote() << Messages::saveFailed() << error;
        ShowFailure(Messages::saveFailed(), error);
        return false;
    }
    m_saved = goods;
    // The window shows the code that was written.
    m_code->setText(goods.code);
    markUnchanged();
    if (m_caller.reopen && m_caller.reopen())
        placeList(goods.code);
    return true;
}

bool TfrmGoodEdit::save()
{
    if (!store())
        return false;
    if (m_mode == AddMode && m_continue->isChecked()) {
        clearFields(true);
        m_name->setFocus();
        return true;
    }
    done(QDialog::Accepted);
    return true;
}

void TfrmGoodEdit::moveTo(RecordNavigator::Move move)
{
    DataGrid* grid = m_caller.grid;
    if (!grid ||
        RecordNavigator::targetRow(move, grid->currentRow(), grid->model()->rowCount()) < 0)
        return;
    if (!RecordNavigator::mayLeave(isChanged(), [this] { return store(); }))
        return;
    // A save re-reads the list: the move starts from the saved row.
    const int row = RecordNavigator::targetRow(move, grid->currentRow(), grid->model()->rowCount());
    if (row >= 0)
        grid->setCurrentRow(row);
    loadFields();
}
