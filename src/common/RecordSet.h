#pragma once

#include "data/Database.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <vector>

// The rows of a query result, held column by column so that a list of
// 100,000 contracts takes a few hundred bytes a row: numbers in plain
// arrays, text as UTF-8 in one block per column. Rows are addressed by their
// position in the result; sorting and hiding are the model's business.
// Values can be changed and rows added (edits of line grids); such values
// are kept beside the loaded block.
class RecordSet
{
public:
    enum class Kind
    {
        Integer,
        Real,
        Text,
        Blob
    };

    struct Field
    {
        QString name;
        Kind kind = Kind::Text;
        QString declaredType; // e.g. "DATE_TEXT", "BOOLEAN", "VARCHAR(50)"
        bool isDate() const
        {
            return declaredType.startsWith(QLatin1String("DATE"), Qt::CaseInsensitive);
        }
        bool isBool() const
        {
            return declaredType.compare(QLatin1String("BOOLEAN"), Qt::CaseInsensitive) == 0;
        }
        bool isMemo() const
        {
            return declaredType.compare(QLatin1String("TEXT"), Qt::CaseInsensitive) == 0;
        }
    };

    RecordSet() = default;

    // Runs the statement and reads every row. False (with the reason) on a
    // failure; the set is then empty.
    bool load(Database& db, const QString& sql, const SqlParams& params = {},
              QString* error = nullptr);
    void clear();

    int rowCount() const { return m_rows; }
    int fieldCount() const { return int(m_fields.size()); }
    const Field& field(int index) const { return m_fields.at(index); }
    // Case-insensitive; -1 when the result has no such column.
    int fieldIndex(const QString& name) const;

    bool isNull(int row, int field) const;
    QVariant value(int row, int field) const;
    QString text(int row, int field) const;
    double number(int row, int field) const;
    qint64 integer(int row, int field) const;
    // Three-way comparison of two rows on one field (nulls first; text by
    // code point, like the database's own ordering).
    int compare(int rowA, int rowB, int field) const;

    void setValue(int row, int field, const QVariant& value);
    // Appends an empty row and returns its index.
    int appendRow();
    // Forgets every changed value and appended row: the rows as read.
    void revertEdits();
    int loadedRowCount() const { return m_loadedRows; }

    // Bytes held for the rows (without the few per-field headers).
    qint64 memoryBytes() const;

    // Positions in a column's block of text: 64 bits, since a long list of
    // long texts outgrows 4 GB.
    using TextOffset = qint64;

    // Whether rows may be read straight through the connection's handle:
    // it must be a `sqlite3*`, and the SQLite this program links must be the
    // very library the Qt driver runs on (the version and source id it
    // reports through Qt). Otherwise rows are read through QSqlQuery.
    static bool canReadDirectly(const char* handleTypeName, const QString& driverVersion,
                                const QString& driverSourceId);
    // Tests read through QSqlQuery to compare both ways.
    static void setDirectReadingAllowed(bool allowed);

private:
    struct Column
    {
        std::vector<qint64> ints;
        std::vector<double> reals;
        QByteArray arena;                // text/blob bytes of all rows
        std::vector<TextOffset> offsets; // start of each row's bytes; one more at the end
        std::vector<bool> nulls;
    };
    bool loadSqlite(Database& db, const QString& sql, const SqlParams& params, QString* error,
                    bool* unusable);
    bool loadGeneric(Database& db, const QString& sql, const SqlParams& params, QString* error);
    void setFields(QList<Field> fields);
    void squeeze();
    void appendValue(int field, const QVariant& v);
    QVariant storedValue(int row, int field) const;
    QVariant edited(int row, int field, bool* found) const;
    static quint64 key(int row, int field)
    {
        return (quint64(quint32(row)) << 16) | quint16(field);
    }

    QList<Field> m_fields;
    std::vector<Column> m_columns;
    int m_rows = 0;
    int m_loadedRows = 0;
    QHash<quint64, QVariant> m_edits; // changed values and the values of appended rows
};
