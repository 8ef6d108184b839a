#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Message kinds of ShowMess.
enum MessKind
{
    mkInfo = 0,     // information, prompts to fill a field, success reports
    mkQuestion = 1, // two buttons: result 1 affirmative, 2 negative
    mkWarning = 2,
    mkError = 3,
    mkQuestionCancel = 4, // three buttons: 1 yes, 2 no, 3 cancel
};

// Everything that asks the operator something through a modal dialog goes
// through this interface: message boxes and file/folder dialogs. The desktop
// program installs the Qt implementation; tests install ScriptedDialogs; the
// command-line tool keeps the console default.
class UserDialogs
{
public:
    virtual ~UserDialogs();

    // Returns 1 or 2 for a question, 1 to 3 for a question with cancel; the
    // result of other kinds is ignored.
    virtual int showMess(const QString& text, int kind) = 0;
    // An error message whose details (the database's own text, a file
    // error) the operator can open; by default the message alone.
    virtual void showFailure(const QString& text, const QString& details)
    {
        Q_UNUSED(details);
        showMess(text, mkError);
    }

    // Filters in Qt's form: "合同数据库 (*.db);;所有文件 (*)".
    // Each returns an empty value when the operator cancels.
    virtual QString openFileName(const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    virtual QStringList openFileNames(const QString& title, const QString& dir,
                                      const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString existingDirectory(const QString& title, const QString& dir) = 0;

    // A password typed into a small input dialog that hides what is typed;
    // no value when the operator cancels (an empty password is a value).
    virtual std::optional<QString> askPassword(const QString& title, const QString& prompt)
    {
        Q_UNUSED(title);
        Q_UNUSED(prompt);
        return std::nullopt;
    }

    static UserDialogs& current();
    // Not owned. nullptr restores the console default.
    static void install(UserDialogs* dialogs);
};

// The message box every window uses.
int ShowMess(const QString& text, int kind);

// Writes messages to stderr and answers every question negatively (a
// question with cancel with "cancel"); used where no window can be shown.
class ConsoleDialogs : public UserDialogs
{
public:
    int showMess(const QString& text, int kind) override;
    void showFailure(const QString& text, const QString& details) override;
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QStringList openFileNames(const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString existingDirectory(const QString&, const QString&) override { return {}; }
};
