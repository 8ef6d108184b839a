// contract-bench: how fast the contract list of the main window opens,
// searches, sorts, sums and exports on a large demo database, and how much
// memory the open list holds.
//
// Opening and searching are compared with the floor: the same statement
// stepped through with the plain SQLite C API, reading every column of every
// row. The ratio program/floor is what the list adds on top of SQLite.
//
// The demo database is made once per size by `contract-admin demo` and kept
// in the cache folder (build/bench-cache by default).

#include "browser/TFrmMain.h"
#include "common/DataGrid.h"
#include "common/GridColumn.h"
#include "common/GridLayoutStore.h"
#include "common/ListScreen.h"
#include "common/PickerRegistry.h"
#include "common/RecordModel.h"
#include "common/RecordSet.h"
#include "common/XlsxExport.h"
#include "contracts/ContractRows.h"
#include "data/Database.h"
#include "data/DataServicesUi.h"
#include "data/SqlBuilder.h"
#include "data/TdmData.h"
#include "maintenance/SpreadsheetImport.h"
#include "maintenance/XlsxParts.h"
#include "operators/LoginService.h"
#include "platform/AppPaths.h"
#include "platform/ScriptedDialogs.h"
#include "reference/ClientStore.h"
#include "reference/GoodsStore.h"
#include "reference/TDlgCltXz.h"
#include "reference/TDlgGoodXz.h"
#include "reference/TfrmCltMan.h"
#include "reference/TfrmGoodSet.h"
#include "shipments/ShipmentStore.h"
#include "shipments/TfrmOutXiaoShouDeptCX.h"

#ifdef BENCH_HAVE_XLSX_EXPORT
#include "common/XlsxExport.h"
#endif

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPixmap>
#include <QProcess>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

#include <orcus/csv_parser.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

struct Options
{
    int contracts = 100000;
    // Catalogue sizes of the reference screens (the demo's own are too
    // small to measure anything).
    int goods = 100000;
    int clients = 50000;
    int runs = 5;
    QString cacheDir = QStringLiteral(BENCH_DEFAULT_CACHE);
    QString search = QStringLiteral("大厦");
    QString screenshot; // a picture of the whole list, archived included
};

const char* const kUsage =
    "用法: contract-bench [--contracts N] [--goods N] [--clients N] [--runs R] [--cache 文件夹]\n"
    "                     [--search 文字]\n"
    "  --contracts N   演示数据库的合同份数 (默认 100000)\n"
    "  --goods N       货品资料条数 (默认 100000)\n"
    "  --clients N     往来单位条数 (默认 50000)\n"
    "  --runs R        每项测量的次数 (默认 5)\n"
    "  --cache 文件夹  演示数据库的缓存文件夹 (默认 build/bench-cache)\n"
    "  --search 文字   合同名称的查询文字 (默认 大厦)\n"
    "  --screenshot 文件  只保存全部合同 (含已归档) 列表的截图 (PNG)\n";

// The statements of the main window's contract list (administrator, no
// filter, archived contracts excluded), and the same with a name search.
const QString kListSql =
    QStringLiteral("select * from Contract where (1=1) and F_GDflag = 0 order by F_date");
const QString kSearchSql = QStringLiteral(
    "select * from Contract where (1=1) and f_name like :p1 and F_GDflag = 0 order by F_date");

// ---- Timing

struct Samples
{
    std::vector<double> ms;

    void add(double v) { ms.push_back(v); }
    double median() const
    {
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        if (s.empty())
            return 0.0;
        const size_t n = s.size();
        return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2.0;
    }
    double min() const { return ms.empty() ? 0.0 : *std::min_element(ms.begin(), ms.end()); }
    double max() const { return ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end()); }
};

QString fmtMs(double ms)
{
    return QString::number(ms, 'f', ms < 10 ? 3 : 1);
}

// "median 123.4 ms (min–max 120.1–130.2)"
QString describe(const Samples& s)
{
    return QStringLiteral("median %1 ms (%2–%3)")
        .arg(fmtMs(s.median()), fmtMs(s.min()), fmtMs(s.max()));
}

