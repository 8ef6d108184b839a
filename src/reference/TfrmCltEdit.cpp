#include "reference/TfrmCltEdit.h"

#include "codes/TDLGenterCaption.h"
#include "common/DataGrid.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "reference/ClientStore.h"

#include <QCheckBox>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {

const QString kTable = QStringLiteral("Client");

} // namespace

TfrmCltEdit::TfrmCltEdit(const CallerList& list, bool fromPicker, QWidget* parent)
    : SubRecordEdit(QStringLiteral("TfrmCltEdit"), QStringLiteral("往来单位档案"), list, true,
                    parent)
{
    auto line = [this](const char* name, const char* column) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        limitText(e, kTable, QLatin1String(column));
        return e;
    };
    int row = 0;

    auto* codeBox = new QWidget(this);
    auto* codeRow = new QHBoxLayout(codeBox);
    codeRow->setContentsMargins(0, 0, 0, 0);
    m_code = line("edtCode", "F_Code");
    m_auto = new QCheckBox(QStringLiteral("自动"), codeBox);
    m_auto->setObjectName(QStringLiteral("chkAuto"));
    codeRow->addWidget(m_code, 1);
    codeRow->addWidget(m_auto);
    addFieldWidget(QStringLiteral("单位编号："), codeBox, row, 0);
    m_name = addField(QStringLiteral("单位名称："), line("edtName", "F_Name"), row++, 1);

    auto* typeBox = new QWidget(this);
    auto* typeRow = new QHBoxLayout(typeBox);
    typeRow->setContentsMargins(0, 0, 0, 0);
    m_type = line("edtType", "F_Type");
    m_typeButton = new QToolButton(typeBox);
    m_typeButton->setObjectName(QStringLiteral("btnType"));
    m_typeButton->setText(QStringLiteral("..."));
    m_typeButton->setFocusPolicy(Qt::NoFocus);
    typeRow->addWidget(m_type, 1);
    typeRow->addWidget(m_typeButton);
    addFieldWidget(QStringLiteral("单位类型："), typeBox, row, 0);
    m_linkMan = addField(QStringLiteral("联 系 人："), line("edtLinkMan", "F_LinkMan"), row++, 1);
    m_phone = addField(QStringLiteral("固定电话："), line("edtPhone", "F_Phone"), row, 0);
    m_handPhone =
        addField(QStringLiteral("手    机："), line("edtHandPhone", "F_handPhone"), row++, 1);
    m_fax = addField(QStringLiteral("传    真："), line("edtFax", "F_fax"), row, 0);
    m_postcode =
        addField(QStringLiteral("邮    编："), line("edtPostcode", "F_Postcode"), row++, 1);
    m_address = line("edtAddress", "F_Address");
    addFieldWidget(QStringLiteral("单位地址："), m_address, row++, 0, 2);
    m_bank = addField(QStringLiteral("开户银行："), line("edtBank", "F_bank"), row, 0);
    m_account = addField(QStringLiteral("银行帐号："), line("edtAccount", "F_account"), row++, 1);
    m_ratecode = addField(QStringLiteral("纳 税 号："), line("edtRatecode", "F_ratecode"), row, 0);
    m_enrol = addField(QStringLiteral("公司法人："), line("edtEnrol", "F_Enrol"), row++, 1);
    m_homepage = addField(QStringLiteral("公司主页："), line("edtHomepage", "F_homepage"), row, 0);
    m_email = addField(QStringLiteral("电子邮箱："), line("edtEmail", "F_Email"), row++, 1);
    m_mem = new QPlainTextEdit(this);
    m_mem->setObjectName(QStringLiteral("memMem"));
    m_mem->setTabChangesFocus(true);
    addFieldWidget(QStringLiteral("备    注："), m_mem, row, 0, 2);
    form()->setRowStretch(row++, 1);
    m_stopped = new QCheckBox(QStringLiteral("停用"), this);
    m_stopped->setObjectName(QStringLiteral("chkUseFlag"));
    form()->addWidget(m_stopped, row++, 1);

    connect(m_typeButton, &QToolButton::clicked, this, &TfrmCltEdit::pickType);
    m_auto->setChecked(Session.AutoCode);
    connect(m_auto, &QCheckBox::toggled, this, &TfrmCltEdit::autoToggled);
    setOpenedFromPicker(fromPicker);
    resize(640, 420);
}

QLineEdit* TfrmCltEdit::edit(const QString& objectName) const
{
    return findChild<QLineEdit*>(objectName);
}

QString TfrmCltEdit::emptyCodeText()
{
    return QStringLiteral("当前客户编号不能为空！");
}

QString TfrmCltEdit::autoTailText()
{
    return QStringLiteral("采用自动编号，客户编号最后四位必须全为数字！");
}

QString TfrmCltEdit::duplicateText()
{
    return QStringLiteral("客户编号重复，请重新输入！");
}

void TfrmCltEdit::pickType()
{
    const QString path = PickTreeNode(4, m_type->text(), this);
    // A picked path is never cut to the box's limit.
    if (path.size() > m_type->maxLength())
        m_type->setMaxLength(path.size());
    m_type->setText(path);
}

void TfrmCltEdit::proposeCode()
{
    const AllocatedCode next = ClientStore::allocateAutoCode(dmData()->db());
    if (!next) {
        ShowFailure(Messages::openFailed(), next.error);
        return;
    }
    m_proposed = next.code;
    m_code->setText(next.code);
}

