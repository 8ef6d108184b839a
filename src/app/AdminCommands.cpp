#include "app/AdminCommands.h"

#include "data/Backup.h"
#include "data/CompactDatabase.h"
#include "data/Database.h"
#include "data/FilePublish.h"
#include "data/Schema.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/DemoData.h"
#include "maintenance/SpreadsheetImport.h"
#include "platform/AppPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <functional>

namespace AdminCommands {

namespace {

// What a command writes and how much: failures are one sentence for the
// operator; the engine's own texts follow only with --verbose.
struct Io
{
    QTextStream& out;
    QTextStream& err;
    bool verbose = false;
    bool convert = false;
};

struct Command
{
    const char* name;
    const char* usage;
    const char* summary;
    int (*handler)(const QStringList& args, Io& io);
};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// `sentence` ends without punctuation; `detail` is what the call reported.
int fail(Io& io, const QString& sentence, const QString& detail = QString())
{
    io.err << sentence << QStringLiteral("。");
    const bool more = !detail.isEmpty() && !sentence.endsWith(detail);
    if (more && !io.verbose)
        io.err << QStringLiteral("（加 --verbose 显示详细信息）");
    io.err << '\n';
    if (more && io.verbose)
        io.err << QStringLiteral("详细信息：\n") << detail << '\n';
    return 1;
}

QString databaseIn(const QString& folder)
{
    return QDir(folder).filePath(AppPaths::databaseFileName());
}

// Makes <folder>/Contract.db as a new database and lets `fill` add to it.
// The database is built under a temporary name beside it and takes its name
// only when complete, and never over an existing file: a killed run leaves
// no partial database, and of two runs on one folder exactly one succeeds.
int createDatabase(Io& io, const QString& folder, const QString& connection,
                   const std::function<bool(Database&, QString*)>& fill, QString* created)
{
    if (!QDir().mkpath(folder))
        return fail(io, QStringLiteral("无法创建文件夹 %1").arg(shown(folder)));
    const QString file = databaseIn(folder);
    if (QFileInfo::exists(file))
        return fail(io, QStringLiteral("数据库 %1 已存在，不覆盖").arg(shown(file)));
    QString error;
    const QString temp = FilePublish::createTemporaryBeside(file, &error);
    if (temp.isEmpty())
        return fail(io, QStringLiteral("创建数据库失败：%1").arg(Database::plainReason(error)),
                    error);
    bool ok = false;
    {
        Database db(connection);
        ok = db.createInEmptyFile(temp, &error) && Schema::createTables(db, &error) &&
             (!fill || fill(db, &error)) && db.makeSelfContained(&error);
    }
    ok = ok && FilePublish::syncFile(temp, &error);
    const FilePublish::Result placed =
        ok ? FilePublish::publish(temp, file, &error) : FilePublish::Result::Failed;
    if (placed == FilePublish::Result::Published) {
        *created = QFileInfo(file).absoluteFilePath();
        return 0;
    }
    FilePublish::removeDatabaseFiles(temp);
    if (placed == FilePublish::Result::TargetExists)
        return fail(
            io,
            QStringLiteral("数据库 %1 已存在，不覆盖（另一个程序刚刚创建了它）").arg(shown(file)));
    return fail(io, QStringLiteral("创建数据库失败：%1").arg(Database::plainReason(error)), error);
}

enum class Purpose
{
    Backup,
    Compact,
    Restore,
    Import
};

// Opens the folder's database for a command, refusing whatever the program
// refuses at start-up, before anything is written to the file.
int openExisting(Io& io, const QString& folder, Purpose purpose, Database& db)
{
    const QString verb = purpose == Purpose::Backup    ? QStringLiteral("备份")
                         : purpose == Purpose::Restore ? QStringLiteral("恢复")
                         : purpose == Purpose::Import  ? QStringLiteral("导入到")
                                                       : QStringLiteral("压缩");
    const QString file = databaseIn(folder);
    if (!QFileInfo::exists(file))
        return fail(io, QStringLiteral("文件夹 %1 中没有数据库 %2")
                            .arg(shown(folder), AppPaths::databaseFileName()));
    const QString notWritable = Database::whyNotWritable(file);
    if (purpose != Purpose::Backup && !notWritable.isEmpty())
        return fail(io, QStringLiteral("不能%1数据库 %2：%3").arg(verb, shown(file), notWritable));

    QString refusal;
    bool convert = false;
    Database::OpenOptions options;
    // A backup only reads: it works on a file nobody may write.
    options.readOnly = !notWritable.isEmpty();
    options.accept = [&](Database& opened, QString* error) {
        Schema::Inspection found;
        if (!Schema::inspect(opened, &found, error))
            return false;
        switch (found.state) {
        case Schema::State::Current:
        case Schema::State::Older:
            return true;
        case Schema::State::Empty:
            refusal = QStringLiteral("不是合同管理数据库（没有数据表）");
            break;
        case Schema::State::Foreign:
        case Schema::State::Newer:
            refusal = found.problem;
            break;
        case Schema::State::Unstamped:
            if (purpose == Purpose::Compact && io.convert) {
                convert = true;
                return true;
            }
            refusal = found.problem +
                      (purpose == Purpose::Compact
                           ? QStringLiteral("；确认是本系统的数据库时，加 --convert 参数转换后压缩")
                           : QStringLiteral("；确认是本系统的数据库时，先用 compact --convert "
                                            "转换，或在程序中同意转换"));
            break;
        }
        *error = refusal;
        return false;
    };
    QString error;
    if (!db.open(file, options, &error)) {
        if (!refusal.isEmpty())
            return fail(io, QStringLiteral("不能%1数据库 %2：%3").arg(verb, shown(file), refusal));
        return fail(
            io,
            QStringLiteral("无法打开数据库 %1：%2").arg(shown(file), Database::plainReason(error)),
            error);
    }
    if (convert) {
        Schema::UpgradeOptions upgrade;
        upgrade.convertUnstamped = true;
        if (!Schema::upgrade(db, &error, upgrade))
            return fail(io,
                        QStringLiteral("转换数据库 %1 失败：%2")
                            .arg(shown(file), Database::plainReason(error)),
                        error);
        io.out << QStringLiteral("已转换数据库: ") << shown(file) << '\n';
    }
    return 0;
}

int cmdInit(const QStringList& args, Io& io)
{
    if (args.size() != 1 || args.first().trimmed().isEmpty()) {
        io.err << "用法: contract-admin init <文件夹>\n";
        return 2;
    }
    QString file;
    const int rc = createDatabase(io, args.first(), QStringLiteral("admin-init"), {}, &file);
    if (rc == 0)
        io.out << "已创建数据库: " << file << '\n';
    return rc;
}

int cmdDemo(const QStringList& args, Io& io)
{
    const char* usage =
        "用法: contract-admin demo <文件夹> [--contracts N] [--goods N] [--clients N] [--seed S]\n";
    QString folder;
    DemoData::Options options;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--contracts") || a == QLatin1String("--seed") ||
            a == QLatin1String("--goods") || a == QLatin1String("--clients")) {
            bool ok = false;
            const QString value = args.value(++i);
            if (a == QLatin1String("--contracts")) {
                options.contracts = value.toInt(&ok);
                ok = ok && options.contracts >= 0;
            } else if (a == QLatin1String("--goods")) {
                options.goods = value.toInt(&ok);
                ok = ok && options.goods >= 0;
            } else if (a == QLatin1String("--clients")) {
                options.clients = value.toInt(&ok);
                if (ok && options.clients < DemoData::kMinClients) {
                    io.err << a << " 至少为 " << DemoData::kMinClients << '\n' << usage;
                    return 2;
                }
            } else {
                options.seed = value.toUInt(&ok);
            }
            if (!ok) {
                io.err << a << " 需要一个非负整数\n" << usage;
                return 2;
            }
        } else if (a.startsWith(QLatin1String("--")) || !folder.isEmpty()) {
            io.err << "无法识别的参数: " << a << '\n' << usage;
            return 2;
        } else {
            folder = a;
        }
    }
    if (folder.trimmed().isEmpty()) {
        io.err << usage;
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    qint64 records = 0;
    QString file;
    const int rc = createDatabase(
        io, folder, QStringLiteral("admin-demo"),
        [&](Database& db, QString* error) {
            if (!DemoData::fill(db, options, error))
                return false;
            for (const char* table : {"t_SKrec", "t_ZXrec", "t_TXrec", "t_BGrec", "t_TPrec",
                                      "t_FJrec", "t_GDrec", "t_FHrec", "t_FHdetail"})
                records += db.scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table))
                               .toLongLong();
            return true;
        },
        &file);
    if (rc != 0)
        return rc;
    io.out << "已创建演示数据库: " << file << '\n'
           << "合同 " << options.contracts << " 份，合同记录 " << records << " 条，用时 "
           << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " 秒，文件 "
           << QFileInfo(file).size() / 1024 << " KB\n";
    return 0;
}

