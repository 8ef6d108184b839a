#pragma once

#include <QHash>
#include <QList>
#include <QString>

// A written .xlsx read back through orcus, for checking cells, their number
// formats and the sheet names. orcus 0.17 skips text stored in the cells
// themselves (streamed workbooks); that text is read from the sheet's XML.
struct XlsxCell
{
    enum Type
    {
        String,
        Number,
        Bool
    };
    Type type = String;
    QString text;            // the string of a string cell
    double number = 0;       // the value of a number or bool cell
    QString numFormat;       // the cell's number format code ("General" when none)
    bool inlineText = false; // text stored in the cell, not in the shared table
};

class XlsxReadBack
{
public:
    // False, with the reason, when orcus cannot read the file.
    bool read(const QString& path, QString* error = nullptr);

    QStringList sheetNames() const { return m_sheetNames; }
    // Cells of a sheet (first by default) by 0-based row and column.
    bool has(int row, int column, int sheet = 0) const;
    XlsxCell cell(int row, int column, int sheet = 0) const;
    // Rows and columns holding a cell (one past the last), 0 when empty.
    int rowCount(int sheet = 0) const;
    int columnCount(int sheet = 0) const;
    // Every cell of a column, for "column B is empty" checks.
    int cellsInColumn(int column, int sheet = 0) const;

    static quint64 key(int row, int column)
    {
        return (quint64(quint32(row)) << 32) | quint32(column);
    }

    // Filled by the reader.
    struct Sheet
    {
        QHash<quint64, XlsxCell> cells;
        QHash<quint64, int> xf;
    };
    QStringList m_sheetNames;
    QList<Sheet> m_sheets;
    QStringList m_strings;
    QHash<int, QString> m_formatById; // numFmtId -> code
    QList<int> m_xfFormat;            // xf index -> numFmtId
};
