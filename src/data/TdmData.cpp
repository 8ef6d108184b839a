#include "data/TdmData.h"

#include "data/Backup.h"
#include "data/Formats.h"
#include "data/Schema.h"
#include "data/Session.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

TdmData* TdmData::s_instance = nullptr;

TdmData::TdmData(QObject* parent) : QObject(parent), m_settings(AppPaths::configFile())
{
    setObjectName(QStringLiteral("TdmData"));
    s_instance = this;
}

TdmData::~TdmData()
{
    m_db.close();
    if (s_instance == this)
        s_instance = nullptr;
}

QString TdmData::dataFolder() const
{
    if (!m_pickedFolder.isEmpty())
        return m_pickedFolder;
    return AppPaths::dataDirFromSetting(
        m_settings.readString(QStringLiteral("config"), QStringLiteral("ds")));
}

QString TdmData::databasePath() const
{
    return dataFolder() + AppPaths::databaseFileName();
}

bool TdmData::openOnce(const ConnectHooks& hooks)
{
    m_lastError.clear();
    const QString path = databasePath();
    const QString shownPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const auto say = [&](const QString& text, int kind) {
        if (hooks.asking)
            hooks.asking();
        return ShowMess(text, kind);
    };
    const auto cannotUse = [&](const QString& why) {
        say(QStringLiteral("数据库 %1 不能使用：\n%2").arg(shownPath, why), mkError);
    };

    const QString notWritable =
        QFileInfo::exists(path) ? Database::whyNotWritable(path) : QString();
    Database::OpenOptions options;
    options.readOnly = !notWritable.isEmpty();
    bool convert = false;
    QString refusal; // shown once the file has been let go
    // Everything here only reads: a refused file stays exactly as it was.
    options.accept = [&](Database& db, QString* error) {
        Schema::Inspection found;
        if (!Schema::inspect(db, &found, error))
            return false;
        switch (found.state) {
        case Schema::State::Current:
            return true;
        case Schema::State::Older:
            if (!options.readOnly)
                return true;
            *error = refusal = QStringLiteral("数据库需要升级，但%1").arg(notWritable);
            return false;
        case Schema::State::Empty:
            *error = QStringLiteral("不是合同管理数据库（没有数据表）");
            return false;
        case Schema::State::Foreign:
            *error = found.problem;
            // Another program's file is simply not ours; a table of ours
            // without its key column is named.
            if (found.missingKey)
                refusal = found.problem;
            return false;
        case Schema::State::Newer:
            *error = refusal = found.problem;
            return false;
        case Schema::State::Unstamped:
            if (options.readOnly) {
                *error = refusal =
                    QStringLiteral("%1；%2，不能转换").arg(found.problem, notWritable);
                return false;
            }
            if (say(QStringLiteral("数据库 %1 没有版本标记，不能确定是本系统的数据库。\n"
                                   "转换会补齐缺少的数据表和字段并修改该文件，转换前请先备份。\n"
                                   "是否转换并打开？")
                        .arg(shownPath),
                    mkQuestion) != 1) {
                *error = QStringLiteral("没有同意转换没有版本标记的数据库");
                return false;
            }
            convert = true;
            return true;
        }
        return false;
    };
    if (!m_db.open(path, options, &m_lastError)) {
        if (!refusal.isEmpty())
            cannotUse(refusal);
        return false;
    }
    // An older database is brought up to date; one that still lacks a table
    // or column says which, here rather than in the middle of some window.
    QStringList problems;
    QString upgradeError;
    Schema::UpgradeOptions upgradeOptions;
    upgradeOptions.convertUnstamped = convert;
    if (!m_db.isReadOnly() && !Schema::upgrade(m_db, &upgradeError, upgradeOptions))
        problems << upgradeError;
    else
        problems = Schema::verify(m_db);
    if (!problems.isEmpty()) {
        m_lastError = problems.join(QLatin1Char('\n'));
        m_db.close();
        cannotUse(m_lastError);
        return false;
    }
    if (m_db.isReadOnly())
        say(QStringLiteral("数据库 %1 只能以只读方式打开：%2。\n可以查看和备份数据，但不能修改。")
                .arg(shownPath, notWritable),
            mkWarning);
    return true;
}

void TdmData::reportFailure(const QString& message, const QString& detail)
{
    ShowFailure(message, detail);
}

bool TdmData::ExecSql(const QString& sql, const SqlParams& params)
{
    QString error;
    if (m_db.exec(sql, params, &error))
        return true;
    reportFailure(Messages::operationFailed(), error);
    return false;
}

bool TdmData::DeleteById(const QString& table, qint64 id)
{
    const Schema::Table* t = Schema::findTable(table);
    QString error = QStringLiteral("未知的数据表 ") + table;
    // The table name is program text checked against the schema; the row is bound.
    if (t && m_db.exec(QStringLiteral("DELETE FROM %1 WHERE F_ID = :id").arg(t->name),
                       {{QStringLiteral(":id"), id}}, &error))
        return true;
    reportFailure(Messages::deleteFailed(), error);
    return false;
}

