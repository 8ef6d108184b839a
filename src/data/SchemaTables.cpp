#include "data/Schema.h"

// Every table of a contract database and its columns, in column order.
// Widths of text columns are the longest text the screens accept (0: memo,
// no limit). Text of unstated width is 255, wide enough for any value that
// is copied into a contract column.

namespace Schema {

namespace {

using T = ColumnType;

Column counter()
{
    return {QStringLiteral("F_ID"), T::Counter, 0};
}
Column text(const char* name, int width = 255)
{
    return {QString::fromLatin1(name), T::Text, width};
}
Column memo(const char* name)
{
    return {QString::fromLatin1(name), T::Memo, 0};
}
Column lng(const char* name)
{
    return {QString::fromLatin1(name), T::Long, 0};
}
Column dbl(const char* name)
{
    return {QString::fromLatin1(name), T::Double, 0};
}
Column date(const char* name)
{
    return {QString::fromLatin1(name), T::DateTime, 0};
}
Column yesNo(const char* name)
{
    return {QString::fromLatin1(name), T::Bool, 0};
}
Column blob(const char* name)
{
    return {QString::fromLatin1(name), T::Blob, 0};
}

QList<Table> buildTables()
{
    QList<Table> t;

    // Contracts and the records kept under them.
    t << Table{
        "Contract",
        {counter(),           lng("F_cltID"),         text("F_code", 50),   text("F_name"),
         text("F_type"),      text("F_empname", 50),  date("F_date"),       dbl("F_totalPrice"),
         date("F_beginDate"), date("F_endDate"),      text("F_status", 50), memo("F_memo1"),
         text("F_filePath"),  memo("F_memo2"),        yesNo("F_GDflag"),    text("F_GDpath"),
         date("F_editDate"),  text("F_OperName", 50), text("F_client1"),    text("F_client2"),
         text("F_FZR1", 50),  text("F_FZR2", 50),     lng("F_SFflag"),      text("F_priceunit", 50),
         text("F_dept"),      text("F_ZF1", 50),      text("F_ZF2", 50),    text("F_ZF3", 50),
         text("F_ZF4", 50),   text("F_ZF5", 50),      date("F_RQ1"),        date("F_RQ2"),
         date("F_RQ3"),       date("F_RQ4"),          date("F_RQ5"),        dbl("F_SZ1"),
         dbl("F_SZ2"),        dbl("F_SZ3"),           dbl("F_SZ4"),         dbl("F_SZ5"),
         text("F_SHemp", 50), text("F_GCcode", 50),   text("F_GCname")}};
    t << Table{"t_SKrec",
               {counter(), lng("F_cltID"), date("F_date"), text("F_OldCode", 50), dbl("F_YSprice"),
                date("F_YSdate"), dbl("F_SKprice"), date("F_SKdate"), dbl("F_KPprice"),
                memo("F_memo1"), text("F_operName", 50)}};
    t << Table{"t_ZXrec",
               {counter(), date("F_date"), memo("F_Memo1"), text("F_empName", 50),
                date("F_editDate"), lng("F_cltID"), date("F_ZXdate"), memo("F_ZXmem"),
                text("F_GZL"), text("F_JD"), text("F_YWemp", 50)}};
    t << Table{"t_TXrec",
               {counter(), lng("F_cltID"), date("F_awokeDate"), text("F_awokeTime", 50),
                memo("F_memo1"), text("F_editDate", 50), text("F_operName", 50),
                text("F_caption")}};
    t << Table{"t_BGrec",
               {counter(), lng("F_cltID"), text("F_HTcode", 50), text("F_HTname", 50),
                text("F_BGitem", 50), memo("F_BGreason"), text("F_BGbegin", 50),
                text("F_BGend", 50), text("F_STemp", 50), date("F_STdate"), text("F_PZemp", 50),
                date("F_PZdate"), text("F_operName", 50), date("F_editDate"), memo("F_memo1"),
                date("F_BGdate")}};
    t << Table{"t_TPrec",
               {counter(), lng("F_cltID"), text("F_FileName", 50), text("F_imagePath"),
                text("F_FileExt", 50), blob("F_HTimage")}};
    t << Table{"t_FJrec",
               {counter(), lng("F_cltID"), text("F_fileName", 50), text("F_filePos"),
                text("F_fileExt", 50), memo("F_memo1"), text("F_empName", 50), date("F_editDate"),
                blob("F_fileOLE")}};
    t << Table{"t_GDrec",
               {counter(), lng("F_cltID"), text("F_GDcode", 50), text("F_GDname"), text("F_type"),
                text("F_spec", 50), text("F_unit", 50), dbl("F_amount"), dbl("F_price"),
                dbl("F_totalprice"), memo("F_memo1")}};
    t << Table{"t_FHrec",
               {counter(), lng("F_cltID"), text("F_FHemp", 50), date("F_FHdate"), date("F_SHdate"),
                text("F_SHemp", 50), text("F_SHaddress"), text("F_SHphone", 50),
                text("F_SHhandPhone", 50), text("F_FHfilePath"), memo("F_memo1"),
                date("F_editDate"), lng("F_mainID"), text("F_code", 50), text("F_OLDcode", 50),
                dbl("F_totalPrice"), text("F_operName", 50)}};
    t << Table{"t_FHdetail",
               {counter(), lng("F_mainID"), text("F_GDcode", 50), text("F_GDname"), text("F_type"),
                text("F_spec", 50), text("F_unit", 50), dbl("F_amount"), dbl("F_price"),
                dbl("F_totalprice"), memo("F_memo1"), text("F_code", 50)}};

    // Reference records.
    t << Table{"Client",
               {counter(), text("F_Code"), text("F_Name"), text("F_Type"), text("F_LinkMan", 50),
                text("F_Phone"), text("F_Address"), text("F_Postcode"), text("F_fax"),
                text("F_handPhone"), memo("F_Mem"), yesNo("F_useFlag"), text("F_bank"),
                text("F_account"), text("F_ratecode"), text("F_homepage"), text("F_Email"),
                text("F_Enrol")}};
    t << Table{"GCitem",
               {counter(),
                text("F_code", 50),
                text("F_name"),
                text("F_type"),
                text("F_FZRemp", 50),
                text("F_GCphone", 50),
                text("F_GCname", 50),
                text("F_GCpos"),
                text("F_GCtype", 50),
                text("F_GCprice", 50),
                date("F_fromDate"),
                date("F_toDate"),
                memo("F_memo1"),
                text("F_ZF1", 50),
                text("F_ZF2", 50),
                text("F_ZF3", 50),
                text("F_ZF4", 50),
                text("F_ZF5", 50),
                lng("F_SZ1"),
                lng("F_SZ2"),
                lng("F_SZ3"),
                date("F_RQ1"),
                date("F_RQ2"),
                date("F_RQ3"),
                yesNo("F_useFlag")}};
    t << Table{"t_GCdetail",
               {counter(), text("F_caption", 50), text("F_filePath"), memo("F_memo1"),
                text("F_GCcode", 50)}};
    t << Table{"t_goods",
               {counter(), text("F_code", 50), text("F_name", 50), text("F_type"),
                text("F_spec", 50), text("F_unit", 50), memo("F_memo1"), dbl("F_price"),
                yesNo("F_Flag")}};
    t << Table{"t_code", {counter(), text("F_type", 50), text("F_name")}};
    t << Table{
        "t_treecode",
        {counter(), text("F_code", 60), text("F_name"), text("F_likecode"), text("F_flag", 50)}};
    t << Table{"t_employee", {counter(), text("F_name", 50)}};

    // Operators and rights.
    t << Table{"OperList",
               {counter(), text("F_Name", 50), text("F_PassWord"), text("F_mem"), yesNo("F_Flag"),
                lng("F_xtFlag"), yesNo("F_SHflag"), memo("F_dept")}};
    t << Table{"OperLimit", {counter(), text("F_OperName", 50), text("F_lmtName", 100)}};
    t << Table{"Limits", {text("F_code", 10), text("F_name", 100), yesNo("F_flag")}};
    t << Table{"LogRec",
               {counter(), text("F_EmpName", 50), text("F_OperType"), text("F_OperDate", 20),
                text("F_OperTime", 20)}};

    // Configuration.
    t << Table{"cfg_grid",
               {counter(), text("F_name", 50), text("F_FieldName", 100), text("F_Caption", 100),
                lng("F_Width"), yesNo("F_Visible"), yesNo("F_ReadOnly"),
                text("F_DisplayFormat", 100), text("F_FooterValue", 100), lng("F_FooterType"),
                lng("F_Alignment"), lng("F_Order")}};
    t << Table{"cfg_import",
               {counter(), text("F_tablename", 50), lng("F_iFlag"), text("S_Field", 100),
                text("F_FieldName", 100), text("F_Field", 100)}};
    t << Table{"SysInfo",
               {counter(), text("F_Code", 50), text("F_Name"), text("F_BakPath"),
                text("F_Manager", 50), text("F_Phone", 50), text("F_HandPhone", 50),
                text("F_Email"), text("F_Homepage"), text("F_Enroler", 50), text("F_Mem")}};
    t << Table{"KeyValue", {counter(), text("F_Value")}};

    // Work tables (each workstation works on private copies; these stand for
    // the layout).
    t << Table{"tempSKrec",
               {text("F_HTcode", 50), text("F_HTname"), text("F_EmpName", 50), text("F_dept", 50),
                text("F_client1"), text("F_client2"), dbl("F_totalPrice"), text("F_priceUnit", 50),
                dbl("F_SKprice"), dbl("F_wSKprice"), dbl("F_KPprice"), dbl("F_wKPprice"),
                yesNo("F_flag"), lng("F_operFlag"), dbl("F_wSKrate")}};
    t << Table{"tempFHrec",
               {text("F_HTcode", 50), text("F_GDcode", 50), dbl("F_YFamount"), dbl("F_YFtotal"),
                dbl("F_SFamount"), dbl("F_SFtotal"), dbl("F_WFamount"), dbl("F_WFtotal"),
                dbl("F_WFrate"), lng("F_Flag")}};
    t << Table{"tempCode", {text("F_code", 50)}};
    return t;
}

} // namespace

const QList<Table>& tables()
{
    static const QList<Table> all = buildTables();
    return all;
}

const QList<Index>& indexes()
{
    static const QList<Index> all{
        {"Contract", "F_cltID"},    {"Contract", "F_date"},   {"Contract", "F_code"},
        {"Contract", "F_type"},     {"t_SKrec", "F_cltID"},   {"t_ZXrec", "F_cltID"},
        {"t_TXrec", "F_cltID"},     {"t_BGrec", "F_cltID"},   {"t_TPrec", "F_cltID"},
        {"t_FJrec", "F_cltID"},     {"t_GDrec", "F_cltID"},   {"t_FHrec", "F_cltID"},
        {"t_FHrec", "F_code"},      {"t_FHdetail", "F_code"}, {"OperLimit", "F_OperName"},
        {"cfg_grid", "F_name"},     {"t_code", "F_type"},     {"t_treecode", "F_flag"},
        {"t_goods", "F_code"},      {"Client", "F_Name"},     {"GCitem", "F_code"},
        {"t_GCdetail", "F_GCcode"},
    };
    return all;
}

} // namespace Schema
