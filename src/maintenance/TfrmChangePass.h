#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "更改密码": the logged-in operator changes his own password. The old one
// must be typed exactly; the new one twice (compared without surrounding
// blanks) and stored as first typed. The window closes after every "确定".
class TfrmChangePass : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmChangePass(QWidget* parent = nullptr);

    // "确定(&O)": true when the new password was stored.
    bool change();

private:
    QLabel* m_operator = nullptr;
    QLineEdit* m_old = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_repeat = nullptr;
};
