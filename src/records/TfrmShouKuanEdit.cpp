#include "records/TfrmShouKuanEdit.h"

#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "contracts/ContractQuery.h"
#include "contracts/TDlgContractXz.h"
#include "data/TdmData.h"
#include "data/Session.h"
#include "platform/Clock.h"
#include "platform/UserDialogs.h"
#include "records/ReceiptStore.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {

const QString kTable = QStringLiteral("t_SKrec");
const QString kListMoneyFormat = QStringLiteral(",0.00##;-,0.00##");

QDate dateOr(const QVariant& stored, const QDate& fallback)
{
    const QDate d = StoredDate::parse(stored);
    return d.isValid() ? d : fallback;
}

// An optional date as read back: ticked when given, otherwise unticked
// holding today.
void showOptionalDate(CheckedDate* box, const QVariant& stored)
{
    if (StoredDate::isGiven(stored)) {
        box->setDate(StoredDate::parse(stored));
    } else {
        box->setShownDate(Clock::today());
        box->setChecked(false);
    }
}

} // namespace

// ---- Main-window variant

TfrmShouKuanEdit::TfrmShouKuanEdit(DataGrid* receipts, const QVariantMap& contract, QWidget* parent,
                                   std::function<bool(QString*)> reopen)
    : TfrmShouKuanEdit(Variant::MainWindow, CallerList{receipts, std::move(reopen)}, parent)
{
    m_contract = contract;
    if (!caller().reopen && receipts) {
        const int cltID = FieldValue(contract, QStringLiteral("F_cltID")).toInt();
        // Same statement as the receipts page reads.
        setReopen([receipts, cltID](QString* error) {
            return receipts->open(dmData()->db(), ReceiptStore::contractListSql(),
                                  ReceiptStore::contractListParams(cltID), error);
        });
    }
}

TfrmShouKuanEdit::TfrmShouKuanEdit(Variant variant, const CallerList& caller, QWidget* parent)
    : SubRecordEdit(variant == Variant::MainWindow ? QStringLiteral("TfrmShouKuanEdit")
                                                   : QStringLiteral("TfrmShouKuanEdit1"),
                    variant == Variant::MainWindow ? QStringLiteral("合同收(付)款记录")
                                                   : QStringLiteral("合同收付款项"),
                    caller, variant == Variant::MainWindow, parent),
      m_variant(variant)
{
    m_headerRows = variant == Variant::ListScreen ? 7 : 0;
    buildFields(m_headerRows);
}

void TfrmShouKuanEdit::buildFields(int row)
{
    const QString money = m_variant == Variant::MainWindow ? Session.MoneyFormat : kListMoneyFormat;
    auto amount = [&](const char* name) {
        auto* box = new AmountBox(this);
        box->setObjectName(QLatin1String(name));
        box->setDisplayFormat(money);
        return box;
    };
    auto optionalDate = [&](const char* name) {
        auto* box = new CheckedDate(this);
        box->setObjectName(QLatin1String(name));
        return box;
    };

    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("dtpDate"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    addField(QStringLiteral("日    期："), m_date, row, 0);
    m_oldCode = new QLineEdit(this);
    m_oldCode->setObjectName(QStringLiteral("edtOldCode"));
    limitText(m_oldCode, kTable, QStringLiteral("F_OldCode"));
    addField(QStringLiteral("原始单号："), m_oldCode, row++, 1);

    m_ysPrice = addField(QStringLiteral("应收(付)金额："), amount("edtYSprice"), row, 0);
    m_ysDate = addField(QStringLiteral("应收(付)日期："), optionalDate("dtpYSdate"), row++, 1);
    m_skPrice = addField(QStringLiteral("实收(付)金额："), amount("edtSKprice"), row, 0);
    m_skDate = addField(QStringLiteral("实收(付)日期："), optionalDate("dtpSKdate"), row++, 1);
    m_kpPrice = addField(QStringLiteral("开票金额："), amount("edtKPprice"), row, 0);
    m_operName = new QLineEdit(this);
    m_operName->setObjectName(QStringLiteral("edtOperName"));
    m_operName->setReadOnly(true);
    limitText(m_operName, kTable, QStringLiteral("F_operName"));
    addField(m_variant == Variant::MainWindow ? QStringLiteral("登记人员：")
                                              : QStringLiteral("录入人员："),
             m_operName, row++, 1);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("memMemo1"));
    m_memo->setTabChangesFocus(true);
    addFieldWidget(QStringLiteral("备    注："), m_memo, row, 0, 2);
    form()->setRowStretch(row, 1);
    setTabOrder(m_date, m_oldCode);
    setTabOrder(m_oldCode, m_ysPrice);
    setTabOrder(m_ysPrice, m_ysDate);
    setTabOrder(m_ysDate, m_skPrice);
    setTabOrder(m_skPrice, m_skDate);
    setTabOrder(m_skDate, m_kpPrice);
    setTabOrder(m_kpPrice, m_operName);
    setTabOrder(m_operName, m_memo);
    resize(m_variant == Variant::MainWindow ? 760 : 680,
           m_variant == Variant::MainWindow ? 340 : 480);
}

