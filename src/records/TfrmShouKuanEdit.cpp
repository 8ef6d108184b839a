#include "records/TfrmShouKuanEdit.h"

#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "contracts/ContractQuery.h"
#include "contracts/TDlgContractXz.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/Clock.h"
#include "records/ContractSummary.h"
#include "records/ReceiptStore.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const QString kTable = QStringLiteral("t_SKrec");

QDate dateOr(const QVariant& stored, const QDate& fallback)
{
    const QDate d = StoredDate::parse(stored);
    return d.isValid() ? d : fallback;
}

} // namespace

// ---- Main-window variant

TfrmShouKuanEdit::TfrmShouKuanEdit(DataGrid* receipts, const QVariantMap& contract, QWidget* parent,
                                   std::function<bool(QString*)> reopen)
    : TfrmShouKuanEdit(Variant::MainWindow, CallerList{receipts, std::move(reopen)}, parent)
{
    setContract(contract);
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
    buildFields(variant == Variant::ListScreen ? addContractHeader(kSelectForReceipts) : 0);
}

void TfrmShouKuanEdit::buildFields(int row)
{
    const QString money = m_variant == Variant::MainWindow ? Session.MoneyFormat
                                                           : ContractHeaderBlock::listMoneyFormat();
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

    m_date = new DateBox(this);
    m_date->setObjectName(QStringLiteral("dtpDate"));
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
    m_ysDate->setStoredDate(currentValue(QStringLiteral("F_YSdate")));
    m_skPrice->setValue(currentValue(QStringLiteral("F_SKprice")).toDouble());
    m_skDate->setStoredDate(currentValue(QStringLiteral("F_SKdate")));
    m_kpPrice->setValue(currentValue(QStringLiteral("F_KPprice")).toDouble());
    m_memo->setPlainText(currentValue(QStringLiteral("F_memo1")).toString());
    // The operator who entered the row stays its operator.
    m_operName->setText(currentValue(QStringLiteral("F_operName")).toString());
}

bool TfrmShouKuanEdit::writeRecord(Database& db, qint64 id, qint64* savedId, QString* error)
{
    Receipt r;
    r.id = id;
    r.cltID = contractLink();
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
    setTabOrder(contractHeader()->codeEdit(), dateEdit());
}
