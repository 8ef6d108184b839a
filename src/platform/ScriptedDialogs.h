#pragma once

#include "platform/UserDialogs.h"

#include <QList>
#include <QQueue>

// Test stand-in for the operator: answers come from queues, and every
// message and dialog is recorded. Installs itself for its lifetime.
// A question without a queued answer gets the negative answer ("cancel" when
// it offers one) and a dialog without a queued file is cancelled, so a test
// never hangs.
class ScriptedDialogs : public UserDialogs
{
public:
    struct Message
    {
        int kind;
        QString text;
        QString details; // behind the message, for failures
    };
    struct Dialog
    {
        QString type; // "open", "openMany", "save", "folder", "password"
        QString title;
        QString dir;
        QString filter; // the prompt of a password dialog
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void queueAnswer(int answer) { m_answers.enqueue(answer); }
    // An empty name answers the next dialog with "cancel".
    void queueFile(const QString& path) { m_files.enqueue(QStringList{path}); }
    void queueFiles(const QStringList& paths) { m_files.enqueue(paths); }
    // No value answers the next password dialog with "cancel".
    void queuePassword(const std::optional<QString>& password) { m_passwords.enqueue(password); }

    const QList<Message>& messages() const { return m_messages; }
    const QList<Dialog>& dialogs() const { return m_dialogs; }
    QStringList texts() const;
    QString lastText() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    int lastKind() const { return m_messages.isEmpty() ? -1 : m_messages.last().kind; }
    QString lastDetails() const
    {
        return m_messages.isEmpty() ? QString() : m_messages.last().details;
    }
    // Questions asked while no answer was queued.
    int unansweredQuestions() const { return m_unanswered; }
    int pendingAnswers() const { return int(m_answers.size()); }
    int pendingFiles() const { return int(m_files.size()); }
    int pendingPasswords() const { return int(m_passwords.size()); }
    void clear();

    int showMess(const QString& text, int kind) override;
    void showFailure(const QString& text, const QString& details) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter) override;
    QStringList openFileNames(const QString& title, const QString& dir,
                              const QString& filter) override;
    QString saveFileName(const QString& title, const QString& dir, const QString& filter) override;
    QString existingDirectory(const QString& title, const QString& dir) override;
    std::optional<QString> askPassword(const QString& title, const QString& prompt) override;

private:
    QStringList nextFiles(const QString& type, const QString& title, const QString& dir,
                          const QString& filter);

    UserDialogs* m_previous;
    QQueue<int> m_answers;
    QQueue<QStringList> m_files;
    QQueue<std::optional<QString>> m_passwords;
    QList<Message> m_messages;
    QList<Dialog> m_dialogs;
    int m_unanswered = 0;
};
