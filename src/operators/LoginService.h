#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class TdmData;

// The checks of the login dialog, without the dialog: the operator must
// exist, must not be disabled, and must type the password the stored hash
// was made from. The fourth wrong password ends the attempt. Messages go to
// the operator through ShowMess, as the dialog would show them.
class LoginService
{
public:
    enum Mode
    {
        StartUp = 0,
        ReLogin = 1
    };
    enum class Outcome
    {
        LoggedIn,  // the session is established
        Stay,      // a message was shown; the dialog stays open
        FocusName, // as Stay, with the focus back on the name
        Failed,    // the fourth wrong password: start-up ends the program,
                   // re-login closes the dialog as cancelled
    };

    LoginService(TdmData& dm, Mode mode);

    Mode mode() const { return m_mode; }
    // The names offered in the dialog, and the name used last on this
    // workstation.
    QStringList operatorNames() const;
    QString presetName() const;

    Outcome tryLogin(const QString& name, const QString& password);
    int wrongPasswords() const { return m_wrong; }

private:
    TdmData& m_dm;
    Mode m_mode;
    int m_wrong = 0;
};

// Fixes the session for a checked operator: name, restriction, approval
// right, company name, settings slots and formats, automatic numbering; and
// stores the name as the workstation's last operator. When the operator's
// row cannot be read the login must be refused: false, the session then
// sees no contract and may not approve, and the name stays as it was.
bool EstablishSession(TdmData& dm, const QString& operatorName, QString* error = nullptr);

// The rights the current operator holds: every code for the administrator,
// otherwise the codes of his OperLimit rows.
QSet<int> HeldRights(TdmData& dm);
