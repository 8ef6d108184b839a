#include "common/RecordModel.h"
#include "common/NumberText.h"
#include "data/Schema.h"
#include "data/StoredDate.h"

#include <QSqlQuery>

#include <algorithm>
#include <numeric>

namespace {
const QString kNoDateLimit = StoredDate::iso(StoredDate::kFirstGiven);
const QString kOpenEndLimit = StoredDate::iso(StoredDate::kLastShownEnd);
} // namespace

RecordModel::RecordModel(QObject* parent) : QAbstractTableModel(parent) {}

// ---- Columns

void RecordModel::setColumns(const GridColumns& columns)
{
    beginResetModel();
    m_columns = columns;
    mapColumns();
    invalidateFooter();
    endResetModel();
}

void RecordModel::setGridColumn(int column, const GridColumn& c)
{
    if (column < 0 || column >= m_columns.size())
        return;
    const bool fieldChanged = m_columns.at(column).fieldName != c.fieldName;
    m_columns[column] = c;
    if (fieldChanged)
        mapColumns();
    invalidateFooter();
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (rowCount() > 0)
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

int RecordModel::columnOfField(const QString& field) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).fieldName.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void RecordModel::setColumnsFromFields()
{
    GridColumns columns;
    for (int f = 0; f < m_records.fieldCount(); ++f) {
        const RecordSet::Field& field = m_records.field(f);
        GridColumn c = textColumn(field.name, field.name);
        if (field.kind == RecordSet::Kind::Real)
            c.alignment = GridColumn::AlignRight;
        columns << c;
    }
    setColumns(columns);
}

void RecordModel::mapColumns()
{
    m_fieldOfColumn.clear();
    for (const GridColumn& c : m_columns)
        m_fieldOfColumn << m_records.fieldIndex(c.fieldName);
}

// ---- Rows

bool RecordModel::open(Database& db, const QString& sql, const SqlParams& params, QString* error)
{
    RecordSet records;
    if (!records.load(db, sql, params, error)) {
        clear();
        return false;
    }
    setRecords(std::move(records));
    return true;
}

void RecordModel::setRecords(RecordSet records)
{
    replaceRecords(std::move(records), true);
}

void RecordModel::clear()
{
    replaceRecords(RecordSet(), false);
}

void RecordModel::replaceRecords(RecordSet records, bool open)
{
    beginResetModel();
    m_records = std::move(records);
    m_order.resize(size_t(m_records.rowCount()));
    std::iota(m_order.begin(), m_order.end(), 0);
    m_open = open;
    m_insertedRecords.clear();
    m_changed.clear();
    m_deletedIds.clear();
    mapColumns();
    invalidateFooter();
    endResetModel();
}

QVariant RecordModel::value(int row, const QString& field) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return m_records.value(m_order[size_t(row)], m_records.fieldIndex(field));
}

QString RecordModel::text(int row, const QString& field) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return m_records.text(m_order[size_t(row)], m_records.fieldIndex(field));
}

int RecordModel::findRow(const QString& field, const QVariant& value) const
{
    const int f = m_records.fieldIndex(field);
    if (f < 0)
        return -1;
    // Keys are whole numbers: compare them as such, without a text per row.
    bool isNumber = false;
    const qint64 wantedNumber = value.toLongLong(&isNumber);
    if (isNumber && m_records.field(f).kind == RecordSet::Kind::Integer) {
        for (int row = 0; row < rowCount(); ++row) {
            const int rec = m_order[size_t(row)];
            if (!m_records.isNull(rec, f) && m_records.integer(rec, f) == wantedNumber)
                return row;
        }
        return -1;
    }
    const QString wanted = value.toString();
    for (int row = 0; row < rowCount(); ++row) {
        if (m_records.text(m_order[size_t(row)], f) == wanted)
            return row;
    }
    return -1;
}

// ---- Sorting

