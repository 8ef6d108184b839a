#include "support/ExportSamples.h"

#include "data/Database.h"

bool createExportSample(Database& db, const QString& filePath)
{
    if (!db.create(filePath))
        return false;
    return db.exec("CREATE TABLE t_sample(F_ID INTEGER PRIMARY KEY, F_code VARCHAR(20), "
                   "F_secret VARCHAR(20), F_name VARCHAR(50), F_date DATE_TEXT, "
                   "F_endDate DATE_TEXT, F_amount REAL, F_qty INTEGER, F_flag BOOLEAN, "
                   "F_note VARCHAR(50), F_numText VARCHAR(20))") &&
           db.exec("INSERT INTO t_sample(F_code, F_secret, F_name, F_date, F_endDate, F_amount, "
                   "F_qty, F_flag, F_note, F_numText) VALUES "
                   "('HT-001', 'x1', '办公楼土建工程合同', '2024-03-05', '3000-08-14', "
                   "1234567.875, 12, 1, '普通备注', '12.5'), "
                   "('HT-002', 'x2', '乙方“供货”合同', '1900-08-14', '2025-01-31', -0.5, 0, 0, "
                   "' 1900-08-14 ', 'abc'), "
                   "('HT-003', 'x3', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)");
}

RecordSet exportSampleRecords(Database& db)
{
    RecordSet records;
    records.load(db, "SELECT * FROM t_sample ORDER BY F_ID");
    return records;
}

GridColumns exportSampleColumns()
{
    GridColumns c;
    c << textColumn("F_code", "合同编号", 90);
    GridColumn secret = textColumn("F_secret", "隐藏列", 60);
    secret.visible = false;
    c << secret;
    c << textColumn("F_name", "合同名称", 180);
    c << textColumn("F_date", "签订日期", 90);
    c << textColumn("F_endDate", "截止日期", 90);
    c << sumColumn("F_amount", "合同金额", 110, ",0.00##");
    GridColumn qty = textColumn("F_qty", "数量", 60);
    qty.displayFormat = "0.##";
    c << qty;
    c << textColumn("F_flag", "已审批", 50);
    c << textColumn("F_note", "备注", 120);
    GridColumn numText = textColumn("F_numText", "数值文本", 80);
    numText.displayFormat = "0.00";
    c << numText;
    c << textColumn("F_amount", "金额原值", 100);
    return c;
}

bool addManyRows(Database& db, int rows)
{
    return db.exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < :rows) "
        "INSERT INTO t_sample(F_code, F_secret, F_name, F_date, F_endDate, F_amount, "
        "F_qty, F_flag, F_note, F_numText) "
        "SELECT printf('L%06d', i), 's', '批量合同' || i, '2023-12-31', '3000-08-14', "
        "i * 1.25, i % 7, i % 2, '', '' FROM n",
        {{":rows", rows}});
}
