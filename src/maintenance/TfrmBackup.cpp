#include "maintenance/TfrmBackup.h"

#include "common/MaxLength.h"
#include "data/Backup.h"
#include "data/CompactDatabase.h"
#include "data/Schema.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "maintenance/BackupRestore.h"
#include "operators/OperatorStore.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/PasswordHash.h"
#include "platform/UserDialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

TfrmBackup::RestartHook g_restart;

void restartProgram()
{
    // The restored file is opened by a new run, as at any start.
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                 QCoreApplication::arguments().mid(1)))
        ShowMess(QStringLiteral("无法重新启动程序，请手动启动。"), mkWarning);
    QCoreApplication::exit(0);
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Shows the wait cursor for the lifetime of the object.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

void TfrmBackup::setRestartHook(RestartHook hook)
{
    g_restart = std::move(hook);
}

TfrmBackup::TfrmBackup(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmBackup"));
    setWindowTitle(QStringLiteral("系统备份及恢复"));

    auto* autoGroup = new QGroupBox(QStringLiteral("自动备份"), this);
    autoGroup->setObjectName(QStringLiteral("rgAutoBak"));
    auto* autoLayout = new QVBoxLayout(autoGroup);
    m_mode = new QButtonGroup(this);
    const char* const choices[] = {"不备份", "每次系统启动备份", "每周星期一备份", "每月一号备份"};
    for (int i = 0; i < 4; ++i) {
        auto* choice = new QRadioButton(QString::fromUtf8(choices[i]), autoGroup);
        choice->setObjectName(QStringLiteral("rbBak%1").arg(i));
        m_mode->addButton(choice, i);
        autoLayout->addWidget(choice);
    }

    auto* pathGroup = new QGroupBox(QStringLiteral("备份路径"), this);
    pathGroup->setObjectName(QStringLiteral("gbPath"));
    auto* pathLayout = new QVBoxLayout(pathGroup);
    auto* pathRow = new QHBoxLayout;
    m_path = new QLineEdit(pathGroup);
    m_path->setObjectName(QStringLiteral("edtPath"));
    LimitToColumn(m_path, QStringLiteral("SysInfo"), QStringLiteral("F_BakPath"));
    auto* pick = new QPushButton(QStringLiteral("..."), pathGroup);
    pick->setObjectName(QStringLiteral("btnPath"));
    pick->setAutoDefault(false);
    pick->setMaximumWidth(pick->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(pick);
    pathLayout->addLayout(pathRow);
    auto* note = new QLabel(QStringLiteral("注意：路径指的是数据库所在机器上的目录"), pathGroup);
    note->setObjectName(QStringLiteral("lblNote"));
    pathLayout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    struct Button
    {
        const char* name;
        const char* text;
    };
    const Button defs[] = {
        {"btnBackup", "备份"}, {"btnRestore", "恢复"}, {"btnOK", "确定"}, {"btnClose", "关闭"}};
    QPushButton* made[4] = {};
    for (int i = 0; i < 4; ++i) {
        made[i] = new QPushButton(QString::fromUtf8(defs[i].text), this);
        made[i]->setObjectName(QLatin1String(defs[i].name));
        made[i]->setAutoDefault(false);
        buttons->addWidget(made[i]);
        if (i == 1)
            buttons->addStretch(1);
    }
    m_restore = made[1];
    connect(pick, &QPushButton::clicked, this, &TfrmBackup::pickFolder);
    connect(made[0], &QPushButton::clicked, this, &TfrmBackup::backup);
    connect(made[1], &QPushButton::clicked, this, &TfrmBackup::restore);
    connect(made[2], &QPushButton::clicked, this, &TfrmBackup::saveSettings);
    connect(made[3], &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(autoGroup);
    layout->addWidget(pathGroup);
    layout->addStretch(1);
    layout->addLayout(buttons);
    resize(420, 300);

    const int mode = Session.BackupMode >= 0 && Session.BackupMode <= 3 ? Session.BackupMode : 0;
    m_mode->button(mode)->setChecked(true);
    if (TdmData* dm = dmData()) {
        QString folder;
        QString error;
        if (BackupSettings::readFolder(dm->db(), &folder, &error))
            m_path->setText(folder);
        else
            ShowFailure(Messages::openFailed(), error);
    }
}

QString TfrmBackup::chosenFolder() const
{
    TdmData* dm = dmData();
    return Backup::resolveFolder(m_path->text(), dm ? dm->db().filePath() : QString());
}

bool TfrmBackup::ensureFolder(const QString& folder, bool blankBeforeCreateFailed)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (ShowMess(QStringLiteral("当前目录") + shown(folder) + QStringLiteral(" 不存在，是否创建！"),
                 mkQuestion) != 1)
        return false;
    if (QDir().mkpath(folder) && QFileInfo(folder).isDir())
        return true;
    ShowMess(QStringLiteral("目录") + shown(folder) +
                 (blankBeforeCreateFailed ? QStringLiteral(" 创建失败,请检测路径是否合法!")
                                          : QStringLiteral("创建失败,请检测路径是否合法!")),
             mkError);
    return false;
}

void TfrmBackup::pickFolder()
{
    const QString typed = m_path->text().trimmed();
    const QString picked =
        UserDialogs::current().existingDirectory(QStringLiteral("选择文件路径"), chosenFolder());
    if (!picked.isEmpty() && picked.trimmed() != typed)
        m_path->setText(QDir::toNativeSeparators(picked.trimmed()));
}

bool TfrmBackup::saveSettings()
{
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    if (!ensureFolder(chosenFolder(), false)) {
        m_path->setFocus();
        return false;
    }
    QString error;
    // Stored as typed (trimmed): a relative folder stays relative to the
    // database wherever the database is reached from.
    if (!BackupSettings::saveFolder(dm->db(), m_path->text().trimmed(), &error)) {
        ShowFailure(Messages::saveFailed(), error);
        return false;
    }
    const int mode = m_mode->checkedId() < 0 ? 0 : m_mode->checkedId();
    if (!dm->settings().writeInteger(QStringLiteral("config"), QStringLiteral("ibak"), mode)) {
        ShowFailure(QStringLiteral("自动备份设置无法写入设置文件！"), dm->settings().path());
        return false;
    }
    Session.BackupMode = mode;
    ShowMess(QStringLiteral("当前软件设置更改成功！"), mkInfo);
    accept();
    return true;
}

bool TfrmBackup::backup()
{
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    const QString folder = chosenFolder();
    if (!ensureFolder(folder, true))
        return false;
    const QString file = QDir(folder).filePath(Backup::dailyFileName(Clock::today()));
    const auto agreeToReplace = [&file] {
        return ShowMess(QStringLiteral("备份文件 \"") + shown(file) +
                            QStringLiteral("\" 已经存在，\n真的要复盖当前备份吗？"),
                        mkQuestion) == 1;
    };
    QString error;
    bool written = false;
    {
        const QFileInfo existing(file);
        if (existing.exists() || existing.isSymLink()) {
            if (!agreeToReplace())
                return false;
            WaitCursor wait;
            written = Backup::copyDatabaseOver(dm->db(), file, &error);
        } else {
            Backup::Result result;
            {
                WaitCursor wait;
                result = Backup::copyDatabase(dm->db(), file, &error);
            }
            if (result == Backup::Result::TargetExists) {
                // Another workstation wrote today's backup meanwhile.
                if (!agreeToReplace())
                    return false;
                WaitCursor wait;
                written = Backup::copyDatabaseOver(dm->db(), file, &error);
            } else {
                written = result == Backup::Result::Written;
            }
        }
    }
    if (!written) {
        qWarning().noquote() << "backup failed:" << error;
        ShowFailure(QStringLiteral("数据备份失败！"), error);
        return false;
    }
    if (ShowMess(QStringLiteral("是否需要压缩当前数据库！"), mkQuestion) == 1) {
        bool compacted = false;
        {
            WaitCursor wait;
            compacted = CompactDatabase(dm->db(), &error);
        }
        if (!compacted) {
            qWarning().noquote() << "compaction after the backup failed:" << error;
            ShowFailure(QStringLiteral("压缩数据库失败！"), error);
        }
    }
    ShowMess(QStringLiteral("数据备份成功！"), mkInfo);
    return true;
}

bool TfrmBackup::passwordAccepted()
{
    const std::optional<QString> typed = UserDialogs::current().askPassword(
        QStringLiteral("密码提示"), QStringLiteral("请输入恢复密码"));
    if (!typed)
        return false;
    TdmData* dm = dmData();
    qint64 id = 0;
    QString stored;
    bool found = false;
    QString error;
    if (!OperatorStore::storedPassword(dm->db(), Session.OperName, &id, &stored, &found, &error)) {
        qWarning().noquote() << "reading the operator's password failed:" << error;
        ShowFailure(Messages::openFailed(), error);
        return false;
    }
    // The logged-in operator's own password, exactly as typed.
    if (!found || !CheckPass(*typed, stored)) {
        ShowMess(QStringLiteral("对不起,恢复密码错误，你没有恢复数据的权限！"), mkError);
        return false;
    }
    return true;
}

bool TfrmBackup::restore()
{
    if (!dmData()) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    if (!passwordAccepted())
        return false;
    m_restore->setEnabled(false);
    setWindowTitle(QStringLiteral("正在恢复数据...."));
    const bool done = runRestore();
    m_restore->setEnabled(true);
    setWindowTitle(QStringLiteral("数据备份及恢复"));
    return done;
}

bool TfrmBackup::runRestore()
{
    TdmData* dm = dmData();
    Database& db = dm->db();
    const QString folder = chosenFolder();
    const QString file = UserDialogs::current().openFileName(
        QStringLiteral("选择备份文件"), folder, QStringLiteral("备份文件 (*.back);;所有文件 (*)"));
    if (file.isEmpty())
        return false;

    BackupRestore::PreparedRestore prepared;
    bool usable = false;
    {
        WaitCursor wait;
        usable = prepared.prepare(file, db.filePath());
    }
    if (!usable) {
        qWarning().noquote() << "backup file refused:" << file << prepared.reason()
                             << prepared.details();
        ShowFailure(QStringLiteral("不能用此文件恢复：") + prepared.reason() + QStringLiteral("。"),
                    prepared.details());
        return false;
    }
    if (ShowMess(QStringLiteral("此操作将使上次备份以来的所有数据丢失，是否继续？"), mkQuestion) !=
        1)
        return false;

    BackupRestore::Result result;
    {
        WaitCursor wait;
        result = BackupRestore::restore(db, prepared, folder);
    }
    switch (result.outcome) {
    case BackupRestore::Outcome::Restored:
        break;
    case BackupRestore::Outcome::InUse:
        qWarning().noquote() << "restore refused, database in use:" << result.error;
        ShowMess(QStringLiteral("数据库正在被使用！请确定已关闭其它使用该数据库程序！"), mkWarning);
        ShowFailure(QStringLiteral("恢复失败！"), result.error);
        return false;
    case BackupRestore::Outcome::Failed:
        qWarning().noquote() << "restore failed:" << result.error;
        ShowFailure(QStringLiteral("恢复失败！"), result.error);
        return false;
    }
    m_restored = true;
    ShowMess(QStringLiteral("恢复前的数据库已保存为：\n") + shown(result.safetyCopy), mkInfo);
    if (ShowMess(QStringLiteral("数据恢复成功,重新启动当前程序吗？"), mkQuestion) == 1) {
        if (g_restart)
            g_restart();
        else
            restartProgram();
        return true;
    }
    // Going on without a restart: the connection must read the restored file
    // as a database of this version, and the session takes its settings.
    Schema::Inspection found;
    QString error;
    if (!Schema::inspect(db, &found, &error) || found.state != Schema::State::Current) {
        qWarning().noquote() << "the restored database cannot be read:" << error << found.problem;
        ShowFailure(QStringLiteral("恢复失败,数据文件已破坏，请联系技术人员处理..."),
                    error.isEmpty() ? found.problem : error);
        return true;
    }
    dm->LoadSessionValues();
    return true;
}
