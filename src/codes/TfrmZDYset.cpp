#include "codes/TfrmZDYset.h"

#include "codes/KeyValueStore.h"
#include "common/EnterActsAsTab.h"
#include "data/DataServicesUi.h"
#include "data/Formats.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QSpinBox* spinner(const char* name, int from, int to, int value)
{
    auto* box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(from, to);
    box->setValue(qBound(from, value, to));
    return box;
}

// Lists the engines of one input method framework; empty when it is not
// installed or does not answer in time.
QStringList engines(const QString& program, const QStringList& args)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return {};
    QProcess p;
    p.start(path, args);
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(500);
        return {};
    }
    QStringList out;
    for (const QString& line :
         QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString name = line.trimmed();
        if (!name.isEmpty() && !out.contains(name))
            out << name;
    }
    return out;
}

} // namespace

QStringList TfrmZDYset::installedInputMethods()
{
    QStringList all = engines(QStringLiteral("ibus"),
                              {QStringLiteral("list-engine"), QStringLiteral("--name-only")});
    // fcitx5 has no listing command of its own; its configured engines are
    // named in its profile.
    const QString profile = QStandardPaths::locate(QStandardPaths::GenericConfigLocation,
                                                   QStringLiteral("fcitx5/profile"));
    if (!profile.isEmpty()) {
        QFile file(profile);
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : file.readAll().split('\n')) {
                if (line.startsWith("Name=")) {
                    const QString name = QString::fromUtf8(line.mid(5)).trimmed();
                    if (!name.isEmpty() && !all.contains(name))
                        all << name;
                }
            }
        }
    }
    return all;
}

TfrmZDYset::TfrmZDYset(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmZDYset"));
    setWindowTitle(QStringLiteral("自定义设置"));

    auto* hint =
        new QLabel(QStringLiteral("合同信息中的自定义项目，根据你的需要，可以自定义字段名称 \n"
                                  "字符项1--字符项5为文本型;  数值项1--数值项3为数值型;  \n"
                                  "日期项1--日期项3为日期型"),
                   this);
    hint->setObjectName(QStringLiteral("lblHint"));

    // Page "小数位数".
    auto* decimals = new QWidget;
    auto* decimalsForm = new QFormLayout(decimals);
    m_moneyDecimals = spinner("spnMoney", 0, 8, decimalsFromSlot(Session.keyValue(14)));
    m_quantityDecimals = spinner("spnQuantity", 0, 8, decimalsFromSlot(Session.keyValue(12)));
    m_priceDecimals = spinner("spnPrice", 0, 8, decimalsFromSlot(Session.keyValue(13)));
    // Quantities and prices keep the decimals they have; the boxes are not shown.
    for (QSpinBox* hidden : {m_quantityDecimals, m_priceDecimals}) {
        hidden->setParent(decimals);
        hidden->setVisible(false);
    }
    decimalsForm->addRow(QStringLiteral("金    额："), m_moneyDecimals);
    m_ime = new QComboBox;
    m_ime->setObjectName(QStringLiteral("cbbIme"));
    m_ime->setEditable(true);
    m_ime->setInsertPolicy(QComboBox::NoInsert);
    m_ime->setEditText(Session.ImeName);
    m_ime->installEventFilter(this);
    decimalsForm->addRow(QStringLiteral("默认中文输入法"), m_ime);
    m_autoContractCode = new QCheckBox(QStringLiteral("自动生成合同编号"));
    m_autoContractCode->setObjectName(QStringLiteral("chkAutoContractCode"));
    m_autoCode = new QCheckBox(QStringLiteral("自动生成客户编号"));
    m_autoCode->setObjectName(QStringLiteral("chkAutoCode"));
    if (TdmData* dm = dmData()) {
        m_autoCode->setChecked(
            dm->settings().readBool(QStringLiteral("sys"), QStringLiteral("bZDcode"), false));
        m_autoContractCode->setChecked(
            dm->settings().readBool(QStringLiteral("sys"), QStringLiteral("bZDHTcode"), false));
    }
    decimalsForm->addRow(m_autoContractCode);
    decimalsForm->addRow(m_autoCode);
    m_printRows = spinner("spnPrintRows", 5, 30, Session.PrintRows);
    decimalsForm->addRow(QStringLiteral("单据打印行数："), m_printRows);

    // Page "自定义项目".
    auto* captions = new QWidget;
    auto* captionsGrid = new QGridLayout(captions);
    const char* const labels[11] = {"字符项一：", "字符项二：", "字符项三：", "字符项四：",
                                    "字符项五：", "数值项一：", "数值项二：", "数值项三：",
                                    "日期项一：", "日期项二：", "日期项三："};
    for (int i = 0; i < 11; ++i) {
        m_captions[i] = new QLineEdit(Session.keyValue(i + 1));
        m_captions[i]->setObjectName(QStringLiteral("edtKey%1").arg(i + 1));
        // Text fields in the first column, numbers and dates in the second.
        const int column = i < 5 ? 0 : 2;
        const int row = i < 5 ? i : i - 5;
        captionsGrid->addWidget(new QLabel(QString::fromUtf8(labels[i])), row, column);
        captionsGrid->addWidget(m_captions[i], row, column + 1);
    }
    captionsGrid->setRowStretch(6, 1);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("pcPages"));
    m_pages->addWidget(decimals);
    m_pages->addWidget(captions);
    auto* tabs = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    const char* const pageNames[2] = {"btnPageDecimals", "btnPageCaptions"};
    const QString pageCaptions[2] = {QStringLiteral("小数位数"), QStringLiteral("自定义项目")};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(pageNames[i]));
        b->setText(pageCaptions[i]);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setChecked(i == 0);
        group->addButton(b, i);
        tabs->addWidget(b);
    }
    tabs->addStretch(1);
    connect(group, &QButtonGroup::idClicked, m_pages, &QStackedWidget::setCurrentIndex);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* b : {ok, close})
        b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TfrmZDYset::save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(tabs);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);
    new EnterActsAsTab(this, ok, close);
    ApplyInputMethod(this);
    resize(520, 330);
}