QString TdmData::QueryString(const QString& sql, const SqlParams& params)
{
    bool ok = false;
    QString error;
    const QVariant v = m_db.scalar(sql, params, &ok, &error);
    if (!ok) {
        reportFailure(Messages::operationFailed(), error);
        return QString();
    }
    return v.isNull() ? QString() : v.toString();
}

int TdmData::QueryInt(const QString& sql, const SqlParams& params)
{
    bool ok = false;
    QString error;
    const QVariant v = m_db.scalar(sql, params, &ok, &error);
    if (!ok) {
        reportFailure(Messages::operationFailed(), error);
        return 0;
    }
    return v.isNull() ? 0 : v.toInt();
}

bool TdmData::OpenQuery(const QString& sql, QSqlQuery& query, const SqlParams& params)
{
    query.finish();
    query = QSqlQuery(m_db.handle());
    QString error;
    if (query.prepare(sql)) {
        for (const auto& [name, value] : params)
            query.bindValue(name, Database::toSqlValue(value));
        if (m_db.exec(query, &error))
            return true;
    } else {
        error = query.lastError().text();
    }
    reportFailure(Messages::openFailed(), error);
    return false;
}

QStringList TdmData::PickListValues(const QString& sql, const SqlParams& params)
{
    QStringList values;
    QString error;
    QSqlQuery q = m_db.prepare(sql, params, &error);
    if (!q.lastError().isValid() && m_db.exec(q, &error)) {
        while (q.next()) {
            const QString v = q.value(0).toString();
            if (!v.trimmed().isEmpty())
                values << v;
        }
        if (!q.lastError().isValid())
            return values;
        error = q.lastError().text();
    }
    reportFailure(Messages::operationFailed(), error);
    return values;
}

void TdmData::WriteLog(const QString& what)
{
    const QDateTime now = Clock::now();
    m_db.exec(QStringLiteral("INSERT INTO LogRec(F_EmpName, F_OperType, F_OperDate, F_OperTime) "
                             "VALUES(:EmpName, :OperType, :OperDate, :OperTime)"),
              {{QStringLiteral(":EmpName"), Session.OperName},
               {QStringLiteral(":OperType"), what},
               {QStringLiteral(":OperDate"), now.date().toString(QStringLiteral("yyyy-MM-dd"))},
               {QStringLiteral(":OperTime"), now.time().toString(QStringLiteral("hh:mm:ss"))}});
}

bool TdmData::HasRight(const QString& code)
{
    return QueryInt(
               QStringLiteral("SELECT o.F_ID FROM OperLimit AS o LEFT JOIN Limits AS l ON "
                              "o.F_lmtName = l.F_name WHERE o.F_OperName = :oper AND "
                              "l.F_code = :code"),
               {{QStringLiteral(":oper"), Session.OperName}, {QStringLiteral(":code"), code}}) > 0;
}

AllocatedCode TdmData::NextDatedCode(const QString& sql, const SqlParams& params,
                                     const QString& prefix, int width)
{
    bool ok = false;
    QString error;
    const QVariant largest = m_db.scalar(sql, params, &ok, &error);
    if (!ok)
        return {QString(), error};
    return CodeAllocation::nextDated(largest.toString(), prefix,
                                     Clock::today().toString(QStringLiteral("yyyyMMdd")), width);
}

AllocatedCode TdmData::NextCode(const QString& sql, const SqlParams& params, int width)
{
    bool ok = false;
    QString error;
    const QVariant largest = m_db.scalar(sql, params, &ok, &error);
    if (!ok)
        return {QString(), error};
    return CodeAllocation::nextPlain(largest.toString(), width);
}

AllocatedCode TdmData::NextTreeCode(const QString& code, const QString& flag, int mode)
{
    const QString prefix = CodeAllocation::treeSearchPrefix(code, mode);
    bool ok = false;
    QString error;
    QVariant largest;
    if (prefix.isEmpty())
        largest = m_db.scalar(QStringLiteral("SELECT max(F_code) FROM t_treecode WHERE %1 = 3 "
                                             "AND F_flag = :flag")
                                  .arg(m_db.dialect().textLength(QStringLiteral("F_code"))),
                              {{QStringLiteral(":flag"), flag}}, &ok, &error);
    else
        largest = m_db.scalar(QStringLiteral("SELECT max(F_code) FROM t_treecode WHERE %1 "
                                             "AND F_flag = :flag")
                                  .arg(m_db.dialect().likeNoCase(QStringLiteral("F_code"),
                                                                 QStringLiteral(":prefix"))),
                              {{QStringLiteral(":prefix"), SqlDialect::escapeLike(prefix) + '%'},
                               {QStringLiteral(":flag"), flag}},
                              &ok, &error);
    if (!ok)
        return {QString(), error};
    return CodeAllocation::nextTree(code, mode, largest.toString());
}

AllocatedCode TdmData::NextShipmentCode()
{
    const QString day = Clock::today().toString(QStringLiteral("yyyyMMdd"));
    return NextDatedCode(
        QStringLiteral("SELECT max(F_code) FROM t_FHrec WHERE F_code LIKE :day"),
        {{QStringLiteral(":day"), QStringLiteral("FH-") + day + QStringLiteral("-%")}},
        QStringLiteral("FH-"), 3);
}