bool RecordModel::applySortKeys(const QList<QPair<int, bool>>& keys)
{
    if (keys.isEmpty())
        return false;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> oldOrder = m_order;
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        for (const auto& [field, ascending] : keys) {
            const int c = m_records.compare(a, b, field);
            if (c != 0)
                return ascending ? c < 0 : c > 0;
        }
        return false;
    });
    // Keep the current row and the selection on the same records.
    if (!before.isEmpty()) {
        std::vector<int> newRowOf(m_records.rowCount() + 1, -1);
        for (size_t i = 0; i < m_order.size(); ++i)
            newRowOf[size_t(m_order[i])] = int(i);
        QModelIndexList after;
        for (const QModelIndex& i : before)
            after << index(newRowOf[size_t(oldOrder[size_t(i.row())])], i.column());
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return true;
}

bool RecordModel::sortByText(const QString& sortText)
{
    QList<QPair<int, bool>> keys;
    for (const QString& part : sortText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        if (words.isEmpty() || words.first().isEmpty())
            continue;
        const int field = m_records.fieldIndex(words.first());
        if (field < 0)
            continue;
        const bool descending = words.size() > 1 && words.at(1).compare(QLatin1String("DESC"),
                                                                        Qt::CaseInsensitive) == 0;
        keys.append({field, !descending});
    }
    return applySortKeys(keys);
}

void RecordModel::sort(int column, Qt::SortOrder order)
{
    const int field = fieldOf(column);
    if (field >= 0)
        applySortKeys({{field, order == Qt::AscendingOrder}});
}

void RecordModel::resetOrder()
{
    emit layoutAboutToBeChanged();
    std::sort(m_order.begin(), m_order.end());
    emit layoutChanged();
}

// ---- Display

void RecordModel::setRowStyler(RowStyler styler)
{
    m_styler = std::move(styler);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::ForegroundRole, Qt::BackgroundRole});
}

void RecordModel::setDateRule(const QString& field, int rules)
{
    m_dateRules.insert(field.toLower(), rules);
}

QString RecordModel::displayText(int row, int column) const
{
    const int field = fieldOf(column);
    if (field < 0 || row < 0 || row >= rowCount())
        return QString();
    const int rec = m_order[size_t(row)];
    if (m_records.isNull(rec, field))
        return QString();
    const RecordSet::Field& f = m_records.field(field);
    switch (f.kind) {
    case RecordSet::Kind::Integer:
        if (f.isBool())
            return QString();
        return m_columns.at(column).displayFormat.isEmpty()
                   ? QString::number(m_records.integer(rec, field))
                   : FormatNumber(double(m_records.integer(rec, field)),
                                  m_columns.at(column).displayFormat);
    case RecordSet::Kind::Real:
        return FormatNumber(m_records.number(rec, field), m_columns.at(column).displayFormat);
    case RecordSet::Kind::Blob:
        return QStringLiteral("(二进制)");
    case RecordSet::Kind::Text:
        break;
    }
    const QString text = m_records.text(rec, field);
    int rules = m_dateRules.value(f.name.toLower(), -1);
    if (rules < 0)
        rules = f.isDate() ? BlankBefore1901 : 0;
    if ((rules & BlankBefore1901) && text < kNoDateLimit)
        return QString();
    if ((rules & BlankAfter2999) && text > kOpenEndLimit)
        return QString();
    return text;
}

double RecordModel::columnSum(int column) const
{
    const auto it = m_sumCache.constFind(column);
    if (it != m_sumCache.constEnd())
        return it.value();
    const int field = fieldOf(column);
    double sum = 0.0;
    if (field >= 0) {
        for (const int rec : m_order)
            sum += m_records.number(rec, field);
    }
    m_sumCache.insert(column, sum);
    return sum;
}

QString RecordModel::footerText(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return QString();
    const GridColumn& c = m_columns.at(column);
    switch (c.footerType) {
    case GridColumn::FooterText:
        return c.footerValue;
    case GridColumn::FooterSum:
        return FormatNumber(columnSum(column), c.displayFormat);
    default:
        return QString();
    }
}