double elapsedMs(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// ---- Process figures

qint64 statusKb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray wanted = QByteArray(key) + ':';
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(wanted))
            return line.mid(wanted.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// ---- The demo database

QString ensureDatabase(const Options& o)
{
    const QString folder = QDir(o.cacheDir)
                               .filePath(QStringLiteral("contracts-%1-goods-%2-clients-%3")
                                             .arg(o.contracts)
                                             .arg(o.goods)
                                             .arg(o.clients));
    const QString file = QDir(folder).filePath(AppPaths::databaseFileName());
    if (QFileInfo::exists(file))
        return file;

    // Made beside the final folder and renamed when complete, so that an
    // interrupted run never leaves a half-filled database in the cache.
    const QString work = folder + QStringLiteral(".part");
    QDir(work).removeRecursively();
    if (!QDir().mkpath(o.cacheDir)) {
        err() << "无法创建缓存文件夹: " << o.cacheDir << Qt::endl;
        return {};
    }
    out() << "creating demo database with " << o.contracts << " contracts in " << folder << " ..."
          << Qt::endl;
    QProcess admin;
    admin.setProcessChannelMode(QProcess::ForwardedChannels);
    admin.start(QStringLiteral(CONTRACT_ADMIN_EXE),
                {QStringLiteral("demo"), work, QStringLiteral("--contracts"),
                 QString::number(o.contracts), QStringLiteral("--goods"), QString::number(o.goods),
                 QStringLiteral("--clients"), QString::number(o.clients)});
    if (!admin.waitForFinished(-1) || admin.exitStatus() != QProcess::NormalExit ||
        admin.exitCode() != 0) {
        err() << "contract-admin demo 失败 (" << CONTRACT_ADMIN_EXE << ")" << Qt::endl;
        QDir(work).removeRecursively();
        return {};
    }
    if (!QDir().rename(work, folder)) {
        err() << "无法改名 " << work << " 为 " << folder << Qt::endl;
        return {};
    }
    return file;
}

// ---- The grid layout

GridColumns loadLayout(Database& db, const QString& name)
{
    GridColumns columns;
    QString error;
    if (!GridLayoutStore(db).load(name, &columns, &error))
        err() << "读取列布局失败: " << error << Qt::endl;
    return columns;
}

// ---- The floor: plain SQLite

struct Floor
{
    sqlite3* db = nullptr;
    quint64 checksum = 0; // keeps the reads from being optimised away

    bool open(const QString& file)
    {
        if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK) {
            err() << "sqlite3_open_v2: " << sqlite3_errmsg(db) << Qt::endl;
            return false;
        }
        return true;
    }
    ~Floor() { sqlite3_close_v2(db); }

    // As run(), with the values of a statement the program built.
    qint64 run(const SqlBuilder& b) { return runBound(b.sql(), b.params()); }

    qint64 runBound(const QString& sql, const SqlParams& params)
    {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) !=
            SQLITE_OK) {
            err() << "prepare: " << sqlite3_errmsg(db) << Qt::endl;
            return -1;
        }
        for (auto it = params.cbegin(); it != params.cend(); ++it) {
            const int index = sqlite3_bind_parameter_index(stmt, it->first.toUtf8().constData());
            const QVariant& v = it->second;
            if (v.isNull())
                sqlite3_bind_null(stmt, index);
            else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
                     v.typeId() == QMetaType::Bool)
                sqlite3_bind_int64(stmt, index, v.toLongLong());
            else if (v.typeId() == QMetaType::Double)
                sqlite3_bind_double(stmt, index, v.toDouble());
            else {
                const QByteArray bytes = v.toString().toUtf8();
                sqlite3_bind_text(stmt, index, bytes.constData(), int(bytes.size()),
                                  SQLITE_TRANSIENT);
            }
        }
        return step(stmt);
    }

    // Steps through every row, reading every column with the call of its type.
    qint64 run(const QString& sql, const QByteArray& p1 = {})
    {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) !=
            SQLITE_OK) {
            err() << "prepare: " << sqlite3_errmsg(db) << Qt::endl;
            return -1;
        }
        if (!p1.isNull())
            sqlite3_bind_text(stmt, sqlite3_bind_parameter_index(stmt, ":p1"), p1.constData(),
                              int(p1.size()), SQLITE_TRANSIENT);
        return step(stmt);
    }

    qint64 step(sqlite3_stmt* stmt)
    {
        const int columns = sqlite3_column_count(stmt);
        qint64 rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    checksum += quint64(sqlite3_column_int64(stmt, c));
                    break;
                case SQLITE_FLOAT:
                    checksum += quint64(sqlite3_column_double(stmt, c));
                    break;
                case SQLITE_TEXT: {
                    const unsigned char* s = sqlite3_column_text(stmt, c);
                    const int n = sqlite3_column_bytes(stmt, c);
                    checksum += quint64(n) + (n > 0 ? s[0] : 0);
                    break;
                }
                case SQLITE_BLOB: {
                    sqlite3_column_blob(stmt, c);
                    checksum += quint64(sqlite3_column_bytes(stmt, c));
                    break;
                }
                default:
                    break;
                }
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
        return rows;
    }
};

// ---- The program: a grid showing its first screen

struct Shown
{
    std::unique_ptr<DataGrid> grid;
    double ms = 0.0;
    bool ok = false;
};

Shown openGrid(Database& db, const QString& sql, const SqlParams& params)
{
    Shown s;
    QElapsedTimer t;
    t.start();
    s.grid = std::make_unique<DataGrid>();
    s.grid->setColumns(loadLayout(db, QStringLiteral("clientmain")));
    QString error;
    s.ok = s.grid->open(db, sql, params, &error);
    if (!s.ok)
        err() << "打开列表失败: " << error << Qt::endl;
    s.grid->resize(1200, 700);
    s.grid->show();
    QCoreApplication::processEvents();
    const QPixmap screen = s.grid->grab();
    s.ms = elapsedMs(t);
    return s;
}

QString ratioText(double r)
{
    return QString::number(r, 'f', 2);
}

QString verdict(bool ok)
{
    return ok ? QStringLiteral("ok") : QStringLiteral("MISSED");
}

