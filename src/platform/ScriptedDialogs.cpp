#include "platform/ScriptedDialogs.h"

ScriptedDialogs::ScriptedDialogs() : m_previous(&UserDialogs::current())
{
    UserDialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    UserDialogs::install(m_previous);
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const Message& m : m_messages)
        out << m.text;
    return out;
}

void ScriptedDialogs::clear()
{
    m_answers.clear();
    m_files.clear();
    m_passwords.clear();
    m_messages.clear();
    m_dialogs.clear();
    m_unanswered = 0;
}

void ScriptedDialogs::showFailure(const QString& text, const QString& details)
{
    m_messages.append({mkError, text, details});
}

int ScriptedDialogs::showMess(const QString& text, int kind)
{
    m_messages.append({kind, text, QString()});
    if (kind != mkQuestion && kind != mkQuestionCancel)
        return 1;
    if (m_answers.isEmpty()) {
        ++m_unanswered;
        return kind == mkQuestionCancel ? 3 : 2;
    }
    return m_answers.dequeue();
}

QStringList ScriptedDialogs::nextFiles(const QString& type, const QString& title,
                                       const QString& dir, const QString& filter)
{
    m_dialogs.append({type, title, dir, filter});
    if (m_files.isEmpty())
        return {};
    QStringList files = m_files.dequeue();
    files.removeAll(QString());
    return files;
}

QString ScriptedDialogs::openFileName(const QString& title, const QString& dir,
                                      const QString& filter)
{
    return nextFiles(QStringLiteral("open"), title, dir, filter).value(0);
}

QStringList ScriptedDialogs::openFileNames(const QString& title, const QString& dir,
                                           const QString& filter)
{
    return nextFiles(QStringLiteral("openMany"), title, dir, filter);
}

QString ScriptedDialogs::saveFileName(const QString& title, const QString& dir,
                                      const QString& filter)
{
    return nextFiles(QStringLiteral("save"), title, dir, filter).value(0);
}

QString ScriptedDialogs::existingDirectory(const QString& title, const QString& dir)
{
    return nextFiles(QStringLiteral("folder"), title, dir, QString()).value(0);
}

std::optional<QString> ScriptedDialogs::askPassword(const QString& title, const QString& prompt)
{
    m_dialogs.append({QStringLiteral("password"), title, QString(), prompt});
    if (m_passwords.isEmpty())
        return std::nullopt;
    return m_passwords.dequeue();
}