void TfrmShouKuanEdit::beforeFill()
{
    if (m_variant == Variant::MainWindow)
        setSummaryText(ContractSummaryText(m_contract));
}

void TfrmShouKuanEdit::clearFields()
{
    const QDate today = Clock::today();
    m_date->setDate(today);
    m_oldCode->clear();
    for (AmountBox* b : {m_ysPrice, m_skPrice, m_kpPrice})
        b->setValue(0);
    for (CheckedDate* d : {m_ysDate, m_skDate}) {
        d->setShownDate(today);
        d->setChecked(false);
    }
    m_memo->clear();
    m_operName->setText(Session.OperName);
}

void TfrmShouKuanEdit::loadFields()
{
    m_date->setDate(dateOr(currentValue(QStringLiteral("F_date")), Clock::today()));
    m_oldCode->setText(currentValue(QStringLiteral("F_OldCode")).toString());
    m_ysPrice->setValue(currentValue(QStringLiteral("F_YSprice")).toDouble());
    showOptionalDate(m_ysDate, currentValue(QStringLiteral("F_YSdate")));
    m_skPrice->setValue(currentValue(QStringLiteral("F_SKprice")).toDouble());
    showOptionalDate(m_skDate, currentValue(QStringLiteral("F_SKdate")));
    m_kpPrice->setValue(currentValue(QStringLiteral("F_KPprice")).toDouble());
    m_memo->setPlainText(currentValue(QStringLiteral("F_memo1")).toString());
    // The operator who entered the row stays its operator.
    m_operName->setText(currentValue(QStringLiteral("F_operName")).toString());
}

int TfrmShouKuanEdit::contractId() const
{
    return FieldValue(m_contract, QStringLiteral("F_cltID")).toInt();
}

bool TfrmShouKuanEdit::writeRecord(Database& db, qint64 id, qint64* savedId, QString* error)
{
    Receipt r;
    r.id = id;
    r.cltID = contractId();
    r.date = m_date->date();
    r.oldCode = m_oldCode->text();
    r.ysPrice = m_ysPrice->value();
    r.ysDateGiven = m_ysDate->isChecked();
    r.ysDate = m_ysDate->date();
    r.skPrice = m_skPrice->value();
    r.skDateGiven = m_skDate->isChecked();
    r.skDate = m_skDate->date();
    r.kpPrice = m_kpPrice->value();
    r.memo1 = m_memo->toPlainText();
    r.operName = m_operName->text();
    if (mode() == AddMode) {
        if (!ReceiptStore::insert(db, &r, error))
            return false;
        *savedId = r.id;
        return true;
    }
    *savedId = id;
    return ReceiptStore::update(db, r, m_variant == Variant::ListScreen, error);
}

QWidget* TfrmShouKuanEdit::firstField() const
{
    return m_date;
}

int OpenReceiptEdit(SubRecordEdit::Mode mode, DataGrid* receipts, const QVariantMap& contract,
                    QWidget* parent)
{
    TfrmShouKuanEdit window(receipts, contract, parent);
    return window.Open(mode);
}

// ---- List-screen variant

