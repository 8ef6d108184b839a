#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// One cell as the import sees it: what kind of value the file held and the
// text the spreadsheet shows for it.
struct SpreadsheetCell
{
    enum Kind
    {
        Empty,
        Text,
        Number,
        Bool,
        Date
    };
    Kind kind = Empty;
    QString text;      // Text: the string; Number: digits without exponent or grouping
    double number = 0; // Number and Bool (1/0)
    QDate date;        // Date

    static SpreadsheetCell fromText(const QString& text);
    static SpreadsheetCell fromNumber(double value);
    static SpreadsheetCell fromBool(bool value);
    static SpreadsheetCell fromDate(const QDate& date);

    // Blank text counts as empty.
    bool isEmpty() const;
    // The text the operator sees: dates as yyyy-MM-dd, yes/no as TRUE/FALSE.
    QString shown() const;
};

// One sheet: rows of cells from the top, the first row holding the headings.
// Rows may be shorter than the widest row.
struct SpreadsheetSheet
{
    QString name;
    QList<QList<SpreadsheetCell>> rows;

    QStringList headings() const;
    int columnOf(const QString& heading) const; // -1 when no column has it
    SpreadsheetCell cell(int row, int column) const;
};

// A spreadsheet file read whole: .xlsx (and .xlsm), .xls and .csv by the
// file's name; the sheets in the file's order. A .csv holds one sheet named
// after the file.
class Spreadsheet
{
public:
    // False with the reason (a sentence for the operator; the reader's own
    // text after a line break) when the file cannot be read.
    bool read(const QString& path, QString* error = nullptr);

    // Readers of one format, used by read().
    bool readXlsx(const QString& path, QString* error);
    bool readXls(const QString& path, QString* error);
    bool readCsv(const QString& path, QString* error);
    // RFC 4180 text (already decoded) into rows.
    static QList<QList<SpreadsheetCell>> parseCsv(const QString& text);

    QStringList sheetNames() const;
    const QList<SpreadsheetSheet>& sheets() const { return m_sheets; }
    // nullptr when there is no sheet of that name.
    const SpreadsheetSheet* sheet(const QString& name) const;

    // Whether an .xlsx number format shows a date (not a bare time).
    static bool isDateFormat(const QString& code);
    static bool isBuiltInDateFormat(int id);

private:
    QList<SpreadsheetSheet> m_sheets;
};