int cmdBackup(const QStringList& args, Io& io)
{
    if (args.size() != 2 || args.at(0).trimmed().isEmpty() || args.at(1).trimmed().isEmpty()) {
        if (args.size() == 2)
            io.err << "文件夹和备份文件都不能为空\n";
        io.err << "用法: contract-admin backup <文件夹> <备份文件>\n";
        return 2;
    }
    Database db(QStringLiteral("admin-backup"));
    if (const int rc = openExisting(io, args.at(0), Purpose::Backup, db))
        return rc;
    const QString target = args.at(1);
    QString error;
    switch (Backup::copyDatabase(db, target, &error)) {
    case Backup::Result::Written:
        io.out << "已备份到: " << shown(target) << '\n';
        return 0;
    case Backup::Result::TargetExists:
        return fail(io, QStringLiteral("备份文件 %1 已存在，不覆盖").arg(shown(target)));
    case Backup::Result::Failed:
        break;
    }
    return fail(io, QStringLiteral("备份失败：%1").arg(Database::plainReason(error)), error);
}

int cmdRestore(const QStringList& args, Io& io)
{
    if (args.size() != 2 || args.at(0).trimmed().isEmpty() || args.at(1).trimmed().isEmpty()) {
        if (args.size() == 2)
            io.err << "文件夹和备份文件都不能为空\n";
        io.err << "用法: contract-admin restore <文件夹> <备份文件>\n";
        return 2;
    }
    Database db(QStringLiteral("admin-restore"));
    if (const int rc = openExisting(io, args.at(0), Purpose::Restore, db))
        return rc;
    const QString source = args.at(1);
    BackupRestore::PreparedRestore prepared;
    if (!prepared.prepare(source, db.filePath()))
        return fail(io,
                    QStringLiteral("不能用 %1 恢复：%2；数据库未改变")
                        .arg(shown(source), prepared.reason()),
                    prepared.details());
    QString setting;
    QString error;
    if (!BackupSettings::readFolder(db, &setting, &error))
        return fail(io,
                    QStringLiteral("无法读取备份文件夹设置：%1").arg(Database::plainReason(error)),
                    error);
    const BackupRestore::Result result =
        BackupRestore::restore(db, prepared, Backup::resolveFolder(setting, db.filePath()));
    switch (result.outcome) {
    case BackupRestore::Outcome::Restored:
        io.out << "恢复前的数据库已保存到: " << shown(result.safetyCopy) << '\n'
               << "已用 " << shown(source) << " 恢复数据库: " << shown(db.filePath()) << '\n';
        return 0;
    case BackupRestore::Outcome::InUse:
        return fail(io,
                    QStringLiteral("数据库 %1 正在被使用，请先关闭使用它的程序；数据库未改变")
                        .arg(shown(db.filePath())),
                    result.error);
    case BackupRestore::Outcome::Failed:
        break;
    }
    return fail(
        io, QStringLiteral("恢复失败：%1；数据库未改变").arg(Database::plainReason(result.error)),
        result.error);
}