TfrmShouKuanEdit1::TfrmShouKuanEdit1(const CallerList& list, QWidget* parent)
    : TfrmShouKuanEdit(Variant::ListScreen, list, parent)
{
    auto text = [&](const char* name, const QString& column = QString()) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setReadOnly(true);
        if (!column.isEmpty())
            limitText(edit, QStringLiteral("Contract"), column);
        return edit;
    };
    m_code = text("edtHTcode", QStringLiteral("F_code"));
    auto* pick = new QToolButton(this);
    pick->setObjectName(QStringLiteral("btnSelectContract"));
    pick->setText(QStringLiteral("..."));
    pick->setFocusPolicy(Qt::NoFocus);
    connect(pick, &QToolButton::clicked, this, &TfrmShouKuanEdit1::pickContract);
    auto* codeBox = new QWidget(this);
    auto* codeLayout = new QHBoxLayout(codeBox);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    codeLayout->setSpacing(2);
    codeLayout->addWidget(m_code, 1);
    codeLayout->addWidget(pick);
    addFieldWidget(QStringLiteral("合同编号："), codeBox, 0, 0);
    m_name = addField(QStringLiteral("合同名称："), text("edtHTname"), 0, 1);
    m_type = addField(QStringLiteral("合同类型："), text("edtHTtype"), 1, 0);
    m_signDate = addField(QStringLiteral("签订日期："), text("edtHTdate"), 1, 1);
    m_gcName = addField(QStringLiteral("工程项目："), text("edtGCname"), 2, 0);
    m_total = new AmountBox(this);
    m_total->setObjectName(QStringLiteral("edtTotalPrice"));
    m_total->setReadOnly(true);
    m_total->setDisplayFormat(kListMoneyFormat);
    addField(QStringLiteral("合同金额："), m_total, 2, 1);
    m_priceUnit = addField(QStringLiteral("币    种："), text("edtPriceUnit"), 3, 0);
    m_status = addField(QStringLiteral("合同状态："), text("edtStatus"), 3, 1);
    m_begin = addField(QStringLiteral("开始日期："), text("edtBeginDate"), 4, 0);
    m_end = addField(QStringLiteral("截止日期："), text("edtEndDate"), 4, 1);
    m_dept = addField(QStringLiteral("所属部门："), text("edtDept"), 5, 0);
    m_emp = addField(QStringLiteral("业 务 员："), text("edtEmpName"), 5, 1);
    form()->setRowMinimumHeight(6, 8);
    setTabOrder(m_code, dateEdit());
}

QLineEdit* TfrmShouKuanEdit1::headerEdit(const QString& objectName) const
{
    return findChild<QLineEdit*>(objectName);
}

void TfrmShouKuanEdit1::setHeader(const ContractHeader& h)
{
    m_cltID = h.cltID;
    m_code->setText(h.code);
    m_name->setText(h.name);
    m_type->setText(h.type);
    m_signDate->setText(h.signDate);
    m_gcName->setText(h.gcName);
    m_total->setValue(h.totalPrice);
    m_priceUnit->setText(h.priceUnit);
    m_begin->setText(h.beginDate);
    m_end->setText(h.endDate);
    m_dept->setText(h.dept);
    m_status->setText(h.status);
    m_emp->setText(h.empName);
}

ContractHeader TfrmShouKuanEdit1::header() const
{
    ContractHeader h;
    h.cltID = m_cltID;
    h.code = m_code->text();
    h.name = m_name->text();
    h.type = m_type->text();
    h.signDate = m_signDate->text();
    h.gcName = m_gcName->text();
    h.totalPrice = m_total->value();
    h.priceUnit = m_priceUnit->text();
    h.beginDate = m_begin->text();
    h.endDate = m_end->text();
    h.dept = m_dept->text();
    h.status = m_status->text();
    h.empName = m_emp->text();
    return h;
}

void TfrmShouKuanEdit1::pickContract()
{
    ContractHeader h = header();
    SelectContract(m_cltID, kSelectForReceipts, &h, this);
    setHeader(h);
}

void TfrmShouKuanEdit1::clearFields()
{
    TfrmShouKuanEdit::clearFields();
    setHeader(ContractHeader{});
}

void TfrmShouKuanEdit1::loadFields()
{
    TfrmShouKuanEdit::loadFields();
    ContractHeader h;
    h.cltID = currentValue(QStringLiteral("F_cltID")).toInt();
    h.code = currentValue(QStringLiteral("F_code")).toString();
    h.name = currentValue(QStringLiteral("F_name")).toString();
    h.type = currentValue(QStringLiteral("F_type")).toString();
    h.signDate = StoredDate::text(currentValue(QStringLiteral("c_date")));
    h.gcName = currentValue(QStringLiteral("F_GCname")).toString();
    h.totalPrice = currentValue(QStringLiteral("F_totalprice")).toDouble();
    h.priceUnit = currentValue(QStringLiteral("F_priceUnit")).toString();
    h.beginDate = StoredDate::text(currentValue(QStringLiteral("F_beginDate")));
    h.endDate = StoredDate::text(currentValue(QStringLiteral("F_endDate")));
    h.dept = currentValue(QStringLiteral("F_dept")).toString();
    h.status = currentValue(QStringLiteral("F_status")).toString();
    h.empName = currentValue(QStringLiteral("F_empName")).toString();
    setHeader(h);
}

bool TfrmShouKuanEdit1::checkFields()
{
    if (m_name->text().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("合同名称不能为空！"), mkInfo);
        m_name->setFocus();
        return false;
    }
    return true;
}
