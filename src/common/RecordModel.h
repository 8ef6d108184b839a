#pragma once

#include "common/GridColumn.h"
#include "common/RecordSet.h"

#include <QAbstractTableModel>
#include <QColor>

#include <functional>
#include <vector>

// The rows of one list as the grid shows them: the record set of a query,
// the grid's columns (field, title, format, footer ...), an in-memory order,
// row colours, the blank display of the no-date values, footer sums, and
// for line grids the pending edits that are written in one batch.
//
// Rows are the model's rows (after sorting); recordRow() gives the row of
// the record set. Columns are the grid columns, visible or not.
class RecordModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct RowStyle
    {
        QColor foreground;
        QColor background;
    };
    // Colours of a row (model row); invalid colours keep the grid's own.
    using RowStyler = std::function<RowStyle(const RecordModel& model, int row)>;

    // How a date column shows values that stand for "no date".
    enum DateRule
    {
        BlankBefore1901 = 1, // the no-date value 1900-08-14 and anything earlier
        BlankAfter2999 = 2,  // the open-end value 3000-08-14 and anything later
    };

    explicit RecordModel(QObject* parent = nullptr);

    // ---- Columns
    void setColumns(const GridColumns& columns);
    const GridColumns& columns() const { return m_columns; }
    const GridColumn& gridColumn(int column) const { return m_columns.at(column); }
    void setGridColumn(int column, const GridColumn& c);
    int columnOfField(const QString& field) const; // case-insensitive; -1 if none
    // Without a layout, one column per field of the result.
    void setColumnsFromFields();

    // ---- Rows
    // Runs the statement; on failure the model is left empty and the reason
    // is in `error`.
    bool open(Database& db, const QString& sql, const SqlParams& params = {},
              QString* error = nullptr);
    // Takes rows already read.
    void setRecords(RecordSet records);
    void clear();
    bool isOpen() const { return m_open; }
    const RecordSet& records() const { return m_records; }
    int recordRow(int row) const { return m_order.at(row); }
    // A value of a model row by field name; invalid when the field is absent.
    QVariant value(int row, const QString& field) const;
    QString text(int row, const QString& field) const;
    // The model row holding the record whose field equals the value; -1 if none.
    int findRow(const QString& field, const QVariant& value) const;

    // ---- Sorting in memory, without re-running the query.
    // Sort text such as "f_code ASC,f_date DESC," (fields in any case; the
    // trailing comma is optional). Unknown fields are skipped. False when
    // nothing could be sorted by.
    bool sortByText(const QString& sortText);
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Back to the order of the query.
    void resetOrder();

    // ---- Display
    void setRowStyler(RowStyler styler);
    void setDateRule(const QString& field, int rules);
    // The text a cell shows.
    QString displayText(int row, int column) const;
    // The footer of a column: its static text or its sum, formatted.
    QString footerText(int column) const;
    double columnSum(int column) const;

    // ---- Editing (line grids). Off by default.
    void setEditable(bool editable) { m_editable = editable; }
    bool isEditable() const { return m_editable; }
    // F_totalprice = F_amount x F_price, recomputed when either changes.
    void setLineTotal(const QString& amountField, const QString& priceField,
                      const QString& totalField);
    // Appends an empty record at the end; returns its model row.
    int appendRecord();
    bool setValue(int row, const QString& field, const QVariant& value);
    // Removes model rows; records read from the database are remembered
    // for deletion.
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool hasPendingChanges() const;
    // Writes every pending insert, change and delete to `table` (rows keyed
    // by F_ID), inside the caller's transaction; `fixed` values are written
    // into every inserted and changed row (e.g. the contract link number).
    bool applyPending(Database& db, const QString& table, const SqlParams& fixed = {},
                      QString* error = nullptr);
    // Forgets the pending changes: the model shows the rows as read again.
    void cancelPending();
    // Fields whose values were changed in the record set row (for tests and
    // for writers).
    QStringList changedFields(int recordRow) const;

    // ---- QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void footerChanged();

private:
    int fieldOf(int column) const { return m_fieldOfColumn.value(column, -1); }
    void replaceRecords(RecordSet records, bool open);
    void mapColumns();
    void invalidateFooter();
    bool applySortKeys(const QList<QPair<int, bool>>& keys);

    RecordSet m_records;
    GridColumns m_columns;
    QList<int> m_fieldOfColumn;
    std::vector<int> m_order;
    bool m_open = false;
    RowStyler m_styler;
    QHash<QString, int> m_dateRules; // lower-case field -> rules
    mutable QHash<int, double> m_sumCache;

    bool m_editable = false;
    QString m_amountField, m_priceField, m_totalField;
    QSet<int> m_insertedRecords;     // record rows appended since the read
    QHash<int, QSet<int>> m_changed; // record row -> changed fields
    QList<qint64> m_deletedIds;
};

// The values of a row of a list, by field name, for the windows that show a
// contract's summary.
QVariantMap RecordValues(const RecordModel& model, int row);
