#include "maintenance/SpreadsheetImport.h"

#include "data/Database.h"
#include "data/Schema.h"
#include "data/TransactionGuard.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlQuery>

#include <cmath>
#include <memory>

namespace SpreadsheetImport {

namespace {

bool isField(const QString& field, const char* name)
{
    return field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool parseDate(const QString& text, QDate* date)
{
    static const QRegularExpression dashed(QStringLiteral(
        "^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})(?:[ T]\\d{1,2}:\\d{2}(?::\\d{2})?)?$"));
    static const QRegularExpression chinese(
        QStringLiteral("^(\\d{4})\\s*年\\s*(\\d{1,2})\\s*月\\s*(\\d{1,2})\\s*日$"));
    QRegularExpressionMatch m = dashed.match(text);
    if (!m.hasMatch())
        m = chinese.match(text);
    if (!m.hasMatch())
        return false;
    *date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return date->isValid();
}

bool parseNumber(const QString& text, double* value)
{
    QString t = text;
    t.remove(QLatin1Char(','));
    t.remove(QLatin1Char(' '));
    bool ok = false;
    *value = t.toDouble(&ok);
    return ok && std::isfinite(*value);
}

} // namespace

QString tableOf(const QString& kind)
{
    if (kind.compare(QLatin1String("contract"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Contract");
    if (kind.compare(QLatin1String("client"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Client");
    return {};
}

bool loadMapping(Database& db, const QString& kind, QList<Mapping>* mapping, QString* error)
{
    mapping->clear();
    const QString table = tableOf(kind);
    if (table.isEmpty()) {
        if (error)
            *error = QStringLiteral("没有这种导入：%1").arg(kind);
        return false;
    }
    QSqlQuery q = db.prepare(QStringLiteral("SELECT S_Field, F_FieldName, F_Field FROM cfg_import "
                                            "WHERE F_tablename = :t AND F_iFlag = 1"),
                             {{QStringLiteral(":t"), kind.toLower()}}, error);
    if (!db.exec(q, error))
        return false;
    while (q.next()) {
        const QString stored = q.value(0).toString().trimmed();
        const Schema::Column* column = Schema::findColumn(table, stored);
        if (!column || column->type == Schema::ColumnType::Counter ||
            column->type == Schema::ColumnType::Blob || isField(column->name, "F_cltID")) {
            if (error)
                *error = QStringLiteral("导入设置中的字段“%1”不能导入到 %2").arg(stored, table);
            mapping->clear();
            return false;
        }
        mapping->append(
            {column->name, q.value(1).toString().trimmed(), q.value(2).toString().trimmed()});
    }
    return true;
}

void takeHeadingsFromCaptions(QList<Mapping>* mapping, const QStringList& headings)
{
    for (Mapping& m : *mapping) {
        if (m.heading.isEmpty() && !m.caption.isEmpty() && headings.contains(m.caption))
            m.heading = m.caption;
    }
}

QStringList missingHeadings(const QList<Mapping>& mapping, const QStringList& headings)
{
    QStringList out;
    for (const Mapping& m : mapping) {
        if (!m.heading.isEmpty() && !headings.contains(m.heading))
            out << m.caption;
    }
    return out;
}

Batch collect(const QString& kind, const QList<Mapping>& mapping, const SpreadsheetSheet& sheet)
{
    Batch batch;
    batch.kind = kind.toLower();
    batch.table = tableOf(kind);
    batch.mapping = mapping;
    QList<int> columns;
    for (const Mapping& m : mapping)
        columns << (m.heading.isEmpty() ? -1 : sheet.columnOf(m.heading));
    batch.rows.reserve(qMax<qsizetype>(0, sheet.rows.size() - 1));
    for (int r = 1; r < sheet.rows.size(); ++r) {
        Row row;
        row.sheetRow = r + 1;
        row.cells.reserve(columns.size());
        for (int c : columns)
            row.cells << (c < 0 ? SpreadsheetCell{} : sheet.cell(r, c));
        batch.rows << row;
    }
    return batch;
}

QString describe(const Problem& problem)
{
    return QStringLiteral("第 %1 行 %2: %3")
        .arg(problem.sheetRow)
        .arg(problem.caption, problem.reason);
}

bool convert(const QString& table, const QString& field, const SpreadsheetCell& cell,
             QVariant* value, QString* reason)
{
    *value = QVariant();
    if (cell.isEmpty())
        return true;
    const Schema::Column* column = Schema::findColumn(table, field);
    if (!column) {
        *reason = QStringLiteral("没有这个字段");
        return false;
    }
    const QString text = cell.shown().trimmed();
    switch (column->type) {
    case Schema::ColumnType::Text:
    case Schema::ColumnType::Memo: {
        const QString shown = cell.kind == SpreadsheetCell::Text ? cell.text : cell.shown();
        if (column->width > 0 && shown.size() > column->width) {
            *reason =
                QStringLiteral("超过 %1 个字（%2 个字）").arg(column->width).arg(shown.size());
            return false;
        }
        *value = shown;
        return true;
    }
    case Schema::ColumnType::DateTime: {
        QDate date;
        if (cell.kind == SpreadsheetCell::Date)
            date = cell.date;
        else if (cell.kind != SpreadsheetCell::Text || !parseDate(text, &date)) {
            *reason = QStringLiteral("不是日期（如 2024-01-15、2024/1/15、2024年1月15日）");
            return false;
        }
        *value = date;
        return true;
    }
    case Schema::ColumnType::Double: {
        double number = 0;
        if (cell.kind == SpreadsheetCell::Number)
            number = cell.number;
        else if (cell.kind != SpreadsheetCell::Text || !parseNumber(text, &number)) {
            *reason = QStringLiteral("不是数字");
            return false;
        }
        *value = number;
        return true;
    }
    case Schema::ColumnType::Long: {
        if (isField(field, "F_SFflag")) {
            if (text == QLatin1String("1") || text == QStringLiteral("收款")) {
                *value = 1;
                return true;
            }
            if (text == QLatin1String("-1") || text == QStringLiteral("付款")) {
                *value = -1;
                return true;
            }
            *reason = QStringLiteral("只能是 1、-1、收款 或 付款");
            return false;
        }
        double number = 0;
        const bool numeric = cell.kind == SpreadsheetCell::Number
                                 ? (number = cell.number, true)
                                 : cell.kind == SpreadsheetCell::Text && parseNumber(text, &number);
        if (!numeric || number != std::floor(number) || std::fabs(number) > 2147483647.0) {
            *reason = QStringLiteral("不是整数");
            return false;
        }
        *value = int(number);
        return true;
    }
    case Schema::ColumnType::Bool: {
        if (cell.kind == SpreadsheetCell::Bool || cell.kind == SpreadsheetCell::Number) {
            if (cell.number == 1 || cell.number == 0) {
                *value = cell.number == 1;
                return true;
            }
        } else if (cell.kind == SpreadsheetCell::Text) {
            if (text == QStringLiteral("是") || text == QLatin1String("1") ||
                text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) {
                *value = true;
                return true;
            }
            if (text == QStringLiteral("否") || text == QLatin1String("0") ||
                text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
                *value = false;
                return true;
            }
        }
        *reason = QStringLiteral("只能是 是/否、1/0 或 TRUE/FALSE");
        return false;
    }
    case Schema::ColumnType::Counter:
    case Schema::ColumnType::Blob:
        break;
    }
    *reason = QStringLiteral("这个字段不能导入");
    return false;
}

Checked check(const Batch& batch)
{
    Checked out;
    int code = -1, name = -1;
    for (int i = 0; i < batch.mapping.size(); ++i) {
        if (isField(batch.mapping.at(i).field, "F_code"))
            code = i;
        else if (isField(batch.mapping.at(i).field, "F_name"))
            name = i;
    }
    for (int r = 0; r < batch.rows.size(); ++r) {
        const Row& row = batch.rows.at(r);
        bool anything = false;
        for (const SpreadsheetCell& c : row.cells)
            anything = anything || !c.isEmpty();
        const bool noCode = code < 0 || row.cells.value(code).isEmpty();
        const bool noName = name < 0 || row.cells.value(name).isEmpty();
        if (!anything || (noCode && noName)) {
            ++out.skipped;
            continue;
        }
        QList<QVariant> values;
        values.reserve(row.cells.size());
        for (int i = 0; i < row.cells.size(); ++i) {
            QVariant value;
            QString reason;
            if (!convert(batch.table, batch.mapping.at(i).field, row.cells.at(i), &value, &reason))
                out.problems << Problem{r, row.sheetRow, i, batch.mapping.at(i).caption, reason};
            values << value;
        }
        out.rowsToWrite << r;
        out.values << values;
    }
    return out;
}

WriteResult write(Database& db, const Batch& batch, const Checked& checked,
                  const Progress& progress)
{
    WriteResult result;
    if (!checked.problems.isEmpty()) {
        result.error = QStringLiteral("还有 %1 处错误").arg(checked.problems.size());
        return result;
    }
    const bool contract = batch.table == QLatin1String("Contract");
    const int total = int(checked.rowsToWrite.size());
    TransactionGuard guard(db);
    if (!guard.isActive()) {
        result.error = guard.error();
        return result;
    }
    qint64 link = 0;
    if (contract) {
        // Inside the transaction, which holds the write lock: no other
        // workstation takes these numbers meanwhile.
        bool ok = false;
        const QVariant largest =
            db.scalar(QStringLiteral("SELECT max(F_cltID) FROM Contract"), {}, &ok, &result.error);
        if (!ok)
            return result;
        link = largest.toLongLong() + 1;
    }
    // One prepared statement per set of filled columns: empty cells leave
    // their columns to the table's defaults.
    QHash<QString, std::shared_ptr<QSqlQuery>> statements;
    for (int i = 0; i < total; ++i) {
        const QList<QVariant>& values = checked.values.at(i);
        QStringList columns, params;
        QList<QVariant> bound;
        if (contract) {
            columns << QStringLiteral("F_cltID");
            params << QStringLiteral(":p0");
            bound << link++;
        }
        for (int c = 0; c < values.size(); ++c) {
            if (!values.at(c).isValid())
                continue;
            columns << batch.mapping.at(c).field;
            params << QStringLiteral(":p%1").arg(bound.size());
            bound << values.at(c);
        }
        if (columns.isEmpty())
            continue;
        const QString key = columns.join(QLatin1Char(','));
        std::shared_ptr<QSqlQuery>& query = statements[key];
        if (!query) {
            // Column names come from the table's own description, never from the file.
            query = std::make_shared<QSqlQuery>(
                db.prepare(QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                               .arg(batch.table, key, params.join(QLatin1Char(','))),
                           {}, &result.error));
        }
        for (int p = 0; p < bound.size(); ++p)
            query->bindValue(params.at(p), Database::toSqlValue(bound.at(p)));
        if (!db.exec(*query, &result.error))
            return result;
        ++result.written;
        if (progress && (i % 256 == 0 || i + 1 == total) && !progress(i + 1, total)) {
            result.cancelled = true;
            result.written = 0;
            return result;
        }
    }
    statements.clear();
    if (!guard.commit()) {
        result.error = guard.error();
        result.written = 0;
        return result;
    }
    result.ok = true;
    return result;
}

FileResult importFile(Database& db, const QString& path, const QString& kind,
                      const QString& sheetName)
{
    FileResult out;
    Spreadsheet book;
    QString error;
    if (!book.read(path, &error)) {
        out.error = error;
        return out;
    }
    if (book.sheets().isEmpty()) {
        out.error = QStringLiteral("表格文件中没有工作表：%1").arg(path);
        return out;
    }
    const SpreadsheetSheet* sheet =
        sheetName.isEmpty() ? &book.sheets().first() : book.sheet(sheetName);
    if (!sheet) {
        out.error = QStringLiteral("表格文件中没有工作表“%1”（有：%2）")
                        .arg(sheetName, book.sheetNames().join(QStringLiteral("、")));
        return out;
    }
    QList<Mapping> mapping;
    if (!loadMapping(db, kind, &mapping, &error)) {
        out.error =
            QStringLiteral("读取导入设置失败：%1\n%2").arg(Database::plainReason(error), error);
        return out;
    }
    const QStringList headings = sheet->headings();
    takeHeadingsFromCaptions(&mapping, headings);
    out.missingHeadings = missingHeadings(mapping, headings);
    const Batch batch = collect(kind, mapping, *sheet);
    const Checked checked = check(batch);
    out.skipped = checked.skipped;
    out.problems = checked.problems;
    if (!out.problems.isEmpty())
        return out;
    const WriteResult written = write(db, batch, checked);
    if (!written.ok) {
        out.error = QStringLiteral("导入失败：%1\n%2")
                        .arg(Database::plainReason(written.error), written.error);
        return out;
    }
    out.written = written.written;
    out.ok = true;
    return out;
}

} // namespace SpreadsheetImport
