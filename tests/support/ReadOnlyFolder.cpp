#include "support/ReadOnlyFolder.h"

#include <QFile>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr unsigned kOverrides =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool setOverrides(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    if (on)
        data[0].effective |= data[0].permitted & kOverrides;
    else
        data[0].effective &= ~kOverrides;
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

ReadOnlyFolder::ReadOnlyFolder(const QString& path) : m_path(path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    if (geteuid() == 0)
        m_droppedCapabilities = setOverrides(false);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_droppedCapabilities)
        setOverrides(true);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                      QFile::ExeOther);
}

bool ReadOnlyFolder::holds() const
{
    return faccessat(AT_FDCWD, QFile::encodeName(m_path).constData(), W_OK, AT_EACCESS) != 0;
}