// ---- The spreadsheet import

namespace oss = orcus::spreadsheet;
namespace oif = orcus::spreadsheet::iface;

// The floor's reader: orcus parses the file and every cell is dropped.
class DroppedStrings : public oif::import_shared_strings
{
public:
    size_t append(std::string_view) override { return m_count++; }
    size_t add(std::string_view) override { return m_count++; }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(oss::color_elem_t, oss::color_elem_t, oss::color_elem_t,
                                oss::color_elem_t) override
    {
    }
    void append_segment(std::string_view) override {}
    size_t commit_segments() override { return m_count++; }

private:
    size_t m_count = 0;
};

class DroppedSheet : public oif::import_sheet
{
public:
    quint64 cells = 0;
    void set_auto(oss::row_t, oss::col_t, std::string_view) override { ++cells; }
    void set_string(oss::row_t, oss::col_t, oss::string_id_t) override { ++cells; }
    void set_value(oss::row_t, oss::col_t, double) override { ++cells; }
    void set_bool(oss::row_t, oss::col_t, bool) override { ++cells; }
    void set_date_time(oss::row_t, oss::col_t, int, int, int, int, int, double) override
    {
        ++cells;
    }
    void set_format(oss::row_t, oss::col_t, size_t) override {}
    void set_format(oss::row_t, oss::col_t, oss::row_t, oss::col_t, size_t) override {}
    void fill_down_cells(oss::row_t, oss::col_t, oss::row_t) override {}
    oss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }
};

class DroppedFactory : public oif::import_factory
{
public:
    oif::import_shared_strings* get_shared_strings() override { return &m_strings; }
    oif::import_reference_resolver* get_reference_resolver(oss::formula_ref_context_t) override
    {
        return &m_references;
    }
    oif::import_sheet* append_sheet(oss::sheet_t, std::string_view) override
    {
        m_sheets.push_back(std::make_unique<DroppedSheet>());
        return m_sheets.back().get();
    }
    oif::import_sheet* get_sheet(std::string_view) override
    {
        return m_sheets.empty() ? nullptr : m_sheets.front().get();
    }
    oif::import_sheet* get_sheet(oss::sheet_t index) override
    {
        return index >= 0 && size_t(index) < m_sheets.size() ? m_sheets[size_t(index)].get()
                                                             : nullptr;
    }
    void finalize() override {}
    quint64 cells() const
    {
        quint64 n = 0;
        for (const auto& s : m_sheets)
            n += s->cells;
        return n;
    }

private:
    DroppedStrings m_strings;
    XlsxCellReferences m_references;
    std::vector<std::unique_ptr<DroppedSheet>> m_sheets;
};

struct DroppedCsv : public orcus::csv_handler
{
    quint64 cells = 0;
    void cell(const char*, size_t, bool) { ++cells; }
};

