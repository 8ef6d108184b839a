#include "app/AdminCommands.h"

#include "app/AppPaths.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "platform/CompactDatabase.h"

#include <QDir>
#include <QFileInfo>

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

int cmdInit(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "用法: contract-admin init <文件夹>\n";
        return 2;
    }
    const QString folder = args.first();
    if (!QDir().mkpath(folder)) {
        err << "无法创建文件夹: " << folder << '\n';
        return 1;
    }
    const QString file = databaseIn(folder);
    if (QFileInfo::exists(file)) {
        err << "数据库已存在，不覆盖: " << file << '\n';
        return 1;
    }
    Database db(QStringLiteral("admin-init"));
    QString error;
    if (!db.create(file, &error) || !Schema::createTables(db, &error)) {
        db.close();
        QFile::remove(file);
        err << "创建数据库失败: " << error << '\n';
        return 1;
    }
    out << "已创建数据库: " << QFileInfo(file).absoluteFilePath() << '\n';
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
    {"demo", "demo <文件夹> [--contracts N]", "创建带演示数据的数据库", notYet},
    {"backup", "backup <文件夹> <备份文件>", "备份数据库（一致的副本）", notYet},
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