int cmdCompact(const QStringList& args, Io& io)
{
    QStringList rest = args;
    io.convert = rest.removeAll(QStringLiteral("--convert")) > 0;
    if (rest.size() != 1 || rest.first().trimmed().isEmpty() ||
        rest.first().startsWith(QLatin1String("--"))) {
        io.err << "用法: contract-admin compact <文件夹> [--convert]\n";
        return 2;
    }
    Database db(QStringLiteral("admin-compact"));
    if (const int rc = openExisting(io, rest.first(), Purpose::Compact, db))
        return rc;
    const QString file = db.filePath();
    const qint64 before = QFileInfo(file).size();
    QString error;
    if (!CompactDatabase(db, &error))
        return fail(io, QStringLiteral("压缩失败：%1").arg(error.section(QLatin1Char('\n'), 0, 0)),
                    error.section(QLatin1Char('\n'), 1));
    io.out << "压缩完成: " << before << " -> " << QFileInfo(file).size() << " 字节\n";
    return 0;
}

int cmdImport(const QStringList& args, Io& io)
{
    const char* usage =
        "用法: contract-admin import <文件夹> <表格文件> --table contract|client [--sheet 名称]\n";
    QStringList positional;
    QString kind, sheet;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if ((a == QLatin1String("--table") || a == QLatin1String("--sheet")) &&
            i + 1 < args.size()) {
            (a == QLatin1String("--table") ? kind : sheet) = args.at(++i);
        } else if (a.startsWith(QLatin1String("--"))) {
            io.err << "无法识别的参数: " << a << '\n' << usage;
            return 2;
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2 || positional.at(0).trimmed().isEmpty() ||
        positional.at(1).trimmed().isEmpty() || SpreadsheetImport::tableOf(kind).isEmpty()) {
        io.err << usage;
        return 2;
    }
    Database db(QStringLiteral("admin-import"));
    if (const int rc = openExisting(io, positional.at(0), Purpose::Import, db))
        return rc;
    const SpreadsheetImport::FileResult r =
        SpreadsheetImport::importFile(db, positional.at(1), kind.toLower(), sheet);
    for (const QString& caption : r.missingHeadings)
        io.err << QStringLiteral("表格中没有“%1”对应的列，该字段不导入\n").arg(caption);
    if (!r.problems.isEmpty()) {
        for (const SpreadsheetImport::Problem& p : r.problems)
            io.err << SpreadsheetImport::describe(p) << '\n';
        io.err << QStringLiteral("有 %1 处错误，未导入任何数据\n").arg(r.problems.size());
        return 1;
    }
    if (!r.ok)
        return fail(io, r.error.section(QLatin1Char('\n'), 0, 0),
                    r.error.section(QLatin1Char('\n'), 1));
    io.out << QStringLiteral("已导入 %1 行，跳过 %2 行\n").arg(r.written).arg(r.skipped);
    return 0;
}

