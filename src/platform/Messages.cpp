#include "platform/Messages.h"

#include "platform/UserDialogs.h"

#include <QDebug>

void ShowFailure(const QString& message, const QString& details)
{
    if (!details.isEmpty())
        qWarning().noquote() << message.trimmed() << "-" << details;
    UserDialogs::current().showFailure(message, details);
}