bool TfrmZDYset::eventFilter(QObject* watched, QEvent* event)
{
    // The installed input methods are listed when the field is first entered.
    if (watched == m_ime && event->type() == QEvent::FocusIn && !m_imeListed) {
        m_imeListed = true;
        const QString typed = m_ime->currentText();
        m_ime->addItems(installedInputMethods());
        m_ime->setEditText(typed);
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmZDYset::save()
{
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    FinishTyping(this);
    QStringList values = Session.KeyValues;
    while (values.size() <= KeyValueStore::kSlots)
        values << QString();
    for (int i = 0; i < 11; ++i)
        values[i + 1] = m_captions[i]->text();
    // Slots 12 and 13 are written back as they are: their boxes are hidden,
    // and a value the box cannot show must not be rounded away.
    values[14] = QString::number(m_moneyDecimals->value());

    QString error;
    if (!KeyValueStore::rewrite(dm->db(), values, &error)) {
        qWarning().noquote() << "storing the custom field settings failed:" << error;
        ShowFailure(Messages::saveFailed(), error);
        return false;
    }
    // What is in the table from here on is what the session shows.
    Session.KeyValues = values;
    Session.MoneyFormat = NumberFormat(decimalsFromSlot(values.value(14)), 3);

    IniFile& ini = dm->settings();
    const QString ime = m_ime->currentText();
    const bool written =
        ini.writeString(QStringLiteral("Config"), QStringLiteral("CurImeName"), ime) &&
        ini.writeBool(QStringLiteral("sys"), QStringLiteral("bZDcode"), m_autoCode->isChecked()) &&
        ini.writeBool(QStringLiteral("sys"), QStringLiteral("bZDHTcode"),
                      m_autoContractCode->isChecked()) &&
        ini.writeInteger(QStringLiteral("sys"), QStringLiteral("iPrintNum"), m_printRows->value());
    if (!written) {
        qWarning().noquote() << "writing the settings file failed:" << ini.path();
        ShowFailure(QStringLiteral("设置文件无法写入，本机设置未更改！"), ini.path());
        return false;
    }
    Session.ImeName = ime;
    Session.AutoCode = m_autoCode->isChecked();
    Session.AutoContractCode = m_autoContractCode->isChecked();
    Session.PrintRows = m_printRows->value();
    ShowMess(QStringLiteral("当前软件设置更改成功！"), mkInfo);
    accept();
    return true;
}
