#pragma once

#include <QList>
#include <QString>

// One column of a list grid, as stored in a layout (cfg_grid).
struct GridColumn
{
    enum Footer
    {
        NoFooter = 0,
        FooterText = 1,
        FooterSum = 2
    };
    enum Align
    {
        AlignDefault = -1,
        AlignLeft = 0,
        AlignCenter = 1,
        AlignRight = 2
    };

    QString fieldName;
    QString title;
    int width = 100;
    bool visible = true;
    bool readOnly = true;
    QString displayFormat; // number format such as ",0.00" for the cells and the footer
    QString footerValue;   // the text of a FooterText footer
    int footerType = NoFooter;
    int alignment = AlignDefault;

    bool operator==(const GridColumn&) const = default;
};

using GridColumns = QList<GridColumn>;

// Shorthands for building a grid's own columns in code.
GridColumn textColumn(const QString& field, const QString& title, int width = 100);
GridColumn sumColumn(const QString& field, const QString& title, int width = 100,
                     const QString& format = QString());
