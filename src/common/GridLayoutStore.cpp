#include "common/GridLayoutStore.h"

#include "data/Database.h"
#include "data/SeedLayouts.h"
#include "data/TransactionGuard.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

int footerTypeOf(const QVariant& v)
{
    const int t = v.toInt();
    return t == GridColumn::FooterText || t == GridColumn::FooterSum ? t : GridColumn::NoFooter;
}

int alignmentOf(const QVariant& v)
{
    bool ok = false;
    const int a = v.toInt(&ok);
    return ok && a >= GridColumn::AlignLeft && a <= GridColumn::AlignRight
               ? a
               : GridColumn::AlignDefault;
}

bool runPrepared(Database& db, QSqlQuery& q, QString* error)
{
    if (q.lastError().isValid()) {
        setError(error, q.lastError().text());
        return false;
    }
    return db.exec(q, error);
}

} // namespace

bool GridLayoutStore::load(const QString& name, GridColumns* columns, QString* error)
{
    columns->clear();
    if (!m_db.isOpen()) {
        setError(error, QStringLiteral("数据库未连接"));
        return false;
    }
    const QString sql =
        QStringLiteral("SELECT F_FieldName, F_Caption, F_Width, F_Visible, F_ReadOnly, "
                       "F_DisplayFormat, F_FooterValue, F_FooterType, F_Alignment "
                       "FROM cfg_grid WHERE %1 AND F_FieldName <> '' ORDER BY F_Order, F_ID")
            .arg(m_db.dialect().equalsNoCase(QStringLiteral("F_name"), QStringLiteral(":name")));
    QSqlQuery q = m_db.prepare(sql, {{QStringLiteral(":name"), name}}, error);
    if (!runPrepared(m_db, q, error))
        return false;
    while (q.next()) {
        GridColumn c;
        c.fieldName = q.value(0).toString();
        // A field name of blanks names no field either.
        if (c.fieldName.trimmed().isEmpty())
            continue;
        c.title = q.value(1).toString();
        c.width = q.value(2).toInt();
        c.visible = q.value(3).toBool();
        c.readOnly = q.value(4).toBool();
        c.displayFormat = q.value(5).toString();
        c.footerValue = q.value(6).toString();
        c.footerType = footerTypeOf(q.value(7));
        c.alignment = alignmentOf(q.value(8));
        *columns << c;
    }
    if (q.lastError().isValid()) {
        setError(error, q.lastError().text());
        return false;
    }
    return true;
}

bool GridLayoutStore::save(const QString& name, const GridColumns& columns, QString* error)
{
    if (!m_db.isOpen()) {
        setError(error, QStringLiteral("数据库未连接"));
        return false;
    }
    const SqlDialect& d = m_db.dialect();
    const QString update =
        QStringLiteral("UPDATE cfg_grid SET F_Caption = :caption, F_Width = :width, "
                       "F_ReadOnly = :ro, F_Visible = :visible, F_Order = :ord, "
                       "F_Alignment = :align, F_DisplayFormat = :fmt, F_FooterValue = :fv, "
                       "F_FooterType = :ft WHERE %1 AND %2")
            .arg(d.equalsNoCase(QStringLiteral("F_name"), QStringLiteral(":name")),
                 d.equalsNoCase(QStringLiteral("F_FieldName"), QStringLiteral(":field")));
    const QString insert = QStringLiteral(
        "INSERT INTO cfg_grid(F_name, F_FieldName, F_Caption, F_Width, F_Visible, F_ReadOnly, "
        "F_DisplayFormat, F_FooterValue, F_FooterType, F_Alignment, F_Order) "
        "VALUES(:name, :field, :caption, :width, :visible, :ro, :fmt, :fv, :ft, :align, :ord)");

    TransactionGuard guard(m_db);
    if (!guard.isActive()) {
        setError(error, guard.error());
        return false;
    }
    for (int i = 0; i < columns.size(); ++i) {
        const GridColumn& c = columns.at(i);
        // Loading skips such rows, so storing one would be lost work.
        if (c.fieldName.trimmed().isEmpty())
            continue;
        const int footer =
            c.footerType == GridColumn::FooterText || c.footerType == GridColumn::FooterSum
                ? c.footerType
                : int(GridColumn::NoFooter);
        const int align =
            c.alignment >= GridColumn::AlignLeft && c.alignment <= GridColumn::AlignRight
                ? c.alignment
                : int(GridColumn::AlignDefault);
        SqlParams values{
            {QStringLiteral(":caption"), c.title},
            {QStringLiteral(":width"), c.width},
            {QStringLiteral(":ro"), c.readOnly},
            {QStringLiteral(":visible"), c.visible},
            {QStringLiteral(":ord"), i},
            {QStringLiteral(":align"), align},
            {QStringLiteral(":fmt"), c.displayFormat},
            {QStringLiteral(":fv"), c.footerValue},
            {QStringLiteral(":ft"), footer},
            {QStringLiteral(":field"), c.fieldName},
        };
        QSqlQuery q =
            m_db.prepare(update, values + SqlParams{{QStringLiteral(":name"), name}}, error);
        if (!runPrepared(m_db, q, error))
            return false;
        if (q.numRowsAffected() > 0)
            continue;
        QSqlQuery add = m_db.prepare(
            insert, values + SqlParams{{QStringLiteral(":name"), name.toLower()}}, error);
        if (!runPrepared(m_db, add, error))
            return false;
    }
    if (!guard.commit()) {
        setError(error, guard.error());
        return false;
    }
    return true;
}

GridColumns GridLayoutStore::builtColumns(const QString& layout)
{
    GridColumns columns;
    for (const SeedGridColumn& s : seedGridColumns()) {
        if (QString::fromUtf8(s.layout).compare(layout, Qt::CaseInsensitive) != 0)
            continue;
        GridColumn c;
        c.fieldName = QString::fromUtf8(s.field);
        c.title = QString::fromUtf8(s.caption);
        c.width = s.width;
        c.visible = s.visible;
        c.readOnly = true;
        c.displayFormat = QString::fromUtf8(s.displayFormat);
        c.footerValue = QString::fromUtf8(s.footerValue);
        c.footerType = s.footerType;
        c.alignment = s.alignment;
        columns << c;
    }
    return columns;
}