int TdmData::NextContractLinkNumber()
{
    bool ok = false;
    QString error;
    const QVariant largest =
        m_db.scalar(QStringLiteral("SELECT max(F_cltID) FROM Contract"), {}, &ok, &error);
    if (!ok) {
        qWarning().noquote() << error;
        return 0;
    }
    return largest.toInt() + 1;
}

CodeTree TdmData::LoadCodeTree(const QString& rootCaption, const QString& flag, QString* error)
{
    CodeTree tree(rootCaption);
    QSqlQuery q = m_db.prepare(QStringLiteral("SELECT F_code, F_name, F_likecode FROM t_treecode "
                                              "WHERE F_flag = :flag ORDER BY F_code"),
                               {{QStringLiteral(":flag"), flag}}, error);
    if (q.lastError().isValid() || !m_db.exec(q, error))
        return tree;
    while (q.next())
        tree.add(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
    return tree;
}

bool TdmData::LoadSessionValues()
{
    Session.SysCode = QueryString(QStringLiteral("SELECT F_Code FROM SysInfo"));
    QSqlQuery q = m_db.prepare(QStringLiteral("SELECT F_Value FROM KeyValue ORDER BY F_ID"));
    QString error;
    if (!m_db.exec(q, &error)) {
        reportFailure(Messages::operationFailed(), error);
        return false;
    }
    Session.KeyValues = QStringList(16);
    for (int slot = 1; slot <= 15 && q.next(); ++slot)
        Session.KeyValues[slot] = q.value(0).toString();
    bool ok = false;
    const int decimals = decimalsFromSlot(Session.keyValue(14), &ok);
    if (!ok)
        ShowMess(
            QStringLiteral("金额小数位数设置“%1”不是整数，按 2 位小数显示。请在自定义设置中改正。")
                .arg(Session.keyValue(14)),
            mkWarning);
    Session.MoneyFormat = NumberFormat(decimals, 3);
    Session.AutoCode = m_settings.readBool(QStringLiteral("sys"), QStringLiteral("bZDcode"), false);
    Session.AutoContractCode =
        m_settings.readBool(QStringLiteral("sys"), QStringLiteral("bZDHTcode"), false);
    return true;
}

QString TdmData::BackupFolder()
{
    return Backup::resolveFolder(QueryString(QStringLiteral("SELECT F_BakPath FROM SysInfo")),
                                 m_db.filePath());
}

TdmData::BackupResult TdmData::BackupDatabase()
{
    const QString folder = BackupFolder();
    if (!QFileInfo(folder).isDir()) {
        if (ShowMess(QStringLiteral("当前目录") + folder + QStringLiteral(" 不存在，是否创建！"),
                     mkQuestion) != 1)
            return BackupResult::Declined;
        if (!QDir().mkpath(folder)) {
            ShowMess(QStringLiteral("目录") + folder +
                         QStringLiteral(" 创建失败,请检测路径是否合法!"),
                     mkError);
            return BackupResult::Failed;
        }
    }
    const QString file = QDir(folder).filePath(Backup::dailyFileName(Clock::today()));
    if (QFileInfo::exists(file))
        return BackupResult::AlreadyToday;
    QString error;
    switch (Backup::copyDatabase(m_db, file, &error)) {
    case Backup::Result::Written:
        return BackupResult::Written;
    case Backup::Result::TargetExists:
        // Another workstation made today's backup in the meantime.
        return BackupResult::AlreadyToday;
    case Backup::Result::Failed:
        break;
    }
    qWarning().noquote() << "backup failed:" << error;
    ShowMess(QStringLiteral("数据备份失败！"), mkError);
    return BackupResult::Failed;
}

bool TdmData::Connect(const ConnectHooks& hooks)
{
    for (;;) {
        if (hooks.status)
            hooks.status(QStringLiteral("正在连接数据库 ....."));
        if (openOnce(hooks)) {
            m_connected = true;
            if (hooks.status)
                hooks.status(QStringLiteral("连接成功，正在登录 ..."));
            return true;
        }
        m_connected = false;
        qWarning().noquote() << "无法打开数据库" << databasePath() << ":" << m_lastError;
        if (hooks.failed)
            hooks.failed();
        const QString picked = UserDialogs::current().openFileName(
            QStringLiteral("连接网络数据库"), AppPaths::exeDir(),
            QStringLiteral("合同数据库 (*.db);;所有文件 (*)"));
        if (picked.isEmpty())
            return false;
        // Whatever file was picked, its folder's Contract.db is opened.
        const QString folder = AppPaths::folderSettingForFile(picked);
        if (!m_settings.writeString(QStringLiteral("config"), QStringLiteral("ds"), folder)) {
            // A settings file that cannot be written must not keep the
            // program on the folder that just failed.
            qWarning().noquote() << "无法写入" << m_settings.path();
            m_pickedFolder = folder;
        } else {
            m_pickedFolder.clear();
        }
        if (hooks.retrying)
            hooks.retrying();
    }
}
