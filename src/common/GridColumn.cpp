#include "common/GridColumn.h"

GridColumn textColumn(const QString& field, const QString& title, int width)
{
    GridColumn c;
    c.fieldName = field;
    c.title = title;
    c.width = width;
    return c;
}

GridColumn sumColumn(const QString& field, const QString& title, int width, const QString& format)
{
    GridColumn c = textColumn(field, title, width);
    c.footerType = GridColumn::FooterSum;
    c.alignment = GridColumn::AlignRight;
    c.displayFormat = format;
    return c;
}
