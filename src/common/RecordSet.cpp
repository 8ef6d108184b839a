#include "common/RecordSet.h"

#include "common/NumberText.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

RecordSet::Kind kindOfDeclared(const QByteArray& declared)
{
    const QByteArray t = declared.toUpper();
    if (t.contains("INT") || t == "BOOLEAN")
        return RecordSet::Kind::Integer;
    if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB") || t.contains("NUMERIC"))
        return RecordSet::Kind::Real;
    if (t.contains("BLOB"))
        return RecordSet::Kind::Blob;
    return RecordSet::Kind::Text;
}

bool g_directAllowed = true;

// Asked once: every QSQLITE connection of the process runs on one driver.
bool directReadingWorks(Database& db)
{
    static int works = -1;
    if (works < 0) {
        const QVariant handle = db.handle().driver()->handle();
        QSqlQuery q(db.handle());
        const bool asked =
            q.exec(QStringLiteral("SELECT sqlite_version(), sqlite_source_id()")) && q.next();
        works = asked && RecordSet::canReadDirectly(handle.typeName(), q.value(0).toString(),
                                                    q.value(1).toString())
                    ? 1
                    : 0;
    }
    return works == 1;
}

QString unknownParameter(const QString& name)
{
    return QStringLiteral("语句中没有参数 %1").arg(name);
}

} // namespace

bool RecordSet::canReadDirectly(const char* handleTypeName, const QString& driverVersion,
                                const QString& driverSourceId)
{
    return handleTypeName && std::strcmp(handleTypeName, "sqlite3*") == 0 &&
           driverVersion == QLatin1String(sqlite3_libversion()) &&
           driverSourceId == QLatin1String(sqlite3_sourceid());
}

void RecordSet::setDirectReadingAllowed(bool allowed)
{
    g_directAllowed = allowed;
}

void RecordSet::clear()
{
    m_fields.clear();
    m_columns.clear();
    m_rows = 0;
    m_loadedRows = 0;
    m_edits.clear();
}

void RecordSet::setFields(QList<Field> fields)
{
    m_fields = std::move(fields);
    m_columns.assign(m_fields.size(), Column());
    for (Column& c : m_columns)
        c.offsets.push_back(0);
}

int RecordSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool RecordSet::load(Database& db, const QString& sql, const SqlParams& params, QString* error)
{
    clear();
    if (!db.isOpen()) {
        if (error)
            *error = QStringLiteral("数据库未连接");
        return false;
    }
    bool unusable = !g_directAllowed || db.handle().driverName() != QLatin1String("QSQLITE") ||
                    !directReadingWorks(db);
    bool ok = !unusable && loadSqlite(db, sql, params, error, &unusable);
    if (unusable)
        ok = loadGeneric(db, sql, params, error);
    if (!ok)
        clear();
    return ok;
}