int notYet(const QStringList&, Io& io)
{
    io.err << "此命令尚未提供\n";
    return 2;
}

const Command kCommands[] = {
    {"init", "init <文件夹>", "在文件夹中创建新的空数据库 Contract.db（不覆盖已有文件）", cmdInit},
    {"demo", "demo <文件夹> [--contracts N] [--goods N] [--clients N] [--seed S]",
     "在文件夹中创建带演示数据的数据库 Contract.db（默认 300 份合同；不覆盖已有文件）", cmdDemo},
    {"backup", "backup <文件夹> <备份文件>", "备份数据库：写出一致的副本（不覆盖已有文件）",
     cmdBackup},
    {"restore", "restore <文件夹> <备份文件>",
     "检查备份文件后用它恢复数据库；先把当前数据库另存到备份文件夹", cmdRestore},
    {"compact", "compact <文件夹> [--convert]",
     "检查并压缩数据库；--convert 同意转换没有版本标记的数据库", cmdCompact},
    {"import", "import <文件夹> <表格文件> --table contract|client [--sheet 名称]",
     "从电子表格（.xlsx、.xls、.csv）导入合同或往来单位；有错误的行全部列出，不写入任何数据",
     cmdImport},
    {"report", "report <文件夹> <报表名> <PDF文件>", "把报表输出为 PDF", notYet},
};

} // namespace

QString helpText()
{
    QString text = QStringLiteral("用法: contract-admin <命令> [参数]\n\n命令:\n");
    for (const Command& c : kCommands) {
        text += QStringLiteral("  %1\n      %2%3\n")
                    .arg(QString::fromUtf8(c.usage), QString::fromUtf8(c.summary),
                         c.handler == notYet ? QStringLiteral("（尚未提供）") : QString());
    }
    text += QStringLiteral("\n  --help     显示本说明\n  --verbose  出错时显示详细信息\n");
    return text;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList args = arguments;
    Io io{out, err};
    io.verbose = args.removeAll(QStringLiteral("--verbose")) > 0;
    if (args.isEmpty()) {
        err << helpText();
        return 2;
    }
    const QString name = args.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        out << helpText();
        return 0;
    }
    for (const Command& c : kCommands) {
        if (name == QLatin1String(c.name))
            return c.handler(args.mid(1), io);
    }
    err << "未知命令: " << name << "\n\n" << helpText();
    return 2;
}

} // namespace AdminCommands
