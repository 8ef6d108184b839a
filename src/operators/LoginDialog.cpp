#include "operators/LoginDialog.h"

#include "data/DataServicesUi.h"
#include "data/Schema.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LoginDialog::LoginDialog(int mode, QWidget* parent) : LoginDialog(*dmData(), mode, parent) {}

LoginDialog::LoginDialog(TdmData& dm, int mode, QWidget* parent)
    : QDialog(parent),
      m_service(dm, mode == LoginService::ReLogin ? LoginService::ReLogin : LoginService::StartUp),
      m_prompt(new QLabel(promptText(), this)), m_name(new QComboBox(this)),
      m_password(new QLineEdit(this)), m_ok(new QPushButton(QStringLiteral("确定"), this)),
      m_cancel(new QPushButton(QStringLiteral("取消"), this))
{
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("登录窗口"));
    // A title, but no close, minimise or maximise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    m_prompt->setObjectName(QStringLiteral("lblPrompt"));
    m_prompt->setWordWrap(true);

    m_name->setObjectName(QStringLiteral("cbbName"));
    m_name->setEditable(true);
    // Enter in the name must not add the typed text to the list.
    m_name->setInsertPolicy(QComboBox::NoInsert);
    // Case-blind completion would also respell a typed "Admin" as the listed
    // "admin" when the field loses the focus; the session takes the name as typed.
    m_name->completer()->setCaseSensitivity(Qt::CaseSensitive);
    m_name->addItems(m_service.operatorNames());
    const QString preset = m_service.presetName();
    m_name->setCurrentIndex(m_name->findText(preset, Qt::MatchExactly));
    // A longer preset (an edited config.ini) is shown whole and then refused
    // by the look-up rather than cut.
    m_name->lineEdit()->setMaxLength(
        qMax(Schema::maxLength(QStringLiteral("OperList"), QStringLiteral("F_Name")),
             int(preset.size())));
    m_name->setEditText(preset);

    m_password->setObjectName(QStringLiteral("edtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(
        Schema::maxLength(QStringLiteral("OperList"), QStringLiteral("F_PassWord")));

    // Enter is ours (it moves between the fields), so no button is default.
    for (QPushButton* b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(m_ok, &QPushButton::clicked, this, &LoginDialog::tryLogin);
    connect(m_cancel, &QPushButton::clicked, this, &LoginDialog::cancel);

    auto* nameLabel = new QLabel(QStringLiteral("姓  名："), this);
    nameLabel->setObjectName(QStringLiteral("lblName"));
    nameLabel->setBuddy(m_name);
    auto* passwordLabel = new QLabel(QStringLiteral("密  码："), this);
    passwordLabel->setObjectName(QStringLiteral("lblPassword"));
    passwordLabel->setBuddy(m_password);

    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->setContentsMargins(24, 4, 24, 4);
    fields->addRow(nameLabel, m_name);
    fields->addRow(passwordLabel, m_password);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(m_prompt);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    // The wrapped prompt decides the height; the remembered size of other
    // windows does not apply to this one.
    const int width = 400;
    setFixedSize(width, heightForWidth(width));

    setTabOrder(m_name, m_password);
    setTabOrder(m_password, m_ok);
    setTabOrder(m_ok, m_cancel);
    if (preset.isEmpty())
        m_name->setFocus();
    else
        m_password->setFocus();

    ApplyInputMethod(this);
    DispFormPos(this, fpEdit);
}

bool LoginDialog::Login(int mode, QWidget* parent)
{
    if (!dmData())
        return false;
    LoginDialog dlg(*dmData(), mode, parent);
    return dlg.exec() == LoggedIn;
}

QString LoginDialog::promptText()
{
    return QStringLiteral(
        "请输入正确的操作员编号及密码，系统管理员编号“admin”，系统初始密码为空：");
}

void LoginDialog::tryLogin()
{
    switch (m_service.tryLogin(m_name->currentText(), m_password->text())) {
    case LoginService::Outcome::LoggedIn:
        done(LoggedIn);
        break;
    case LoginService::Outcome::Stay:
        m_password->clear();
        m_password->setFocus();
        break;
    case LoginService::Outcome::FocusName:
        m_name->setFocus();
        m_name->lineEdit()->selectAll();
        break;
    case LoginService::Outcome::Failed:
        done(mode() == LoginService::StartUp ? EndProgram : Cancelled);
        break;
    }
}

void LoginDialog::cancel()
{
    done(mode() == LoginService::StartUp ? EndProgram : Cancelled);
}

void LoginDialog::reject() {}

void LoginDialog::done(int result)
{
    m_leaving = true;
    QDialog::done(result);
    m_leaving = false;
}

void LoginDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & ~(Qt::KeypadModifier))
            break;
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            focusNextChild();
        event->accept();
        return;
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

void LoginDialog::closeEvent(QCloseEvent* event)
{
    if (m_leaving)
        event->accept();
    else
        event->ignore();
}