// What the floor writes: the source rows, already in their stored form,
// through one prepared INSERT in one transaction.
bool insertRows(const QString& file, const QStringList& fields, const RecordModel& rows)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    QStringList marks;
    for (int i = 0; i < fields.size(); ++i)
        marks << QStringLiteral("?");
    const QByteArray sql = QStringLiteral("INSERT INTO Contract(F_cltID, %1) VALUES(?, %2)")
                               .arg(fields.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                               .toUtf8();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    bool ok = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) == SQLITE_OK;
    for (int r = 0; ok && r < rows.rowCount(); ++r) {
        sqlite3_bind_int64(stmt, 1, r + 1);
        for (int c = 0; c < fields.size(); ++c) {
            const QByteArray v = rows.text(r, fields.at(c)).toUtf8();
            sqlite3_bind_text(stmt, c + 2, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    return ok;
}

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

struct ImportRatios
{
    double csv = 0;
    double xlsx = 0;
};

// 100,000 contract rows read, converted and written by the import, against
// orcus parsing the same file into nothing plus one prepared INSERT of the
// rows.
ImportRatios measureImport(const Options& o, const QString& demoFile)
{
    ImportRatios r;
    QTemporaryDir work;
    const QString empty = work.filePath(QStringLiteral("empty/Contract.db"));
    {
        QProcess admin;
        admin.start(QStringLiteral(CONTRACT_ADMIN_EXE),
                    {QStringLiteral("init"), work.filePath(QStringLiteral("empty"))});
        if (!admin.waitForFinished(-1) || admin.exitCode() != 0 || !QFileInfo::exists(empty)) {
            out() << "9 import: contract-admin init 失败" << Qt::endl;
            return r;
        }
    }
    Database source(QStringLiteral("bench-import-source"));
    QString error;
    QList<SpreadsheetImport::Mapping> mapping;
    if (!source.open(demoFile, &error) ||
        !SpreadsheetImport::loadMapping(source, QStringLiteral("contract"), &mapping, &error)) {
        out() << "9 import: " << error << Qt::endl;
        return r;
    }
    // The columns the import takes, headed by their captions.
    QStringList fields;
    GridColumns columns;
    for (const SpreadsheetImport::Mapping& m : mapping) {
        if (m.field.compare(QLatin1String("F_cltID"), Qt::CaseInsensitive) == 0)
            continue;
        fields << m.field;
        columns << textColumn(m.field, m.caption, 80);
    }
    RecordModel rows;
    rows.setColumns(columns);
    if (!rows.open(source,
                   QStringLiteral("select %1 from Contract order by F_ID limit 100000")
                       .arg(fields.join(QLatin1Char(','))),
                   {}, &error)) {
        out() << "9 import: " << error << Qt::endl;
        return r;
    }
    const QString csvPath = work.filePath(QStringLiteral("contracts.csv"));
    const QString xlsxPath = work.filePath(QStringLiteral("contracts.xlsx"));
    {
        QFile f(csvPath);
        if (!f.open(QIODevice::WriteOnly)) {
            out() << "9 import: " << f.errorString() << Qt::endl;
            return r;
        }
        QStringList line;
        for (const GridColumn& c : columns)
            line << csvField(c.title);
        QByteArray text = line.join(QLatin1Char(',')).toUtf8() + "\r\n";
        for (int row = 0; row < rows.rowCount(); ++row) {
            line.clear();
            for (const QString& field : fields)
                line << csvField(rows.displayText(row, rows.columnOfField(field)));
            text += line.join(QLatin1Char(',')).toUtf8() + "\r\n";
        }
        f.write(text);
    }
    if (!WriteGridToXlsx(xlsxPath, QStringLiteral("合同"), rows, columns, &error)) {
        out() << "9 import: " << error << Qt::endl;
        return r;
    }

    const auto freshCopy = [&](int n) {
        const QString file = work.filePath(QStringLiteral("run%1.db").arg(n));
        QFile::remove(file);
        QFile::copy(empty, file);
        return file;
    };
    const auto measure = [&](const QString& path, bool xlsx) {
        Samples program, floorTimes;
        int written = 0;
        quint64 floorCells = 0;
        qint64 peakGrowthKb = 0;
        for (int run = 0; run < o.runs; ++run) {
            const QString target = freshCopy(run);
            const qint64 before = statusKb("VmRSS");
            QElapsedTimer t;
            t.start();
            {
                Database db(QStringLiteral("bench-import"));
                QString openError;
                if (!db.open(target, &openError)) {
                    out() << "9 import: " << openError << Qt::endl;
                    return 0.0;
                }
                const SpreadsheetImport::FileResult result =
                    SpreadsheetImport::importFile(db, path, QStringLiteral("contract"));
                if (!result.ok) {
                    out() << "9 import: " << result.error << " (" << result.problems.size()
                          << " problems)" << Qt::endl;
                    for (const SpreadsheetImport::Problem& p : result.problems.mid(0, 5))
                        out() << "  " << SpreadsheetImport::describe(p) << Qt::endl;
                    return 0.0;
                }
                written = result.written;
            }
            program.add(elapsedMs(t));
            peakGrowthKb = qMax(peakGrowthKb, statusKb("VmHWM") - before);

            const QString floorTarget = freshCopy(run + 100);
            t.start();
            quint64 cells = 0;
            if (xlsx) {
                DroppedFactory factory;
                orcus::orcus_xlsx reader(&factory);
                reader.read_file(path.toStdString());
                cells = factory.cells();
            } else {
                QFile f(path);
                f.open(QIODevice::ReadOnly);
                const QByteArray bytes = f.readAll();
                DroppedCsv handler;
                orcus::csv::parser_config config;
                config.delimiters.assign(1, ',');
                config.text_qualifier = '"';
                orcus::csv_parser<DroppedCsv> parser(bytes.constData(), size_t(bytes.size()),
                                                     handler, config);
                parser.parse();
                cells = handler.cells;
            }
            if (!insertRows(floorTarget, fields, rows))
                out() << "9 import: floor failed" << Qt::endl;
            floorCells = cells;
            floorTimes.add(elapsedMs(t));
        }
        const double ratio = program.median() / qMax(0.001, floorTimes.median());
        out() << "9 import " << (xlsx ? "xlsx" : "csv") << " (" << written << " rows, "
              << QFileInfo(path).size() / 1024
              << " KB, read + convert + write): " << describe(program) << "; floor "
              << describe(floorTimes) << "; ratio " << ratioText(ratio)
              << " [target <= 2: " << verdict(ratio <= 2.0) << "]; resident growth "
              << peakGrowthKb / 1024 << " MB; floor parsed " << floorCells << " cells" << Qt::endl;
        // orcus passes over inline strings (our export writes them in large
        // sheets), so there the floor reads less than the import must.
        return ratio;
    };
    r.csv = measure(csvPath, false);
    r.xlsx = measure(xlsxPath, true);
    return r;
}

// ---- The reference and shipment screens

struct Ratios
{
    double clientList = 0;
    double clientPick = 0;
    double goodsFilter = 0;
    double goodsPick = 0;
    double shipmentQuery = 0;
};

// Draws the window as the screen would show it; the time until then counts.
void drawn(QWidget* w)
{
    QCoreApplication::processEvents();
    const QPixmap screen = w->grab();
    Q_UNUSED(screen);
}

double reportRatio(const char* name, const QString& what, int rows, const Samples& shown,
                   const Samples& floorTimes)
{
    const double ratio = shown.median() / qMax(0.001, floorTimes.median());
    out() << "8 " << name << " (" << what << ", " << rows
          << " rows, first screen shown): " << describe(shown) << "; floor " << describe(floorTimes)
          << "; ratio " << ratioText(ratio) << " [target <= 2: " << verdict(ratio <= 2.0) << "]"
          << Qt::endl;
    return ratio;
}

Ratios measureReferenceScreens(const Options& o, const QString& file, Floor& floor)
{
    Ratios r;
    QTemporaryDir exe;
    AppPaths::setExeDirForTesting(exe.path());
    ScriptedDialogs quiet; // no message box may wait for an answer
    TdmData dm;
    QString error;
    if (!dm.db().open(file, &error)) {
        out() << "8 reference screens: " << error << Qt::endl;
        AppPaths::setExeDirForTesting(QString());
        return r;
    }
    EstablishSession(dm, QStringLiteral("admin"));
    const SqlDialect& dialect = dm.db().dialect();

    // Counterparts, root chosen, stopped units included.
    {
        ReferenceListCriteria all;
        all.includeStopped = true;
        const SqlBuilder floorSql = ClientStore::listQuery(dialect, all);
        Samples shown, floorTimes;
        int rows = 0;
        TfrmCltMan w;
        w.resize(1280, 800);
        w.show();
        drawn(&w);
        for (int run = 0; run < o.runs; ++run) {
            w.includeStopped()->setChecked(false);
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            w.includeStopped()->setChecked(true);
            drawn(&w);
            shown.add(elapsedMs(t));
            rows = w.grid()->model()->rowCount();
            t.start();
            floor.run(floorSql);
            floorTimes.add(elapsedMs(t));
        }
        r.clientList =
            reportRatio("client_list", QStringLiteral("包含已停用"), rows, shown, floorTimes);
    }

    // The counterpart picker as a caller opens it.
    {
        const SqlBuilder floorSql = ClientStore::pickQuery(dialect, {});
        Samples shown, floorTimes;
        int rows = 0;
        for (int run = 0; run < o.runs; ++run) {
            QElapsedTimer t;
            t.start();
            auto picker = std::make_unique<TDlgCltXz>();
            picker->resize(860, 520);
            picker->show();
            drawn(picker.get());
            shown.add(elapsedMs(t));
            rows = picker->grid()->model()->rowCount();
            picker.reset();
            t.start();
            floor.run(floorSql);
            floorTimes.add(elapsedMs(t));
        }
        r.clientPick = reportRatio("client_pick", QStringLiteral("PickCounterpartName"), rows,
                                   shown, floorTimes);
    }

    // The goods list searched for a word.
    {
        const QString word = QStringLiteral("钢");
        const SqlBuilder floorSql = GoodsStore::listQuery(dialect, QString(), word);
        Samples shown, floorTimes;
        int rows = 0;
        TfrmGoodSet w;
        w.resize(1280, 800);
        w.show();
        drawn(&w);
        auto* search = w.findChild<QLineEdit*>(QStringLiteral("edtSearch"));
        for (int run = 0; run < o.runs && search; ++run) {
            search->clear();
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            search->setText(word);
            drawn(&w);
            shown.add(elapsedMs(t));
            rows = w.grid()->model()->rowCount();
            t.start();
            floor.run(floorSql);
            floorTimes.add(elapsedMs(t));
        }
        r.goodsFilter = reportRatio("goods_filter", word, rows, shown, floorTimes);
    }

    // One pick of the lines picker for the contract edit window: the line
    // added and the list read again without the goods.
    {
        RecordModel lines;
        GoodsLineTarget target;
        target.mode = GoodsLineTarget::ContractGoodsLines;
        int added = 0;
        target.addLine = [&added](const GoodsLineValues&) { ++added; };
        TDlgGoodXz picker;
        picker.startAddLines(target);
        picker.resize(860, 520);
        picker.show();
        drawn(&picker);
        Samples shown, floorTimes;
        int rows = 0;
        for (int run = 0; run < o.runs; ++run) {
            picker.grid()->setCurrentRow(0);
            QElapsedTimer t;
            t.start();
            picker.confirm();
            drawn(&picker);
            shown.add(elapsedMs(t));
            rows = picker.grid()->model()->rowCount();
            GoodsStore::PickerCriteria c;
            c.excluded = picker.added();
            const SqlBuilder floorSql = GoodsStore::pickerQuery(dialect, c);
            t.start();
            floor.run(floorSql);
            floorTimes.add(elapsedMs(t));
        }
        if (added != o.runs)
            err() << "货品选择: 应加 " << o.runs << " 行, 实加 " << added << Qt::endl;
        r.goodsPick =
            reportRatio("goods_pick", QStringLiteral("AddGoodsLines 2"), rows, shown, floorTimes);
    }

    // The shipment query without criteria.
    {
        const SqlBuilder floorSql = ShipmentStore::queryStatement(dialect, {});
        Samples shown, floorTimes;
        int rows = 0;
        TfrmOutXiaoShouDeptCX w;
        w.resize(1280, 800);
        w.show();
        drawn(&w);
        for (int run = 0; run < o.runs; ++run) {
            QElapsedTimer t;
            t.start();
            w.requery();
            drawn(&w);
            shown.add(elapsedMs(t));
            rows = w.grid()->model()->rowCount();
            t.start();
            floor.run(floorSql);
            floorTimes.add(elapsedMs(t));
        }
        r.shipmentQuery =
            reportRatio("shipment_query", QStringLiteral("查询"), rows, shown, floorTimes);
    }
    AppPaths::setExeDirForTesting(QString());
    return r;
}

// The offscreen platform's notes on every shown window are left out; other
// messages go to the default handler.
QtMessageHandler defaultHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (defaultHandler)
        defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);

    Options o;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        auto number = [&](int* target, int least) {
            bool ok = false;
            const int v = args.value(++i).toInt(&ok);
            if (!ok || v < least) {
                err() << a << " 需要不小于 " << least << " 的整数\n" << kUsage;
                return false;
            }
            *target = v;
            return true;
        };
        if (a == QLatin1String("--contracts")) {
            if (!number(&o.contracts, 1))
                return 2;
        } else if (a == QLatin1String("--goods")) {
            if (!number(&o.goods, 0))
                return 2;
        } else if (a == QLatin1String("--clients")) {
            if (!number(&o.clients, 0))
                return 2;
        } else if (a == QLatin1String("--runs")) {
            if (!number(&o.runs, 1))
                return 2;
        } else if (a == QLatin1String("--cache") && i + 1 < args.size()) {
            o.cacheDir = args.at(++i);
        } else if (a == QLatin1String("--search") && i + 1 < args.size()) {
            o.search = args.at(++i);
        } else if (a == QLatin1String("--screenshot") && i + 1 < args.size()) {
            o.screenshot = args.at(++i);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out() << kUsage;
            return 0;
        } else {
            err() << "无法识别的参数: " << a << '\n' << kUsage;
            return 2;
        }
    }

    const QString file = ensureDatabase(o);
    if (file.isEmpty())
        return 1;
    const qint64 rssStartKb = statusKb("VmRSS");

    Database db(QStringLiteral("bench"));
    QString error;
    if (!db.open(file, &error)) {
        err() << "无法打开数据库 " << file << ": " << error << Qt::endl;
        return 1;
    }
    if (!o.screenshot.isEmpty()) {
        // The contract list as the main window shows it: every contract,
        // approved ones blue, archived ones red, money with separators.
        DataGrid grid;
        GridColumns columns = loadLayout(db, QStringLiteral("clientmain"));
        for (GridColumn& c : columns) {
            if (c.fieldName.compare(QLatin1String("F_totalPrice"), Qt::CaseInsensitive) == 0)
                c.displayFormat = QStringLiteral(",0.00");
        }
        grid.setColumns(columns);
        grid.model()->setRowStyler(contractRowStyle);
        applyContractDateRules(*grid.model());
        if (!grid.open(db, QStringLiteral("select * from Contract order by F_date"), {}, &error)) {
            err() << error << Qt::endl;
            return 1;
        }
        grid.setCurrentRow(3);
        grid.resize(1280, 720);
        grid.show();
        QCoreApplication::processEvents();
        if (!grid.grab().save(o.screenshot)) {
            err() << "无法保存 " << o.screenshot << Qt::endl;
            return 1;
        }
        out() << "screenshot: " << o.screenshot << " (" << grid.model()->rowCount() << " rows)"
              << Qt::endl;
        return 0;
    }

    Floor floor;
    if (!floor.open(file))
        return 1;
    const SqlParams searchParams = {
        {QStringLiteral(":p1"), QStringLiteral("%") + o.search + QStringLiteral("%")}};
    const QByteArray searchBytes = (QStringLiteral("%") + o.search + QStringLiteral("%")).toUtf8();

    out() << "database: " << file << " (" << QFileInfo(file).size() / (1024 * 1024)
          << " MB), runs: " << o.runs << Qt::endl;

    // One untimed round first: the file into the page cache, fonts and
    // styles loaded.
    openGrid(db, kListSql, {});
    floor.run(kListSql);

    // ---- 1. The whole list
    Samples listOpen, listFloor;
    std::unique_ptr<DataGrid> grid;
    qint64 listFloorRows = 0;
    for (int r = 0; r < o.runs; ++r) {
        grid.reset(); // the previous grid goes before the next one is timed
        Shown s = openGrid(db, kListSql, {});
        if (!s.ok)
            return 1;
        listOpen.add(s.ms);
        grid = std::move(s.grid);

        QElapsedTimer t;
        t.start();
        listFloorRows = floor.run(kListSql);
        listFloor.add(elapsedMs(t));
    }
    RecordModel* model = grid->model();
    const int rows = model->rowCount();
    if (rows != listFloorRows) {
        err() << "行数不一致: 列表 " << rows << ", SQLite " << listFloorRows << Qt::endl;
        return 1;
    }
    const double listRatio = listOpen.median() / listFloor.median();
    out() << "1 list_open (" << rows << " rows, " << model->columnCount()
          << " columns, first screen shown): " << describe(listOpen) << "; floor "
          << describe(listFloor) << "; ratio " << ratioText(listRatio)
          << " [target <= 2: " << verdict(listRatio <= 2.0) << "]" << Qt::endl;

    // The resident set with the open list on screen (measure 6, printed below).
    const qint64 rssKb = statusKb("VmRSS");
    const qint64 peakAfterOpenKb = statusKb("VmHWM");
    const qint64 recordBytes = model->records().memoryBytes();

    // ---- 2. The list searched by name, in a grid already on screen (the
    // main window runs the search in its open list). The grid holds the
    // searched list before the first timed run, so every run replaces the
    // same rows.
    Samples filterOpen, filterFloor;
    int filterRows = 0;
    qint64 filterFloorRows = 0;
    Shown searched = openGrid(db, kSearchSql, searchParams);
    if (!searched.ok)
        return 1;
    floor.run(kSearchSql, searchBytes);
    for (int r = 0; r < o.runs; ++r) {
        QElapsedTimer t;
        t.start();
        if (!searched.grid->open(db, kSearchSql, searchParams, &error)) {
            err() << "查询失败: " << error << Qt::endl;
            return 1;
        }
        QCoreApplication::processEvents();
        const QPixmap screen = searched.grid->grab();
        filterOpen.add(elapsedMs(t));
        filterRows = searched.grid->model()->rowCount();

        t.start();
        filterFloorRows = floor.run(kSearchSql, searchBytes);
        filterFloor.add(elapsedMs(t));
    }
    searched.grid.reset();
    if (filterRows != filterFloorRows) {
        err() << "查询行数不一致: 列表 " << filterRows << ", SQLite " << filterFloorRows
              << Qt::endl;
        return 1;
    }
    const double filterRatio = filterOpen.median() / filterFloor.median();
    out() << "2 filter (f_name like '%" << o.search << "%', " << filterRows
          << " rows): " << describe(filterOpen) << "; floor " << describe(filterFloor) << "; ratio "
          << ratioText(filterRatio) << " [target <= 2: " << verdict(filterRatio <= 2.0) << "]"
          << Qt::endl;

    // ---- 3. Sorting in place, on the grid on screen: by name from the
    // order of the query, then by date from the name order.
    Samples sortName, sortDate;
    const int nameColumn = model->columnOfField(QStringLiteral("F_name"));
    if (nameColumn < 0) {
        err() << "列布局中没有 F_name" << Qt::endl;
        return 1;
    }
    for (int r = 0; r < o.runs; ++r) {
        model->resetOrder();
        QCoreApplication::processEvents();

        // The view takes the new order inside the call (layoutChanged); its
        // repaint comes afterwards and is not timed.
        QElapsedTimer t;
        t.start();
        model->sort(nameColumn, Qt::AscendingOrder);
        sortName.add(elapsedMs(t));
        QCoreApplication::processEvents();

        t.start();
        model->sortByText(QStringLiteral("F_date ASC"));
        sortDate.add(elapsedMs(t));
        QCoreApplication::processEvents();
    }
    out() << "3 sort_text (F_name, " << rows << " rows): " << describe(sortName)
          << " [target <= 500 ms: " << verdict(sortName.median() <= 500.0) << "]" << Qt::endl;
    out() << "3 sort_date (F_date, " << rows << " rows): " << describe(sortDate)
          << " [target <= 500 ms: " << verdict(sortDate.median() <= 500.0) << "]" << Qt::endl;

    // ---- 4. The footer sum of the amount column, computed afresh each run.
    Samples footer;
    const int amountColumn = model->columnOfField(QStringLiteral("F_totalPrice"));
    if (amountColumn < 0) {
        err() << "列布局中没有 F_totalPrice" << Qt::endl;
        return 1;
    }
    QString footerShown;
    for (int r = 0; r < o.runs; ++r) {
        // Setting the column again drops the cached sums; the footer row's
        // repaint (which would sum again) waits until after the timing.
        model->setGridColumn(amountColumn, model->gridColumn(amountColumn));
        QElapsedTimer t;
        t.start();
        footerShown = model->footerText(amountColumn);
        footer.add(elapsedMs(t));
        QCoreApplication::processEvents();
    }
    out() << "4 footer_sum (F_totalPrice = " << footerShown << "): " << describe(footer)
          << Qt::endl;

    // ---- 5. Export to a spreadsheet
