#include "reference/TDlgCltXz.h"

#include "common/DataGrid.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "reference/ClientListScreen.h"
#include "reference/ClientStore.h"
#include "reference/TfrmCltEdit.h"

#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

TDlgCltXz::TDlgCltXz(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDlgCltXz"));
    setWindowTitle(QStringLiteral("往来单位选择"));

    auto* search = new QHBoxLayout;
    auto field = [&](const char* name, const QString& caption) {
        auto* label = new QLabel(caption, this);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        label->setBuddy(edit);
        search->addWidget(label);
        search->addWidget(edit, 1);
        connect(edit, &QLineEdit::textChanged, this, [this] { requery(); });
        return edit;
    };
    m_code = field("edtCode", QStringLiteral("单位编码："));
    m_name = field("edtName", QStringLiteral("单位名称："));
    m_address = field("edtAddress", QStringLiteral("地    址："));
    auto* queryButton = new QPushButton(QStringLiteral("查询"), this);
    queryButton->setObjectName(QStringLiteral("btnQuery"));
    queryButton->setAutoDefault(false);
    search->addWidget(queryButton);

    auto* split = new QSplitter(Qt::Horizontal, this);
    m_tree = new QTreeWidget(split);
    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid = new DataGrid(split);
    m_grid->setObjectName(QStringLiteral("DBGridEh1"));
    GridColumn code = textColumn(QStringLiteral("F_Code"), QStringLiteral("编号"), 90);
    code.footerType = GridColumn::FooterText;
    code.footerValue = QStringLiteral("合  计");
    m_grid->setColumns({code, textColumn(QStringLiteral("F_Name"), QStringLiteral("名称"), 200),
                        textColumn(QStringLiteral("F_Address"), QStringLiteral("地址"), 200),
                        textColumn(QStringLiteral("F_LinkMan"), QStringLiteral("联系人"), 70),
                        textColumn(QStringLiteral("F_HandPhone"), QStringLiteral("手机"), 100),
                        textColumn(QStringLiteral("F_Fax"), QStringLiteral("传真"), 100),
                        textColumn(QStringLiteral("F_Phone"), QStringLiteral("电话"), 100),
                        textColumn(QStringLiteral("F_type"), QStringLiteral("类型"), 120),
                        textColumn(QStringLiteral("F_EmpName"), QStringLiteral("业务员"), 70),
                        textColumn(QStringLiteral("F_Mem"), QStringLiteral("备注"), 160)});
    m_grid->setFooterVisible(true);
    split->addWidget(m_tree);
    split->addWidget(m_grid);
    split->setStretchFactor(1, 1);
    split->setSizes({160, 640});

    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("新增单位"), this);
    add->setObjectName(QStringLiteral("btnAdd"));
    buttons->addWidget(add);
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* b : {add, ok, cancel}) {
        b->setAutoDefault(false);
        if (b != add)
            buttons->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(queryButton, &QPushButton::clicked, this, [this] { requery(); });
    connect(add, &QPushButton::clicked, this, &TDlgCltXz::addUnit);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, &QDialog::accept);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { requery(); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { requery(); });

    FillTypeTree(m_tree, QStringLiteral("客户类型"), QStringLiteral("clttype"));
    resize(860, 520);
}

bool TDlgCltXz::query(QString* error)
{
    if (!m_tree->currentItem())
        return true;
    ClientStore::PickCriteria c;
    c.code = m_code->text();
    c.name = m_name->text();
    c.address = m_address->text();
    c.typePath = ChosenTypePath(m_tree);
    const SqlBuilder b = ClientStore::pickQuery(dmData()->db().dialect(), c);
    return m_grid->open(dmData()->db(), b.sql(), b.params(), error);
}

bool TDlgCltXz::requery()
{
    QString error;
    if (query(&error))
        return true;
    qWarning().noquote() << objectName() << "query failed:" << error;
    ShowFailure(Messages::openFailed(), error);
    return false;
}

void TDlgCltXz::addUnit()
{
    TfrmCltEdit window({m_grid, [this](QString* error) { return query(error); }}, true, this);
    window.Open(SubRecordEdit::AddMode);
}

QString TDlgCltXz::chosenName() const
{
    return m_grid->currentValue(QStringLiteral("F_Name")).toString();
}

QString PickCounterpartName(const QString& current, QWidget* parent)
{
    TDlgCltXz dialog(parent);
    DispFormPos(&dialog, fpList);
    if (dialog.exec() != QDialog::Accepted || dialog.grid()->model()->rowCount() == 0)
        return current;
    return dialog.chosenName();
}
