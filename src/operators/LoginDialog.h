#pragma once

#include "operators/LoginService.h"

#include <QDialog>

class QCloseEvent;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class TdmData;

// The login dialog ("登录窗口"), at start-up (mode 0) and for changing the
// operator from the main window (mode 1). It has no title-bar buttons and
// ignores Esc and the window manager's close: it is left only through
// "确定" and "取消". The checks themselves are LoginService's.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    // result() once the dialog has closed.
    enum Result
    {
        Cancelled = QDialog::Rejected, // re-login given up; the old session stays
        LoggedIn = QDialog::Accepted,  // the session is established
        EndProgram = 2,                // start-up given up or refused
    };

    // Uses the data module dmData(), which must exist.
    explicit LoginDialog(int mode, QWidget* parent = nullptr);
    LoginDialog(TdmData& dm, int mode, QWidget* parent = nullptr);

    // Shows the dialog modally. True when an operator logged in; false in
    // start-up mode means the program must end, in re-login mode that the
    // previous session stays.
    static bool Login(int mode, QWidget* parent = nullptr);

    static QString promptText();

    LoginService::Mode mode() const { return m_service.mode(); }
    const LoginService& service() const { return m_service; }
    QComboBox* nameCombo() const { return m_name; }
    QLineEdit* passwordEdit() const { return m_password; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    // What "确定" and "取消" do.
    void tryLogin();
    void cancel();
    // Esc and closing by the window manager end up here; they do nothing.
    void reject() override;
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    LoginService m_service;
    QLabel* m_prompt;
    QComboBox* m_name;
    QLineEdit* m_password;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    bool m_leaving = false;
};