// The common case reads straight from SQLite: no QVariant per value, text
// copied as the UTF-8 the file holds.
bool RecordSet::loadSqlite(Database& db, const QString& sql, const SqlParams& params,
                           QString* error, bool* unusable)
{
    const QVariant handle = db.handle().driver()->handle();
    sqlite3* h = handle.isValid() && std::strcmp(handle.typeName(), "sqlite3*") == 0
                     ? *static_cast<sqlite3* const*>(handle.constData())
                     : nullptr;
    if (!h) {
        *unusable = true;
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(stmt);
        return false;
    }
    struct Finalize
    {
        sqlite3_stmt* s;
        ~Finalize() { sqlite3_finalize(s); }
    } finalize{stmt};

    for (const auto& [name, raw] : params) {
        int index = sqlite3_bind_parameter_index(stmt, name.toUtf8().constData());
        // Names are matched without regard to case, as everywhere else.
        for (int i = 1; index == 0 && i <= sqlite3_bind_parameter_count(stmt); ++i) {
            const char* n = sqlite3_bind_parameter_name(stmt, i);
            if (n && name.compare(QString::fromUtf8(n), Qt::CaseInsensitive) == 0)
                index = i;
        }
        // A name the statement does not hold is a mistake, not a NULL.
        if (index == 0) {
            if (error)
                *error = unknownParameter(name);
            return false;
        }
        const QVariant v = Database::toSqlValue(raw);
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, index);
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(stmt, index, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(stmt, index, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob64(stmt, index, b.constData(), sqlite3_uint64(b.size()),
                                         SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray s = v.toString().toUtf8();
                rc = sqlite3_bind_text64(stmt, index, s.constData(), sqlite3_uint64(s.size()),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            }
            }
        }
        if (rc != SQLITE_OK) {
            if (error)
                *error = QString::fromUtf8(sqlite3_errmsg(h));
            return false;
        }
    }

    const int columns = sqlite3_column_count(stmt);
    QList<Field> fields;
    QList<bool> undeclared;
    for (int c = 0; c < columns; ++c) {
        Field f;
        f.name = QString::fromUtf8(sqlite3_column_name(stmt, c));
        const char* declared = sqlite3_column_decltype(stmt, c);
        f.declaredType = QString::fromUtf8(declared ? declared : "");
        f.kind = kindOfDeclared(declared ? QByteArray(declared) : QByteArray());
        undeclared << (declared == nullptr);
        fields << f;
    }
    setFields(fields);

    int rc;
    bool first = true;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (first) {
            // A computed column (a sum, a count) takes the kind of its first value.
            for (int c = 0; c < columns; ++c) {
                if (!undeclared.at(c))
                    continue;
                const int t = sqlite3_column_type(stmt, c);
                m_fields[c].kind = (t == SQLITE_INTEGER || t == SQLITE_FLOAT) ? Kind::Real
                                   : t == SQLITE_BLOB                         ? Kind::Blob
                                                                              : Kind::Text;
            }
            first = false;
        }
        for (int c = 0; c < columns; ++c) {
            Column& col = m_columns[c];
            const bool null = sqlite3_column_type(stmt, c) == SQLITE_NULL;
            col.nulls.push_back(null);
            switch (m_fields.at(c).kind) {
            case Kind::Integer:
                col.ints.push_back(null ? 0 : sqlite3_column_int64(stmt, c));
                break;
            case Kind::Real:
                col.reals.push_back(null ? 0.0 : sqlite3_column_double(stmt, c));
                break;
            case Kind::Text: {
                const unsigned char* s = null ? nullptr : sqlite3_column_text(stmt, c);
                const int n = null ? 0 : sqlite3_column_bytes(stmt, c);
                col.arena.append(reinterpret_cast<const char*>(s), n);
                col.offsets.push_back(col.arena.size());
                break;
            }
            case Kind::Blob: {
                const void* b = null ? nullptr : sqlite3_column_blob(stmt, c);
                const int n = null ? 0 : sqlite3_column_bytes(stmt, c);
                col.arena.append(static_cast<const char*>(b), n);
                col.offsets.push_back(col.arena.size());
                break;
            }
            }
        }
        ++m_rows;
    }
    if (rc != SQLITE_DONE) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(h));
        return false;
    }
    m_loadedRows = m_rows;
    squeeze();
    return true;
}

void RecordSet::squeeze()
{
    // The blocks grew by doubling while the rows came in.
    for (Column& c : m_columns) {
        c.ints.shrink_to_fit();
        c.reals.shrink_to_fit();
        c.arena.squeeze();
        c.offsets.shrink_to_fit();
        c.nulls.shrink_to_fit();
    }
}

bool RecordSet::loadGeneric(Database& db, const QString& sql, const SqlParams& params,
                            QString* error)
{
    // Bound under the statement's own spelling of each name: Qt matches
    // names exactly, the program without regard to case.
    const QStringList names = Database::parameterNames(sql);
    SqlParams bound;
    for (const auto& [name, value] : params) {
        const auto it = std::find_if(names.cbegin(), names.cend(), [&](const QString& n) {
            return n.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == names.cend()) {
            if (error)
                *error = unknownParameter(name);
            return false;
        }
        bound.append({*it, value});
    }
    QSqlQuery q = db.prepare(sql, bound, error);
    if (q.lastError().isValid() || !db.exec(q, error))
        return false;
    const QSqlRecord record = q.record();
    QList<Field> fields;
    for (int c = 0; c < record.count(); ++c) {
        Field f;
        f.name = record.fieldName(c);
        switch (record.field(c).metaType().id()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Bool:
            f.kind = Kind::Integer;
            break;
        case QMetaType::Double:
            f.kind = Kind::Real;
            break;
        case QMetaType::QByteArray:
            f.kind = Kind::Blob;
            break;
        default:
            f.kind = Kind::Text;
            break;
        }
        fields << f;
    }
    setFields(fields);
    while (q.next()) {
        for (int c = 0; c < fields.size(); ++c)
            appendValue(c, q.value(c));
        ++m_rows;
    }
    m_loadedRows = m_rows;
    return true;
}

void RecordSet::appendValue(int field, const QVariant& v)
{
    Column& col = m_columns[field];
    const bool null = v.isNull();
    col.nulls.push_back(null);
    switch (m_fields.at(field).kind) {
    case Kind::Integer:
        col.ints.push_back(null ? 0 : v.toLongLong());
        break;
    case Kind::Real:
        col.reals.push_back(null ? 0.0 : v.toDouble());
        break;
    case Kind::Text:
        col.arena.append(null ? QByteArray() : v.toString().toUtf8());
        col.offsets.push_back(col.arena.size());
        break;
    case Kind::Blob:
        col.arena.append(null ? QByteArray() : v.toByteArray());
        col.offsets.push_back(col.arena.size());
        break;
    }
}

QVariant RecordSet::edited(int row, int field, bool* found) const
{
    // An appended row has nothing stored: its values are edits or empty.
    if (m_edits.isEmpty() && row < m_loadedRows) {
        *found = false;
        return {};
    }
    const auto it = m_edits.constFind(key(row, field));
    *found = it != m_edits.constEnd() || row >= m_loadedRows;
    return it != m_edits.constEnd() ? it.value() : QVariant();
}

QVariant RecordSet::storedValue(int row, int field) const
{
    const Column& col = m_columns.at(field);
    if (col.nulls[row])
        return {};
    switch (m_fields.at(field).kind) {
    case Kind::Integer:
        return QVariant(col.ints[row]);
    case Kind::Real:
        return QVariant(col.reals[row]);
    case Kind::Text:
        return QString::fromUtf8(col.arena.constData() + col.offsets[row],
                                 col.offsets[row + 1] - col.offsets[row]);
    case Kind::Blob:
        return col.arena.mid(col.offsets[row], col.offsets[row + 1] - col.offsets[row]);
    }
    return {};
}

bool RecordSet::isNull(int row, int field) const
{
    bool found = false;
    const QVariant e = edited(row, field, &found);
    if (found)
        return e.isNull();
    return m_columns.at(field).nulls[row];
}

QVariant RecordSet::value(int row, int field) const
{
    if (row < 0 || row >= m_rows || field < 0 || field >= fieldCount())
        return {};
    bool found = false;
    const QVariant e = edited(row, field, &found);
    return found ? e : storedValue(row, field);
}

QString RecordSet::text(int row, int field) const
{
    const QVariant v = value(row, field);
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double)
        return PlainNumber(v.toDouble());
    return v.toString();
}