void RecordModel::invalidateFooter()
{
    m_sumCache.clear();
    emit footerChanged();
}

// ---- Editing

void RecordModel::setLineTotal(const QString& amountField, const QString& priceField,
                               const QString& totalField)
{
    m_amountField = amountField;
    m_priceField = priceField;
    m_totalField = totalField;
}

int RecordModel::appendRecord()
{
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    const int rec = m_records.appendRow();
    m_order.push_back(rec);
    m_insertedRecords.insert(rec);
    endInsertRows();
    invalidateFooter();
    return row;
}

bool RecordModel::setValue(int row, const QString& field, const QVariant& value)
{
    const int f = m_records.fieldIndex(field);
    if (row < 0 || row >= rowCount() || f < 0)
        return false;
    const int rec = m_order[size_t(row)];
    m_records.setValue(rec, f, value);
    m_changed[rec].insert(f);
    const bool amountOrPrice =
        !m_totalField.isEmpty() && (field.compare(m_amountField, Qt::CaseInsensitive) == 0 ||
                                    field.compare(m_priceField, Qt::CaseInsensitive) == 0);
    if (amountOrPrice) {
        const int total = m_records.fieldIndex(m_totalField);
        if (total >= 0) {
            const double amount = m_records.number(rec, m_records.fieldIndex(m_amountField));
            const double price = m_records.number(rec, m_records.fieldIndex(m_priceField));
            m_records.setValue(rec, total, amount * price);
            m_changed[rec].insert(total);
        }
    }
    invalidateFooter();
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    return true;
}

bool RecordModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    const int idField = m_records.fieldIndex(QStringLiteral("F_ID"));
    for (int i = row; i < row + count; ++i) {
        const int rec = m_order[size_t(i)];
        if (m_insertedRecords.remove(rec))
            continue;
        m_changed.remove(rec);
        if (idField >= 0 && !m_records.isNull(rec, idField))
            m_deletedIds << m_records.integer(rec, idField);
    }
    m_order.erase(m_order.begin() + row, m_order.begin() + row + count);
    endRemoveRows();
    invalidateFooter();
    return true;
}

bool RecordModel::hasPendingChanges() const
{
    return !m_insertedRecords.isEmpty() || !m_changed.isEmpty() || !m_deletedIds.isEmpty();
}