void TfrmCltEdit::autoToggled(bool on)
{
    // The proposed code leaves the tab order: the operator goes on with the
    // name.
    m_code->setFocusPolicy(on ? Qt::ClickFocus : Qt::StrongFocus);
    if (on && mode() == AddMode)
        proposeCode();
}

void TfrmCltEdit::beforeFill()
{
    m_auto->setEnabled(mode() == AddMode);
    m_code->setFocusPolicy(m_auto->isChecked() && mode() == AddMode ? Qt::ClickFocus
                                                                    : Qt::StrongFocus);
}

void TfrmCltEdit::clearFields()
{
    // The code stays for the next entry, unless it is numbered.
    if (m_auto->isChecked())
        proposeCode();
    for (QLineEdit* e : {m_name, m_type, m_linkMan, m_phone, m_address, m_postcode, m_fax,
                         m_handPhone, m_bank, m_account, m_ratecode, m_homepage, m_email, m_enrol})
        e->clear();
    m_mem->clear();
    m_stopped->setChecked(false);
}

void TfrmCltEdit::loadFields()
{
    auto value = [this](const char* field) {
        return currentValue(QLatin1String(field)).toString();
    };
    m_code->setText(value("F_Code"));
    m_name->setText(value("F_Name"));
    const QString type = value("F_Type");
    if (type.size() > m_type->maxLength())
        m_type->setMaxLength(type.size());
    m_type->setText(type);
    m_linkMan->setText(value("F_LinkMan"));
    m_phone->setText(value("F_Phone"));
    m_address->setText(value("F_Address"));
    m_postcode->setText(value("F_Postcode"));
    m_fax->setText(value("F_fax"));
    m_handPhone->setText(value("F_handPhone"));
    m_mem->setPlainText(value("F_Mem"));
    m_stopped->setChecked(currentValue(QStringLiteral("F_useFlag")).toInt() != 0);
    m_bank->setText(value("F_bank"));
    m_account->setText(value("F_account"));
    m_ratecode->setText(value("F_ratecode"));
    m_homepage->setText(value("F_homepage"));
    m_email->setText(value("F_Email"));
    m_enrol->setText(value("F_Enrol"));
}

bool TfrmCltEdit::checkFields()
{
    const qint64 id = mode() == ModifyMode && !openedFromPicker()
                          ? currentValue(QStringLiteral("F_ID")).toLongLong()
                          : 0;
    const QString code = m_code->text().trimmed();
    auto refuse = [this](const QString& text) {
        ShowMess(text, mkInfo);
        m_code->setFocus();
        return false;
    };
    if (code.isEmpty())
        return refuse(emptyCodeText());
    if (m_auto->isChecked() && !ClientStore::hasNumberedTail(code))
        return refuse(autoTailText());
    // A proposed code is taken anew when saving and checked there.
    if (!Session.AutoCode || (mode() == AddMode && m_auto->isChecked() && code == m_proposed))
        return true;
    qint64 found = 0;
    QString error;
    if (!ClientStore::findByCode(dmData()->db(), code, &found, &error)) {
        ShowFailure(Messages::operationFailed(), error);
        return false;
    }
    if (found > 0 && (mode() == AddMode || found != id))
        return refuse(duplicateText());
    return true;
}

bool TfrmCltEdit::writeRecord(Database& db, qint64 id, qint64* savedId, QString* error)
{
    Client c;
    c.id = id;
    c.code = m_code->text().trimmed();
    if (mode() == AddMode && m_auto->isChecked() && c.code == m_proposed) {
        // Another workstation may have added a unit since the code was
        // proposed: the code is taken under the write lock.
        const AllocatedCode next = ClientStore::allocateAutoCode(db);
        if (!next) {
            *error = next.error;
            return false;
        }
        if (next.code != c.code && Session.AutoCode) {
            qint64 found = 0;
            if (!ClientStore::findByCode(db, next.code, &found, error))
                return false;
            if (found > 0) {
                *error = duplicateText();
                return false;
            }
        }
        c.code = next.code;
        m_proposed = next.code;
        m_code->setText(next.code);
    }
    c.name = m_name->text();
    c.type = m_type->text();
    c.linkMan = m_linkMan->text();
    c.phone = m_phone->text();
    c.address = m_address->text();
    c.postcode = m_postcode->text();
    c.fax = m_fax->text();
    c.handPhone = m_handPhone->text();
    c.mem = m_mem->toPlainText();
    c.stopped = m_stopped->isChecked();
    c.bank = m_bank->text();
    c.account = m_account->text();
    c.ratecode = m_ratecode->text();
    c.homepage = m_homepage->text();
    c.email = m_email->text();
    c.enrol = m_enrol->text();
    if (mode() == AddMode) {
        if (!ClientStore::insert(db, &c, error))
            return false;
        *savedId = c.id;
        return true;
    }
    *savedId = id;
    return ClientStore::update(db, c, error);
}

void TfrmCltEdit::afterCommit()
{
    if (mode() != AddMode)
        return;
    Session.AutoCode = m_auto->isChecked();
    if (!dmData()->settings().writeBool(QStringLiteral("sys"), QStringLiteral("bZDcode"),
                                        Session.AutoCode)) {
        qWarning().noquote() << "config.ini sys/bZDcode could not be written";
        ShowFailure(Messages::operationFailed(), dmData()->settings().path());
    }
}

QWidget* TfrmCltEdit::firstField() const
{
    return m_auto->isChecked() ? static_cast<QWidget*>(m_name) : m_code;
}
