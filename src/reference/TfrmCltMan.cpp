#include "reference/TfrmCltMan.h"

#include "common/DataGrid.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/UserDialogs.h"
#include "reference/TfrmCltEdit.h"

namespace {

ListScreen::Options cltManOptions()
{
    ListScreen::Options o;
    o.className = QStringLiteral("TfrmCltMan");
    o.caption = QStringLiteral("来往单位资料");
    o.layoutName = QStringLiteral("cltman");
    o.exportTitle = QStringLiteral("往来单位资料");
    o.queryCommand = false;
    o.outputsAfterFirstQuery = false;
    o.countPrefix = QStringLiteral("记录数：");
    return o;
}

} // namespace

TfrmCltMan::TfrmCltMan(QWidget* parent)
    : ClientListScreen(cltManOptions(), QStringLiteral("clttype"), QStringLiteral("往来单位类型"),
                       parent)
{
    start();
}

QString TfrmCltMan::deleteQuestion(const QString& name)
{
    return QStringLiteral("真的要删除当前客户%1吗？").arg(name);
}

SqlBuilder TfrmCltMan::listQuery(const ReferenceListCriteria& criteria) const
{
    return ClientStore::listQuery(dmData()->db().dialect(), criteria);
}

void TfrmCltMan::openEdit(SubRecordEdit::Mode mode)
{
    TfrmCltEdit window(callerList(), false, this);
    window.Open(mode);
}

void TfrmCltMan::deleteRecord()
{
    if (grid()->model()->rowCount() == 0 || grid()->currentRow() < 0)
        return;
    const QString name = grid()->currentValue(QStringLiteral("F_Name")).toString();
    if (ShowMess(deleteQuestion(name), mkQuestion) != 1)
        return;
    if (dmData()->DeleteById(QStringLiteral("Client"),
                             grid()->currentValue(QStringLiteral("F_ID")).toLongLong()))
        requery();
}
