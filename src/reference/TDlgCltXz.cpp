#include "reference/TDlgCltXz.h"

#include "common/DataGrid.h"
#include "data/TdmData.h"
#include "reference/ClientStore.h"
#include "reference/TfrmCltEdit.h"

#include <QLineEdit>
#include <QTreeWidget>

namespace {

TypeTreePicker::Kind counterpartKind()
{
    TypeTreePicker::Kind k;
    k.className = QStringLiteral("TDlgCltXz");
    k.caption = QStringLiteral("往来单位选择");
    k.addCaption = QStringLiteral("新增单位");
    k.treeFlag = QStringLiteral("clttype");
    k.treeCaption = QStringLiteral("客户类型");
    k.resultField = QStringLiteral("F_Name");
    k.width = 860;
    return k;
}

} // namespace

TDlgCltXz::TDlgCltXz(QWidget* parent) : TypeTreePicker(counterpartKind(), parent)
{
    m_code = addSearchField("edtCode", QStringLiteral("单位编码："));
    m_name = addSearchField("edtName", QStringLiteral("单位名称："));
    m_address = addSearchField("edtAddress", QStringLiteral("地    址："));

    GridColumn code = textColumn(QStringLiteral("F_Code"), QStringLiteral("编号"), 90);
    code.footerType = GridColumn::FooterText;
    code.footerValue = QStringLiteral("合  计");
    grid()->setColumns({code, textColumn(QStringLiteral("F_Name"), QStringLiteral("名称"), 200),
                        textColumn(QStringLiteral("F_Address"), QStringLiteral("地址"), 200),
                        textColumn(QStringLiteral("F_LinkMan"), QStringLiteral("联系人"), 70),
                        textColumn(QStringLiteral("F_HandPhone"), QStringLiteral("手机"), 100),
                        textColumn(QStringLiteral("F_Fax"), QStringLiteral("传真"), 100),
                        textColumn(QStringLiteral("F_Phone"), QStringLiteral("电话"), 100),
                        textColumn(QStringLiteral("F_type"), QStringLiteral("类型"), 120),
                        textColumn(QStringLiteral("F_EmpName"), QStringLiteral("业务员"), 70),
                        textColumn(QStringLiteral("F_Mem"), QStringLiteral("备注"), 160)});
    grid()->setFooterVisible(true);
    finish();
}

bool TDlgCltXz::query(QString* error)
{
    if (!tree()->currentItem())
        return true;
    ClientStore::PickCriteria c;
    c.code = m_code->text();
    c.name = m_name->text();
    c.address = m_address->text();
    c.typePath = typePath();
    const SqlBuilder b = ClientStore::pickQuery(dmData()->db().dialect(), c);
    return grid()->open(dmData()->db(), b.sql(), b.params(), error);
}

void TDlgCltXz::addRecord()
{
    TfrmCltEdit window({grid(), [this](QString* error) { return query(error); }}, true, this);
    window.Open(SubRecordEdit::AddMode);
}

QString PickCounterpartName(const QString& current, QWidget* parent)
{
    TDlgCltXz dialog(parent);
    return dialog.pick(current);
}
