#include "reference/TDlgGCitemXZ.h"

#include "common/DataGrid.h"
#include "common/GridLayoutStore.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "reference/ClientListScreen.h"
#include "reference/ProjectStore.h"
#include "reference/TfrmGCitemEdit.h"

#include <QComboBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

TDlgGCitemXZ::TDlgGCitemXZ(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDlgGCitemXZ"));
    setWindowTitle(QStringLiteral("工程项目选择"));

    auto* search = new QHBoxLayout;
    auto label = [&](const QString& caption, QWidget* buddy) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(buddy);
        search->addWidget(l);
        search->addWidget(buddy, 1);
    };
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edtName"));
    label(QStringLiteral("项目名称："), m_name);
    m_gcName = new QLineEdit(this);
    m_gcName->setObjectName(QStringLiteral("edtGCname"));
    label(QStringLiteral("工程名称："), m_gcName);
    m_gcType = new QComboBox(this);
    m_gcType->setObjectName(QStringLiteral("cbbGCtype"));
    m_gcType->setEditable(true);
    label(QStringLiteral("工程性质："), m_gcType);
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
    GridColumns columns = GridLayoutStore::builtColumns(QStringLiteral("GCitemMan"));
    for (const char* field : {"F_ZF1", "F_ZF2", "F_ZF3", "F_ZF4", "F_ZF5", "F_SZ1", "F_SZ2",
                              "F_SZ3", "F_RQ1", "F_RQ2", "F_RQ3", "F_useFlag"})
        columns << textColumn(QLatin1String(field), QLatin1String(field), 80);
    m_grid->setColumns(columns);
    for (const char* field : {"F_fromDate", "F_toDate"})
        m_grid->model()->setDateRule(QLatin1String(field), RecordModel::BlankBefore1901);
    split->addWidget(m_tree);
    split->addWidget(m_grid);
    split->setStretchFactor(1, 1);
    split->setSizes({160, 640});

    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("新增项目"), this);
    add->setObjectName(QStringLiteral("btnAdd"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(add);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    for (QPushButton* b : {add, ok, cancel})
        b->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(m_name, &QLineEdit::textChanged, this, [this] { requery(); });
    connect(m_gcName, &QLineEdit::textChanged, this, [this] { requery(); });
    connect(queryButton, &QPushButton::clicked, this, [this] { requery(); });
    connect(add, &QPushButton::clicked, this, &TDlgGCitemXZ::addProject);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, &QDialog::accept);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { requery(); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { requery(); });

    FillTypeTree(m_tree, QStringLiteral("项目类型"), QStringLiteral("gctype"));
    resize(900, 520);
}

bool TDlgGCitemXZ::query(QString* error)
{
    if (!m_tree->currentItem())
        return true;
    ProjectStore::PickCriteria c;
    c.gcType = m_gcType->currentText();
    c.name = m_name->text();
    c.gcName = m_gcName->text();
    c.typePath = ChosenTypePath(m_tree);
    const SqlBuilder b = ProjectStore::pickQuery(dmData()->db().dialect(), c);
    return m_grid->open(dmData()->db(), b.sql(), b.params(), error);
}

bool TDlgGCitemXZ::requery()
{
    QString error;
    if (query(&error))
        return true;
    qWarning().noquote() << objectName() << "query failed:" << error;
    ShowFailure(Messages::openFailed(), error);
    return false;
}

void TDlgGCitemXZ::addProject()
{
    TfrmGCitemEdit window({m_grid, [this](QString* error) { return query(error); }}, true, this);
    window.Open(SubRecordEdit::AddMode);
}

QString TDlgGCitemXZ::chosenCode() const
{
    return m_grid->currentValue(QStringLiteral("F_code")).toString();
}

QString PickProjectCode(const QString& current, QWidget* parent)
{
    TDlgGCitemXZ dialog(parent);
    DispFormPos(&dialog, fpList);
    if (dialog.exec() != QDialog::Accepted || dialog.grid()->model()->rowCount() == 0)
        return current;
    return dialog.chosenCode();
}
