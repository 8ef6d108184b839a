#include "reference/TDlgGCitemXZ.h"

#include "common/DataGrid.h"
#include "common/GridLayoutStore.h"
#include "data/TdmData.h"
#include "reference/ProjectStore.h"
#include "reference/TfrmGCitemEdit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

TypeTreePicker::Kind projectKind()
{
    TypeTreePicker::Kind k;
    k.className = QStringLiteral("TDlgGCitemXZ");
    k.caption = QStringLiteral("工程项目选择");
    k.addCaption = QStringLiteral("新增项目");
    k.treeFlag = QStringLiteral("gctype");
    k.treeCaption = QStringLiteral("项目类型");
    k.resultField = QStringLiteral("F_code");
    k.width = 900;
    return k;
}

} // namespace

TDlgGCitemXZ::TDlgGCitemXZ(QWidget* parent) : TypeTreePicker(projectKind(), parent)
{
    m_name = addSearchField("edtName", QStringLiteral("项目名称："));
    m_gcName = addSearchField("edtGCname", QStringLiteral("工程名称："));
    // Applied by "查询" only.
    m_gcType = new QComboBox(this);
    m_gcType->setObjectName(QStringLiteral("cbbGCtype"));
    m_gcType->setEditable(true);
    auto* label = new QLabel(QStringLiteral("工程性质："), this);
    label->setBuddy(m_gcType);
    searchRow()->addWidget(label);
    searchRow()->addWidget(m_gcType, 1);

    GridColumns columns = GridLayoutStore::builtColumns(QStringLiteral("GCitemMan"));
    for (const char* field : {"F_ZF1", "F_ZF2", "F_ZF3", "F_ZF4", "F_ZF5", "F_SZ1", "F_SZ2",
                              "F_SZ3", "F_RQ1", "F_RQ2", "F_RQ3", "F_useFlag"})
        columns << textColumn(QLatin1String(field), QLatin1String(field), 80);
    grid()->setColumns(columns);
    for (const char* field : {"F_fromDate", "F_toDate"})
        grid()->model()->setDateRule(QLatin1String(field), RecordModel::BlankBefore1901);
    finish();
}

bool TDlgGCitemXZ::query(QString* error)
{
    if (!tree()->currentItem())
        return true;
    ProjectStore::PickCriteria c;
    c.gcType = m_gcType->currentText();
    c.name = m_name->text();
    c.gcName = m_gcName->text();
    c.typePath = typePath();
    const SqlBuilder b = ProjectStore::pickQuery(dmData()->db().dialect(), c);
    return grid()->open(dmData()->db(), b.sql(), b.params(), error);
}

void TDlgGCitemXZ::addRecord()
{
    TfrmGCitemEdit window({grid(), [this](QString* error) { return query(error); }}, true, this);
    window.Open(SubRecordEdit::AddMode);
}

QString PickProjectCode(const QString& current, QWidget* parent)
{
    TDlgGCitemXZ dialog(parent);
    return dialog.pick(current);
}
