#include "maintenance/TfrmChangePass.h"

#include "common/EnterActsAsTab.h"
#include "data/Schema.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "operators/OperatorStore.h"
#include "platform/Messages.h"
#include "platform/PasswordHash.h"
#include "platform/UserDialogs.h"

#include <QDebug>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* passwordField(const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setEchoMode(QLineEdit::Password);
    const int limit = Schema::maxLength(QStringLiteral("OperList"), QStringLiteral("F_PassWord"));
    if (limit > 0)
        edit->setMaxLength(limit);
    return edit;
}

} // namespace

TfrmChangePass::TfrmChangePass(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmChangePass"));
    setWindowTitle(QStringLiteral("更改密码"));

    m_operator =
        new QLabel(QStringLiteral("当前操作员：") + Session.OperName + QLatin1Char(' '), this);
    m_operator->setObjectName(QStringLiteral("lblOperator"));
    m_old = passwordField("edtOld");
    m_new = passwordField("edtNew");
    m_repeat = passwordField("edtRepeat");

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("旧 密 码："), m_old);
    form->addRow(QStringLiteral("新 密 码："), m_new);
    form->addRow(QStringLiteral("再输一遍："), m_repeat);

    auto* ok = new QPushButton(QStringLiteral("确定(&O)"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* b : {ok, cancel})
        b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, [this] {
        change();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_operator);
    layout->addLayout(form);
    layout->addLayout(buttons);
    new EnterActsAsTab(this, nullptr, cancel);
    resize(320, 170);
}

bool TfrmChangePass::change()
{
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    qint64 id = 0;
    QString stored;
    bool found = false;
    QString error;
    if (!OperatorStore::storedPassword(dm->db(), Session.OperName, &id, &stored, &found, &error)) {
        qWarning().noquote() << "reading the operator's password failed:" << error;
        ShowFailure(Messages::openFailed(), error);
        return false;
    }
    if (!found) {
        ShowMess(QStringLiteral("当前操作员已不存在，不能更改口令！"), mkWarning);
        return false;
    }
    // The old password exactly as typed; the new one without the blanks
    // around it, so that a stray blank in the repetition does not refuse it.
    if (!CheckPass(m_old->text(), stored)) {
        ShowMess(QStringLiteral("旧口令输入错误，不能更改！"), mkWarning);
        return false;
    }
    if (m_new->text().trimmed() != m_repeat->text().trimmed()) {
        ShowMess(QStringLiteral("新口令错误，不能更改！"), mkInfo);
        m_new->clear();
        m_repeat->clear();
        return false;
    }
    if (!OperatorStore::setPassword(dm->db(), id, SavePass(m_new->text()), &error)) {
        qWarning().noquote() << "storing the new password failed:" << error;
        ShowFailure(Messages::saveFailed(), error);
        return false;
    }
    ShowMess(QStringLiteral("更改口令成功！"), mkInfo);
    return true;
}
