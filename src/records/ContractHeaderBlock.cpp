#include "records/ContractHeaderBlock.h"

#include "common/AmountBox.h"
#include "common/MaxLength.h"
#include "contracts/TDlgContractXz.h"
#include "platform/UserDialogs.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

ContractHeaderBlock::ContractHeaderBlock(QWidget* owner, const Place& place, int firstRow,
                                         int selectMode, const Columns& columns)
    : QObject(owner), m_owner(owner), m_selectMode(selectMode), m_columns(columns)
{
    auto text = [owner](const char* name, const QString& column = QString()) {
        auto* edit = new QLineEdit(owner);
        edit->setObjectName(QLatin1String(name));
        edit->setReadOnly(true);
        if (!column.isEmpty())
            LimitToColumn(edit, QStringLiteral("Contract"), column);
        return edit;
    };
    m_code = text("edtHTcode", QStringLiteral("F_code"));
    auto* button = new QToolButton(owner);
    button->setObjectName(QStringLiteral("btnSelectContract"));
    button->setText(QStringLiteral("..."));
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, &ContractHeaderBlock::pick);
    auto* codeBox = new QWidget(owner);
    auto* codeLayout = new QHBoxLayout(codeBox);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    codeLayout->setSpacing(2);
    codeLayout->addWidget(m_code, 1);
    codeLayout->addWidget(button);

    m_name = text("edtHTname");
    m_type = text("edtHTtype");
    m_signDate = text("edtHTdate");
    m_gcName = text("edtGCname");
    m_total = new AmountBox(owner);
    m_total->setObjectName(QStringLiteral("edtTotalPrice"));
    m_total->setReadOnly(true);
    m_total->setDisplayFormat(listMoneyFormat());
    m_priceUnit = text("edtPriceUnit");
    m_status = text("edtStatus");
    m_begin = text("edtBeginDate");
    m_end = text("edtEndDate");
    m_dept = text("edtDept");
    m_emp = text("edtEmpName");

    int row = firstRow;
    place(QStringLiteral("合同编号："), codeBox, row, 0);
    place(QStringLiteral("合同名称："), m_name, row++, 1);
    place(QStringLiteral("合同类型："), m_type, row, 0);
    place(QStringLiteral("签订日期："), m_signDate, row++, 1);
    place(QStringLiteral("工程项目："), m_gcName, row, 0);
    place(QStringLiteral("合同金额："), m_total, row++, 1);
    place(QStringLiteral("币    种："), m_priceUnit, row, 0);
    place(QStringLiteral("合同状态："), m_status, row++, 1);
    place(QStringLiteral("开始日期："), m_begin, row, 0);
    place(QStringLiteral("截止日期："), m_end, row++, 1);
    place(QStringLiteral("所属部门："), m_dept, row, 0);
    place(QStringLiteral("业 务 员："), m_emp, row, 1);
}

QString ContractHeaderBlock::listMoneyFormat()
{
    return QStringLiteral(",0.00##;-,0.00##");
}

QLineEdit* ContractHeaderBlock::edit(const QString& objectName) const
{
    for (QLineEdit* e : {m_code, m_name, m_type, m_signDate, m_gcName, m_priceUnit, m_begin, m_end,
                         m_dept, m_status, m_emp}) {
        if (e->objectName() == objectName)
            return e;
    }
    return nullptr;
}

void ContractHeaderBlock::setHeader(const ContractHeader& h)
{
    m_header = h;
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

void ContractHeaderBlock::load(const std::function<QVariant(const QString& field)>& value)
{
    const Columns& c = m_columns;
    ContractHeader h;
    h.cltID = value(c.cltID).toInt();
    h.code = value(c.code).toString();
    h.name = value(c.name).toString();
    h.type = value(c.type).toString();
    h.signDate = StoredDate::text(value(c.signDate));
    h.gcName = value(c.gcName).toString();
    h.totalPrice = value(c.totalPrice).toDouble();
    h.priceUnit = value(c.priceUnit).toString();
    h.beginDate = StoredDate::text(value(c.beginDate));
    h.endDate = StoredDate::text(value(c.endDate));
    h.dept = value(c.dept).toString();
    h.status = value(c.status).toString();
    h.empName = value(c.empName).toString();
    setHeader(h);
}

void ContractHeaderBlock::pick()
{
    ContractHeader h = m_header;
    SelectContract(m_header.cltID, m_selectMode, &h, m_owner);
    setHeader(h);
}

bool ContractHeaderBlock::check()
{
    if (!m_name->text().trimmed().isEmpty())
        return true;
    ShowMess(QStringLiteral("合同名称不能为空！"), mkInfo);
    m_name->setFocus();
    return false;
}