QStringList RecordModel::changedFields(int recordRow) const
{
    QStringList names;
    for (int f : m_changed.value(recordRow))
        names << m_records.field(f).name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

bool RecordModel::applyPending(Database& db, const QString& table, const SqlParams& fixed,
                               QString* error)
{
    const Schema::Table* t = Schema::findTable(table);
    if (!t) {
        if (error)
            *error = QStringLiteral("未知的数据表 ") + table;
        return false;
    }
    for (qint64 id : m_deletedIds) {
        if (!db.exec(QStringLiteral("DELETE FROM %1 WHERE F_ID = :id").arg(t->name),
                     {{QStringLiteral(":id"), id}}, error))
            return false;
    }
    // The fields that are columns of the table, apart from the key; fixed
    // values replace whatever the rows hold.
    auto isFixed = [&](const QString& field) {
        for (const auto& p : fixed) {
            if (p.first.mid(1).compare(field, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    auto writableFields = [&](const QSet<int>& only, bool all) {
        QList<int> fields;
        for (int f = 0; f < m_records.fieldCount(); ++f) {
            const QString name = m_records.field(f).name;
            if (name.compare(QLatin1String("F_ID"), Qt::CaseInsensitive) == 0 || isFixed(name))
                continue;
            const Schema::Column* c = Schema::findColumn(t->name, name);
            if (!c || c->type == Schema::ColumnType::Counter)
                continue;
            if (all || only.contains(f))
                fields << f;
        }
        return fields;
    };
    const int idField = m_records.fieldIndex(QStringLiteral("F_ID"));
    for (const int rec : m_order) {
        const bool inserted = m_insertedRecords.contains(rec);
        if (!inserted && !m_changed.contains(rec))
            continue;
        const QList<int> fields = writableFields(m_changed.value(rec), inserted);
        SqlParams params;
        QStringList names, placeholders, sets;
        for (int f : fields) {
            const QString name = m_records.field(f).name;
            const QString ph = QStringLiteral(":v%1").arg(f);
            names << name;
            placeholders << ph;
            sets << name + QStringLiteral(" = ") + ph;
            params.append({ph, m_records.value(rec, f)});
        }
        for (const auto& [ph, v] : fixed) {
            names << ph.mid(1);
            placeholders << ph;
            sets << ph.mid(1) + QStringLiteral(" = ") + ph;
            params.append({ph, v});
        }
        QString sql;
        if (inserted) {
            sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(t->name)
                                  : QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                                        .arg(t->name, names.join(QLatin1Char(',')),
                                             placeholders.join(QLatin1Char(',')));
        } else {
            if (sets.isEmpty() || idField < 0)
                continue;
            sql = QStringLiteral("UPDATE %1 SET %2 WHERE F_ID = :id")
                      .arg(t->name, sets.join(QLatin1Char(',')));
            params.append({QStringLiteral(":id"), m_records.integer(rec, idField)});
        }
        if (!db.exec(sql, params, error))
            return false;
    }
    return true;
}

void RecordModel::cancelPending()
{
    beginResetModel();
    m_records.revertEdits();
    m_order.resize(size_t(m_records.rowCount()));
    std::iota(m_order.begin(), m_order.end(), 0);
    m_insertedRecords.clear();
    m_changed.clear();
    m_deletedIds.clear();
    invalidateFooter();
    endResetModel();
}

// ---- QAbstractItemModel

int RecordModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int RecordModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), column);
    case Qt::EditRole: {
        const int field = fieldOf(column);
        return field < 0 ? QVariant() : m_records.value(m_order[size_t(index.row())], field);
    }
    case Qt::CheckStateRole: {
        const int field = fieldOf(column);
        if (field < 0 || !m_records.field(field).isBool())
            return {};
        return m_records.integer(m_order[size_t(index.row())], field) != 0 ? Qt::Checked
                                                                           : Qt::Unchecked;
    }
    case Qt::TextAlignmentRole: {
        int align = m_columns.at(column).alignment;
        if (align == GridColumn::AlignDefault) {
            const int field = fieldOf(column);
            const bool number = field >= 0 &&
                                m_records.field(field).kind != RecordSet::Kind::Text &&
                                !m_records.field(field).isBool();
            align = number ? GridColumn::AlignRight : GridColumn::AlignLeft;
        }
        const Qt::Alignment h = align == GridColumn::AlignCenter  ? Qt::AlignHCenter
                                : align == GridColumn::AlignRight ? Qt::AlignRight
                                                                  : Qt::AlignLeft;
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        if (!m_styler)
            return {};
        const RowStyle style = m_styler(*this, index.row());
        const QColor& c = role == Qt::ForegroundRole ? style.foreground : style.background;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    default:
        return {};
    }
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns.at(section).title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags RecordModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (m_editable && !m_columns.at(index.column()).readOnly && fieldOf(index.column()) >= 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool RecordModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    return setValue(index.row(), m_columns.at(index.column()).fieldName, value);
}

QVariantMap RecordValues(const RecordModel& model, int row)
{
    QVariantMap values;
    if (row < 0 || row >= model.rowCount())
        return values;
    const RecordSet& records = model.records();
    const int recordRow = model.recordRow(row);
    for (int f = 0; f < records.fieldCount(); ++f)
        values.insert(records.field(f).name, records.value(recordRow, f));
    return values;
}
