#include "data/TdmData.h"

#include "app/AppPaths.h"
#include "data/Schema.h"
#include "platform/UserDialogs.h"

#include <QDebug>

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

bool TdmData::openOnce()
{
    m_lastError.clear();
    if (!m_db.open(databasePath(), &m_lastError))
        return false;
    if (!Schema::isContractDatabase(m_db, &m_lastError)) {
        m_db.close();
        return false;
    }
    return true;
}

bool TdmData::Connect(const ConnectHooks& hooks)
{
    for (;;) {
        if (hooks.status)
            hooks.status(QStringLiteral("正在连接数据库 ....."));
        if (openOnce()) {
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
