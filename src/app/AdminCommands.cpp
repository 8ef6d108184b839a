#include "app/AdminCommands.h"

#include "platform/AppPaths.h"
#include "data/Backup.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "maintenance/DemoData.h"
#include "platform/CompactDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <functional>

namespace AdminCommands {

namespace {

struct Command
{
    const char* name;
    const char* usage;
    const char* summary;
    int (*handler)(const QStringList& args, QTextStream& out, QTextStream& err);
};

QString databaseIn(const QString& folder)
{
    return QDir(folder).filePath(AppPaths::databaseFileName());
}

// Makes <folder>/Contract.db as a new database and lets `fill` add to it;
// never overwrites, and leaves no partial file behind on a failure.
int createDatabase(const QString& folder, const QString& connection, QTextStream& err,
                   const std::function<bool(Database&, QString*)>& fill, QString* created)
{
    if (!QDir().mkpath(folder)) {
        err << "无法创建文件夹: " << folder << '\n';
        return 1;
    }
    const QString file = databaseIn(folder);
    if (QFileInfo::exists(file)) {
        err << "数据库已存在，不覆盖: " << file << '\n';
        return 1;
    }
    Database db(connection);
    QString error;
    if (!db.create(file, &error) || !Schema::createTables(db, &error) ||
        (fill && !fill(db, &error))) {
        db.close();
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(file + QLatin1String(suffix));
        err << "创建数据库失败: " << error << '\n';
        return 1;
    }
    *created = QFileInfo(file).absoluteFilePath();
    return 0;
}

int cmdInit(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "用法: contract-admin init <文件夹>\n";
        return 2;
    }
    QString file;
    const int rc = createDatabase(args.first(), QStringLiteral("admin-init"), err, {}, &file);
    if (rc == 0)
        out << "已创建数据库: " << file << '\n';
    return rc;
}

int cmdDemo(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const char* usage = "用法: contract-admin demo <文件夹> [--contracts N] [--seed S]\n";
    QString folder;
    DemoData::Options options;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--contracts") || a == QLatin1String("--seed")) {
            bool ok = false;
            const QString value = args.value(++i);
            if (a == QLatin1String("--contracts")) {
                options.contracts = value.toInt(&ok);
                ok = ok && options.contracts >= 0;
            } else {
                options.seed = value.toUInt(&ok);
            }
            if (!ok) {
                err << a << " 需要一个非负整数\n" << usage;
                return 2;
            }
        } else if (a.startsWith(QLatin1String("--")) || !folder.isEmpty()) {
            err << "无法识别的参数: " << a << '\n' << usage;
            return 2;
        } else {
            folder = a;
        }
    }
    if (folder.isEmpty()) {
        err << usage;
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    qint64 records = 0;
    QString file;
    const int rc = createDatabase(
        folder, QStringLiteral("admin-demo"), err,
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
    out << "已创建演示数据库: " << file << '\n'
        << "合同 " << options.contracts << " 份，合同记录 " << records << " 条，用时 "
        << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " 秒，文件 "
        << QFileInfo(file).size() / 1024 << " KB\n";
    return 0;
}

int cmdBackup(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2) {
        err << "用法: contract-admin backup <文件夹> <备份文件>\n";
        return 2;
    }
    const QString file = databaseIn(args.at(0));
    Database db(QStringLiteral("admin-backup"));
    QString error;
    if (!db.open(file, &error) || !Schema::isContractDatabase(db, &error)) {
        err << "无法打开数据库 " << file << ": " << error << '\n';
        return 1;
    }
    if (!Backup::copyDatabase(db, args.at(1), &error)) {
        err << "备份失败: " << error << '\n';
        return 1;
    }
    out << "已备份到: " << QFileInfo(args.at(1)).absoluteFilePath() << '\n';
    return 0;
}

int cmdCompact(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "用法: contract-admin compact <文件夹>\n";
        return 2;
    }
    const QString file = databaseIn(args.first());
    Database db(QStringLiteral("admin-compact"));
    QString error;
    if (!db.open(file, &error) || !Schema::isContractDatabase(db, &error)) {
        err << "无法打开数据库 " << file << ": " << error << '\n';
        return 1;
    }
    const qint64 before = QFileInfo(file).size();
    if (!CompactDatabase(db, &error)) {
        err << "压缩失败: " << error << '\n';
        return 1;
    }
    out << "压缩完成: " << before << " -> " << QFileInfo(file).size() << " 字节\n";
    return 0;
}

int notYet(const QStringList&, QTextStream&, QTextStream& err)
{
    err << "此命令尚未提供\n";
    return 2;
}

const Command kCommands[] = {
    {"init", "init <文件夹>", "在文件夹中创建新的空数据库 Contract.db（不覆盖已有文件）", cmdInit},
    {"demo", "demo <文件夹> [--contracts N] [--seed S]",
     "在文件夹中创建带演示数据的数据库 Contract.db（默认 300 份合同；不覆盖已有文件）", cmdDemo},
    {"backup", "backup <文件夹> <备份文件>", "备份数据库：写出一致的副本（不覆盖已有文件）",
     cmdBackup},
    {"restore", "restore <文件夹> <备份文件>", "从备份恢复数据库", notYet},
    {"compact", "compact <文件夹>", "检查并压缩数据库", cmdCompact},
    {"import", "import <文件夹> <表格文件>", "从电子表格导入合同或往来单位", notYet},
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
    text += QStringLiteral("\n  --help  显示本说明\n");
    return text;
}

int run(const QStringList& args, QTextStream& out, QTextStream& err)
{
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
            return c.handler(args.mid(1), out, err);
    }
    err << "未知命令: " << name << "\n\n" << helpText();
    return 2;
}

} // namespace AdminCommands
