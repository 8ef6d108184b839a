#include "maintenance/TfrmCompanyInfo.h"

#include "common/EnterActsAsTab.h"
#include "common/MaxLength.h"
#include "data/DataServicesUi.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "maintenance/CompanyInfo.h"
#include "platform/AppInfo.h"
#include "platform/DesktopOpener.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit* addLine(QFormLayout* form, const QString& caption, const char* name, const char* column)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    LimitToColumn(edit, QStringLiteral("SysInfo"), QLatin1String(column));
    form->addRow(caption, edit);
    return edit;
}

} // namespace

TfrmCompanyInfo::TfrmCompanyInfo(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmCompanyInfo"));
    setWindowTitle(QStringLiteral("公司信息"));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pcInfo"));

    auto* main = new QWidget;
    auto* mainForm = new QFormLayout(main);
    m_code = addLine(mainForm, QStringLiteral("公司名称："), "edtCode", "F_Code");
    m_name = addLine(mainForm, QStringLiteral("联系地址："), "edtName", "F_Name");
    m_manager = addLine(mainForm, QStringLiteral("负 责 人："), "edtManager", "F_Manager");
    m_phone = addLine(mainForm, QStringLiteral("联系电话："), "edtPhone", "F_Phone");
    m_handPhone = addLine(mainForm, QStringLiteral("手    机："), "edtHandPhone", "F_HandPhone");
    m_homepage = addLine(mainForm, QStringLiteral("主    页："), "edtHomepage", "F_Homepage");
    m_email = addLine(mainForm, QStringLiteral("电子邮箱："), "edtEmail", "F_Email");
    m_pages->addTab(main, QStringLiteral(" 主要资料 "));

    auto* other = new QWidget;
    auto* otherForm = new QFormLayout(other);
    m_enroler = addLine(otherForm, QStringLiteral("注册法人："), "edtEnroler", "F_Enroler");
    m_mem = new QPlainTextEdit;
    m_mem->setObjectName(QStringLiteral("memMem"));
    m_mem->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    LimitToColumn(m_mem, QStringLiteral("SysInfo"), QStringLiteral("F_Mem"));
    otherForm->addRow(QStringLiteral("公司简介："), m_mem);
    m_pages->addTab(other, QStringLiteral(" 其他资料 "));
    // The third page of the original window held nothing; it is left out.

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    struct Button
    {
        const char* name;
        const char* text;
    };
    QPushButton* made[4] = {};
    const Button defs[] = {
        {"btnClear", "重填"}, {"btnReload", "修改"}, {"btnSave", "保存"}, {"btnClose", "关闭"}};
    for (int i = 0; i < 4; ++i) {
        made[i] = new QPushButton(QString::fromUtf8(defs[i].text), this);
        made[i]->setObjectName(QLatin1String(defs[i].name));
        made[i]->setAutoDefault(false);
        buttons->addWidget(made[i]);
    }
    connect(made[0], &QPushButton::clicked, this, &TfrmCompanyInfo::clearFields);
    connect(made[1], &QPushButton::clicked, this, &TfrmCompanyInfo::reload);
    connect(made[2], &QPushButton::clicked, this, &TfrmCompanyInfo::save);
    connect(made[3], &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);

    m_homepage->installEventFilter(this);
    m_email->installEventFilter(this);
    new EnterActsAsTab(this, made[2], made[3]);
    resize(460, 340);
    reload();
}

bool TfrmCompanyInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == m_homepage)
            openHomePage();
        else if (watched == m_email)
            openMail();
    }
    return QDialog::eventFilter(watched, event);
}

CompanyInfo TfrmCompanyInfo::fields() const
{
    CompanyInfo info;
    info.code = m_code->text();
    info.name = m_name->text();
    info.manager = m_manager->text();
    info.phone = m_phone->text();
    info.handPhone = m_handPhone->text();
    info.homepage = m_homepage->text();
    info.email = m_email->text();
    info.enroler = m_enroler->text();
    info.mem = m_mem->toPlainText();
    return info;
}

void TfrmCompanyInfo::showInfo(const CompanyInfo& info)
{
    m_code->setText(info.code);
    m_name->setText(info.name);
    m_manager->setText(info.manager);
    m_phone->setText(info.phone);
    m_handPhone->setText(info.handPhone);
    m_homepage->setText(info.homepage);
    m_email->setText(info.email);
    m_enroler->setText(info.enroler);
    m_mem->setPlainText(info.mem);
}

bool TfrmCompanyInfo::reload()
{
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    CompanyInfo info;
    QString error;
    if (!CompanyInfoStore::read(dm->db(), &info, &error)) {
        qWarning().noquote() << "reading the company information failed:" << error;
        ShowFailure(Messages::openFailed(), error);
        return false;
    }
    showInfo(info);
    return true;
}

void TfrmCompanyInfo::clearFields()
{
    showInfo(CompanyInfo());
}

bool TfrmCompanyInfo::save()
{
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    QString error;
    if (!CompanyInfoStore::save(dm->db(), fields(), &error)) {
        qWarning().noquote() << "saving the company information failed:" << error;
        ShowFailure(Messages::saveFailed(), error);
        return false;
    }
    // What reports print is what was stored, read back as the login reads it.
    CompanyInfo stored;
    if (CompanyInfoStore::read(dm->db(), &stored, &error))
        Session.SysCode = stored.code;
    else
        qWarning().noquote() << "re-reading the company name failed:" << error;
    ShowMess(QStringLiteral("当前更改成功！"), mkInfo);
    return true;
}

void TfrmCompanyInfo::openHomePage()
{
    const QUrl url = HomePageUrl(m_homepage->text());
    if (!url.isEmpty())
        OpenWithDesktop(url);
}

void TfrmCompanyInfo::openMail()
{
    const QString address = m_email->text().trimmed();
    if (IsMailAddress(address))
        OpenWithDesktop(QUrl(QStringLiteral("mailto:") + address + QStringLiteral("?subject")));
}

QString TfrmAbout::webAddress()
{
    return QStringLiteral("https://www.pushuo-soft.cn");
}

QString TfrmAbout::mailAddress()
{
    return QStringLiteral("support@pushuo-soft.cn");
}

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmAbout"));
    setWindowTitle(QStringLiteral("关于我们"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(AppInfo::applicationTitle()), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    layout->addWidget(title);
    auto* version = new QLabel(QStringLiteral("版本 ") + AppInfo::version(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    layout->addWidget(version);
    layout->addWidget(new QLabel(
        QStringLiteral("合同、收付款、执行、变更、附件、货品、发货与提醒的管理。"), this));
    auto link = [this, layout](const char* name, const QString& caption, const QUrl& url,
                               const QString& text) {
        auto* label =
            new QLabel(caption + QStringLiteral("<a href=\"%1\">%2</a>")
                                     .arg(url.toString().toHtmlEscaped(), text.toHtmlEscaped()),
                       this);
        label->setObjectName(QLatin1String(name));
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        connect(label, &QLabel::linkActivated, this,
                [](const QString& target) { OpenWithDesktop(QUrl(target)); });
        layout->addWidget(label);
    };
    link("lblWeb", QStringLiteral("网址："), QUrl(webAddress()), webAddress());
    link("lblMail", QStringLiteral("邮箱："), QUrl(QStringLiteral("mailto:") + mailAddress()),
         mailAddress());
    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(box);
}
