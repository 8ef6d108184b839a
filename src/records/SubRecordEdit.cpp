#include "records/SubRecordEdit.h"

#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/EnterActsAsTab.h"
#include "common/InputState.h"
#include "common/MaxLength.h"
#include "data/DataServicesUi.h"
#include "data/TdmData.h"
#include "data/TransactionGuard.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "records/ContractSummary.h"

#include <QCheckBox>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

// ---- SubRecordEdit

SubRecordEdit::SubRecordEdit(const QString& className, const QString& title,
                             const CallerList& caller, bool continuousByDefault, QWidget* parent)
    : QDialog(parent), m_title(title), m_caller(caller)
{
    setObjectName(className);
    setWindowTitle(title);

    m_summary = new QPlainTextEdit(this);
    m_summary->setObjectName(QStringLiteral("memSummary"));
    m_summary->setReadOnly(true);
    m_summary->setFocusPolicy(Qt::NoFocus);
    m_summary->setMinimumWidth(200);
    m_summary->setMaximumWidth(260);
    m_summary->hide();

    m_fields = new QWidget(this);
    m_form = new QGridLayout(m_fields);
    m_form->setContentsMargins(0, 0, 0, 0);

    m_continue = new QCheckBox(QStringLiteral("连续新增"), this);
    m_continue->setObjectName(QStringLiteral("chkContinue"));
    m_continue->setChecked(continuousByDefault);
    m_continue->setFocusPolicy(Qt::NoFocus);

    m_navigator = new RecordNavigator(this);
    connect(m_navigator, &RecordNavigator::moveRequested, this, &SubRecordEdit::moveTo);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_continue);
    buttons->addWidget(m_navigator);
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(m_ok, &QPushButton::clicked, this, [this] { save(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    new EnterActsAsTab(this, m_ok, m_cancel);

    auto* body = new QHBoxLayout;
    body->addWidget(m_summary);
    body->addWidget(m_fields, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
}

void SubRecordEdit::addFieldWidget(const QString& caption, QWidget* field, int row, int column,
                                   int columnSpan)
{
    auto* label = new QLabel(caption, this);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(field);
    m_form->addWidget(label, row, column * 2);
    m_form->addWidget(field, row, column * 2 + 1, 1, columnSpan * 2 - 1);
}

void SubRecordEdit::limitText(QLineEdit* edit, const QString& table, const QString& column)
{
    LimitToColumn(edit, table, column);
}

void SubRecordEdit::setContract(const QVariantMap& contract)
{
    m_contract = contract;
    m_hasContract = true;
}

int SubRecordEdit::addContractHeader(int selectMode, const ContractHeaderColumns& columns)
{
    m_header = new ContractHeaderBlock(
        this,
        [this](const QString& caption, QWidget* field, int row, int column) {
            addFieldWidget(caption, field, row, column);
        },
        0, selectMode, columns);
    const int gap = ContractHeaderBlock::rowCount();
    m_form->setRowMinimumHeight(gap, 8);
    return gap + 1;
}

int SubRecordEdit::contractLink() const
{
    if (m_header)
        return m_header->selectedContract();
    if (m_hasContract) {
        const QVariant v = FieldValue(m_contract, QStringLiteral("F_cltID"));
        return v.isValid() ? v.toInt() : -1;
    }
    return -1;
}

QVariant SubRecordEdit::currentValue(const QString& field) const
{
    return m_caller.grid ? m_caller.grid->currentValue(field) : QVariant();
}

int SubRecordEdit::Open(Mode mode)
{
    prepare(mode);
    DispFormPos(this, fpEdit);
    return exec();
}

void SubRecordEdit::prepare(Mode mode)
{
    setMode(mode);
    fill(mode == ModifyMode);
}

void SubRecordEdit::fill(bool load)
{
    beforeFill();
    if (m_hasContract) {
        m_summary->setPlainText(ContractSummaryText(m_contract));
        m_summary->show();
    }
    if (load) {
        loadFields();
        if (m_header)
            m_header->load([this](const QString& field) { return currentValue(field); });
    } else {
        clearFields();
        if (m_header)
            m_header->clear();
    }
    markUnchanged();
}

void SubRecordEdit::setOpenedFromPicker(bool fromPicker)
{
    m_fromPicker = fromPicker;
    if (fromPicker)
        m_continue->setChecked(false);
    setMode(m_mode);
}

void SubRecordEdit::setMode(Mode mode)
{
    m_mode = mode;
    m_continue->setVisible(mode == AddMode && !m_fromPicker);
    m_navigator->setVisible(mode == ModifyMode && !m_fromPicker);
    setWindowTitle(m_title +
                   (mode == AddMode ? QStringLiteral(" - 新增") : QStringLiteral(" - 修改")));
}

void SubRecordEdit::markUnchanged()
{
    m_shown = InputState(m_fields);
}

bool SubRecordEdit::isChanged() const
{
    return InputState(m_fields) != m_shown || hasPendingRows();
}

void SubRecordEdit::moveTo(RecordNavigator::Move move)
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
    fill(true);
}

QString SubRecordEdit::saveFailedText()
{
    return Messages::saveFailed();
}

bool SubRecordEdit::reopenList(QString* error)
{
    if (m_caller.reopen)
        return m_caller.reopen(error);
    return true;
}

void SubRecordEdit::placeList(qint64 savedId)
{
    DataGrid* grid = m_caller.grid;
    if (!grid)
        return;
    int row = grid->model()->findRow(keyField(), savedId);
    if (row < 0 && m_mode == AddMode)
        row = grid->model()->rowCount() - 1;
    if (row >= 0)
        grid->setCurrentRow(row);
}

bool SubRecordEdit::store()
{
    if (!DatesAreValid(m_fields))
        return false;
    if (m_header && !m_header->check())
        return false;
    if (!checkFields())
        return false;
    const qint64 id = m_mode == ModifyMode ? currentValue(keyField()).toLongLong() : 0;
    Database& db = dmData()->db();
    QString error;
    qint64 savedId = id;
    bool ok = false;
    {
        TransactionGuard guard(db);
        // The list is re-read inside the transaction, so that a failure to
        // read it rolls the save back as well.
        ok = guard.isActive() && writeRecord(db, id, &savedId, &error) && reopenList(&error) &&
             guard.commit();
        if (!ok && error.isEmpty())
            error = guard.error();
    }
    if (!ok) {
        // The list may still show the row that was rolled back.
        reopenList(nullptr);
        if (m_mode == ModifyMode)
            placeList(id);
        qWarning().noquote() << saveFailedText() << error;
        ShowMess(saveFailedText(), mkError);
        return false;
    }
    afterCommit();
    placeList(savedId);
    markUnchanged();
    return true;
}

bool SubRecordEdit::save()
{
    if (!store())
        return false;
    const bool stay = m_mode == AddMode && m_continue->isChecked() && !m_fromPicker;
    setMode(AddMode);
    if (stay) {
        fill(false);
        if (QWidget* w = firstField())
            w->setFocus();
    } else {
        accept();
    }
    return true;
}

void SubRecordEdit::showEvent(QShowEvent* event)
{
    ApplyInputMethod(this);
    QDialog::showEvent(event);
}
