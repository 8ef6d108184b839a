#include "common/GridLayouts.h"

#include "common/DataGrid.h"
#include "common/FieldListDialog.h"
#include "common/GridLayoutStore.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QDebug>

namespace {

void reportFailure(const QString& detail)
{
    ShowFailure(Messages::operationFailed(), detail);
}

} // namespace

bool LoadGridLayout(DataGrid* grid, const QString& name)
{
    TdmData* dm = dmData();
    if (!dm) {
        reportFailure(QStringLiteral("no data module"));
        return false;
    }
    GridColumns columns;
    QString error;
    const bool ok = GridLayoutStore(dm->db()).load(name, &columns, &error);
    if (!columns.isEmpty())
        grid->setColumns(columns);
    if (!ok)
        reportFailure(error);
    return ok && !columns.isEmpty();
}

bool SaveGridLayout(DataGrid* grid, const QString& name)
{
    TdmData* dm = dmData();
    if (!dm) {
        reportFailure(QStringLiteral("no data module"));
        return false;
    }
    QString error;
    if (GridLayoutStore(dm->db()).save(name, grid->columns(), &error))
        return true;
    reportFailure(error);
    return false;
}

bool AskAndSaveGridLayout(DataGrid* grid, const QString& name)
{
    if (ShowMess(QStringLiteral("真的要保存当前网格设置吗？"), mkQuestion) != 1)
        return false;
    return SaveGridLayout(grid, name);
}

bool ChooseGridColumns(DataGrid* grid)
{
    FieldListDialog dlg(grid, grid->window());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    dlg.applyToGrid();
    return true;
}

namespace {

// The money columns of the lists and the format each shows. A layout name
// narrows an entry to that grid; an empty format stands for the session's
// money format. The goods lines of a contract show the fixed two decimals
// of the contract's goods page; everywhere else money follows the settings.
struct MoneyColumn
{
    const char* layout; // nullptr: every grid
    const char* field;  // lower case
    const char* format; // nullptr: Session.MoneyFormat
};

const MoneyColumn kMoneyColumns[] = {
    {"detail7", "f_price", ",0.00;-,0.00"}, {"detail7", "f_totalprice", ",0.00;-,0.00"},
    {nullptr, "f_totalprice", nullptr},     {nullptr, "f_ysprice", nullptr},
    {nullptr, "f_skprice", nullptr},        {nullptr, "f_kpprice", nullptr},
};

// The money format a column of the layout shows; null when it is no money
// column there.
QString moneyFormatOf(const QString& layout, const QString& field)
{
    for (const MoneyColumn& m : kMoneyColumns) {
        if (m.layout && layout.compare(QLatin1String(m.layout), Qt::CaseInsensitive) != 0)
            continue;
        if (field == QLatin1String(m.field))
            return m.format ? QString::fromLatin1(m.format) : Session.MoneyFormat;
    }
    return QString();
}

} // namespace

void ApplyColumnFormats(DataGrid* grid, const QString& layout)
{
    struct Caption
    {
        const char* part;
        int slot;
    };
    static const Caption kCaptions[] = {
        {"zf1", 1}, {"zf2", 2}, {"zf3", 3}, {"zf4", 4},  {"zf5", 5},  {"sz1", 6},
        {"sz2", 7}, {"sz3", 8}, {"rq1", 9}, {"rq2", 10}, {"rq3", 11},
    };
    RecordModel* model = grid->model();
    for (int c = 0; c < model->columnCount(); ++c) {
        GridColumn gc = model->gridColumn(c);
        const QString f = gc.fieldName.toLower();
        if (f.contains(QLatin1String("amount")))
            gc.displayFormat = Session.QuantityFormat;
        // Money columns without a format of their own show the money format
        // (decimals, thousands separators), in the cells and in the footer.
        if (gc.displayFormat.isEmpty())
            gc.displayFormat = moneyFormatOf(layout, f);
        for (const Caption& k : kCaptions) {
            if (!f.contains(QLatin1String(k.part)))
                continue;
            gc.title = Session.keyValue(k.slot);
            // A custom field nobody has named is not in use.
            if (gc.title.trimmed().isEmpty())
                gc.visible = false;
        }
        if (!(gc == model->gridColumn(c)))
            model->setGridColumn(c, gc);
    }
    grid->applyColumns();
}