double RecordSet::number(int row, int field) const
{
    if (row < 0 || row >= m_rows || field < 0 || field >= fieldCount())
        return 0.0;
    bool found = false;
    const QVariant e = edited(row, field, &found);
    if (found)
        return e.toDouble();
    const Column& col = m_columns.at(field);
    switch (m_fields.at(field).kind) {
    case Kind::Integer:
        return double(col.ints[row]);
    case Kind::Real:
        return col.reals[row];
    default:
        return storedValue(row, field).toDouble();
    }
}

qint64 RecordSet::integer(int row, int field) const
{
    if (row >= 0 && row < m_loadedRows && field >= 0 && field < fieldCount() &&
        m_fields.at(field).kind == Kind::Integer && m_edits.isEmpty())
        return m_columns.at(field).ints[row];
    return value(row, field).toLongLong();
}

int RecordSet::compare(int a, int b, int field) const
{
    const bool fast = m_edits.isEmpty() && a < m_loadedRows && b < m_loadedRows;
    if (!fast) {
        const QVariant va = value(a, field), vb = value(b, field);
        if (va.isNull() || vb.isNull())
            return int(vb.isNull()) - int(va.isNull()) == 0 ? 0 : (va.isNull() ? -1 : 1);
        if (m_fields.at(field).kind == Kind::Text)
            return va.toString().compare(vb.toString());
        const double x = va.toDouble(), y = vb.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const Column& col = m_columns.at(field);
    const bool na = col.nulls[a], nb = col.nulls[b];
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (m_fields.at(field).kind) {
    case Kind::Integer:
        return col.ints[a] < col.ints[b] ? -1 : (col.ints[a] > col.ints[b] ? 1 : 0);
    case Kind::Real:
        return col.reals[a] < col.reals[b] ? -1 : (col.reals[a] > col.reals[b] ? 1 : 0);
    case Kind::Text:
    case Kind::Blob: {
        // UTF-8 byte order is code point order.
        const TextOffset la = col.offsets[a + 1] - col.offsets[a];
        const TextOffset lb = col.offsets[b + 1] - col.offsets[b];
        const int r = std::memcmp(col.arena.constData() + col.offsets[a],
                                  col.arena.constData() + col.offsets[b], size_t(std::min(la, lb)));
        if (r != 0)
            return r < 0 ? -1 : 1;
        return la < lb ? -1 : (la > lb ? 1 : 0);
    }
    }
    return 0;
}

void RecordSet::setValue(int row, int field, const QVariant& value)
{
    if (row < 0 || row >= m_rows || field < 0 || field >= fieldCount())
        return;
    m_edits.insert(key(row, field), value);
}

int RecordSet::appendRow()
{
    return m_rows++;
}

void RecordSet::revertEdits()
{
    m_edits.clear();
    m_rows = m_loadedRows;
}

qint64 RecordSet::memoryBytes() const
{
    qint64 bytes = 0;
    for (const Column& c : m_columns) {
        bytes += qint64(c.ints.capacity() * sizeof(qint64));
        bytes += qint64(c.reals.capacity() * sizeof(double));
        bytes += c.arena.capacity();
        bytes += qint64(c.offsets.capacity() * sizeof(TextOffset));
        bytes += qint64(c.nulls.capacity() / 8);
    }
    return bytes + qint64(m_edits.size()) * 64;
}