#ifdef BENCH_HAVE_XLSX_EXPORT
    {
        QTemporaryDir tmp;
        Samples exportMs;
        qint64 size = 0;
        bool exported = true;
        for (int r = 0; r < o.runs && exported; ++r) {
            const QString target = tmp.filePath(QStringLiteral("list-%1.xlsx").arg(r));
            QElapsedTimer t;
            t.start();
            QString exportError;
            exported = WriteGridToXlsx(target, QStringLiteral("合同列表"), *model, grid->columns(),
                                       &exportError);
            exportMs.add(elapsedMs(t));
            if (!exported)
                err() << "导出失败: " << exportError << Qt::endl;
            size = QFileInfo(target).size();
            QFile::remove(target);
        }
        if (exported)
            out() << "5 export (" << rows << " rows, " << size / 1024
                  << " KB .xlsx): " << describe(exportMs) << Qt::endl;
        else
            out() << "5 export: failed" << Qt::endl;
    }
#else
    out() << "5 export: not available" << Qt::endl;
#endif

    // ---- 6. Memory
    const double rssMb = double(rssKb) / 1024.0;
    out() << "6 memory: VmRSS " << QString::number(rssMb, 'f', 1) << " MB with the list open ("
          << QString::number(rssStartKb / 1024.0, 'f', 1)
          << " MB before the database was opened; peak VmHWM "
          << QString::number(peakAfterOpenKb / 1024.0, 'f', 1) << " MB after measure 1, "
          << QString::number(statusKb("VmHWM") / 1024.0, 'f', 1) << " MB at the end); record set "
          << QString::number(recordBytes / (1024.0 * 1024.0), 'f', 1)
          << " MB = " << (rows > 0 ? recordBytes / rows : 0)
          << " bytes/row [target <= 300 MB: " << verdict(rssMb <= 300.0) << "]" << Qt::endl;

    // ---- 7. The main window on this database: first display, then each
    // filter as the operator sets it.
    {
        QTemporaryDir exe;
        AppPaths::setExeDirForTesting(exe.path());
        ScriptedDialogs quiet; // no message box may wait for an answer
        TdmData dm;
        QString dmError;
        if (dm.db().open(file, &dmError)) {
            EstablishSession(dm, QStringLiteral("admin"));
            Samples firstShow;
            QMap<QString, Samples> filters;
            for (int run = 0; run < o.runs; ++run) {
                QElapsedTimer t;
                t.start();
                TFrmMain window;
                window.ApplySession();
                window.PrepareFirstShow();
                window.resize(1280, 800);
                window.show();
                QCoreApplication::processEvents();
                firstShow.add(elapsedMs(t));
                const auto timed = [&](const QString& name, const std::function<void()>& step) {
                    QElapsedTimer f;
                    f.start();
                    step();
                    QCoreApplication::processEvents();
                    filters[name].add(elapsedMs(f));
                };
                auto* field = window.findChild<QComboBox*>(QStringLiteral("cbbSearchField"));
                auto* value = window.findChild<QLineEdit*>(QStringLiteral("edtSearchValue"));
                auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("tvTree"));
                auto* list = window.findChild<QTableWidget*>(QStringLiteral("vleList"));
                timed(QStringLiteral("search name"), [&] {
                    field->setCurrentIndex(1);
                    value->setText(o.search);
                });
                timed(QStringLiteral("search cleared"), [&] { value->clear(); });
                field->setCurrentIndex(-1);
                timed(QStringLiteral("type node"), [&] {
                    QTreeWidgetItem* node = tree->topLevelItem(0)->child(0);
                    tree->setCurrentItem(node);
                    emit tree->itemDoubleClicked(node, 0);
                });
                tree->setCurrentItem(tree->topLevelItem(0));
                timed(QStringLiteral("category"), [&] {
                    list->setCurrentCell(qMin(2, list->rowCount() - 1), 1);
                    emit list->cellClicked(list->currentRow(), 1);
                });
                list->setCurrentCell(0, 1);
                timed(QStringLiteral("receipts only"), [&] {
                    window.findChild<QRadioButton*>(QStringLiteral("rbReceipt"))->click();
                });
                timed(QStringLiteral("archived too"), [&] {
                    window.findChild<QCheckBox*>(QStringLiteral("chkArchived"))->click();
                });
            }
            out() << "7 main window first display: " << describe(firstShow) << Qt::endl;
            for (auto it = filters.cbegin(); it != filters.cend(); ++it)
                out() << "7 main window filter, " << it.key() << ": " << describe(it.value())
                      << Qt::endl;
        } else {
            out() << "7 main window: " << dmError << Qt::endl;
        }
        AppPaths::setExeDirForTesting(QString());
    }

    // ---- 8. The reference and shipment screens against their floors: each
    // time runs from the operator's step to the first screen drawn.
    Ratios reference = measureReferenceScreens(o, file, floor);

    // ---- 9. The spreadsheet import.
    const ImportRatios imported = measureImport(o, file);

    out() << "bench: list_open_ratio=" << ratioText(listRatio)
          << " filter_ratio=" << ratioText(filterRatio)
          << " rss_mb=" << QString::number(rssMb, 'f', 1)
          << " client_list_ratio=" << ratioText(reference.clientList)
          << " client_pick_ratio=" << ratioText(reference.clientPick)
          << " goods_filter_ratio=" << ratioText(reference.goodsFilter)
          << " goods_pick_ratio=" << ratioText(reference.goodsPick)
          << " shipment_query_ratio=" << ratioText(reference.shipmentQuery)
          << " import_csv_ratio=" << ratioText(imported.csv)
          << " import_xlsx_ratio=" << ratioText(imported.xlsx) << Qt::endl;
    std::fflush(stdout);
    return 0;
}
