#include "maintenance/TfrmOperMan.h"

#include "common/DataGrid.h"
#include "data/TdmData.h"
#include "maintenance/TfrmOperEdit.h"
#include "operators/OperatorStore.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDebug>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmOperMan::TfrmOperMan(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmOperMan"));
    setWindowTitle(QStringLiteral("操作员权限管理"));

    m_grid = new DataGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGridEh1"));
    m_grid->setColumns({textColumn(QStringLiteral("F_Name"), QStringLiteral("操作员"), 140),
                        textColumn(QStringLiteral("F_dept"), QStringLiteral("部门"), 300)});
    m_grid->setFooterVisible(false);
    m_grid->model()->setRowStyler([](const RecordModel& model, int row) {
        RecordModel::RowStyle style;
        if (model.value(row, QStringLiteral("F_Flag")).toInt() != 0)
            style.foreground = Qt::red;
        return style;
    });
    connect(m_grid, &DataGrid::currentRowChanged, this, &TfrmOperMan::showCurrent);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, &TfrmOperMan::modifyOperator);

    m_mem = new QPlainTextEdit(this);
    m_mem->setObjectName(QStringLiteral("memMem"));
    m_mem->setReadOnly(true);
    m_mem->setMaximumHeight(60);

    auto* choice = new QGroupBox(this);
    choice->setObjectName(QStringLiteral("rgXtFlag"));
    auto* choiceLayout = new QHBoxLayout(choice);
    m_xtFlag = new QButtonGroup(this);
    const char* names[] = {"rbAll", "rbOwn", "rbDept"};
    const QString captions[] = {QStringLiteral("全部  所有  合同"),
                                QStringLiteral("只管理自己的合同"),
                                QStringLiteral("管理所列部门合同")};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(captions[i], choice);
        rb->setObjectName(QLatin1String(names[i]));
        // Shows the restriction; it is changed in the operator window.
        rb->setEnabled(false);
        m_xtFlag->addButton(rb, i);
        choiceLayout->addWidget(rb);
    }
    m_dept = new QLineEdit(this);
    m_dept->setObjectName(QStringLiteral("edtDept"));
    m_dept->setReadOnly(true);

    m_showDisabled = new QCheckBox(QStringLiteral("显示禁用操作员"), this);
    m_showDisabled->setObjectName(QStringLiteral("chkShowDisabled"));
    connect(m_showDisabled, &QCheckBox::toggled, this, [this] {
        const QVariant name = m_grid->currentValue(QStringLiteral("F_Name"));
        reopen(name.toString());
    });

    auto makeButton = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* add = makeButton("btnAdd", QStringLiteral("新增"));
    QPushButton* modify = makeButton("btnModify", QStringLiteral("修改"));
    QPushButton* remove = makeButton("btnDelete", QStringLiteral("删除"));
    QPushButton* close = makeButton("btnClose", QStringLiteral("关闭"));
    connect(add, &QPushButton::clicked, this, &TfrmOperMan::addOperator);
    connect(modify, &QPushButton::clicked, this, &TfrmOperMan::modifyOperator);
    connect(remove, &QPushButton::clicked, this, &TfrmOperMan::deleteOperator);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_showDisabled);
    buttons->addStretch(1);
    for (QPushButton* b : {add, modify, remove, close})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(new QLabel(QStringLiteral("其他描述："), this));
    layout->addWidget(m_mem);
    layout->addWidget(choice);
    layout->addWidget(m_dept);
    layout->addLayout(buttons);
    resize(560, 480);
    reopen();
}

bool TfrmOperMan::reopen(const QString& name)
{
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    const bool all = m_showDisabled->isChecked();
    QString error;
    if (!m_grid->open(dm->db(), OperatorStore::listStatement(all), OperatorStore::listParams(all),
                      &error)) {
        qWarning().noquote() << "reading the operators failed:" << error;
        ShowFailure(Messages::openFailed(), error);
        showCurrent();
        return false;
    }
    if (!name.isEmpty()) {
        // The name as stored may differ in letter case from the one typed.
        for (int row = 0; row < m_grid->model()->rowCount(); ++row) {
            if (m_grid->model()
                    ->text(row, QStringLiteral("F_Name"))
                    .compare(name, Qt::CaseInsensitive) == 0) {
                m_grid->setCurrentRow(row);
                break;
            }
        }
    }
    showCurrent();
    return true;
}

void TfrmOperMan::showCurrent()
{
    const int row = m_grid->currentRow();
    RecordModel* model = m_grid->model();
    const bool has = row >= 0 && row < model->rowCount();
    m_mem->setPlainText(has ? model->text(row, QStringLiteral("F_mem")) : QString());
    const int xtFlag = has ? model->value(row, QStringLiteral("F_xtFlag")).toInt() : -1;
    m_xtFlag->setExclusive(false);
    for (QAbstractButton* b : m_xtFlag->buttons())
        b->setChecked(m_xtFlag->id(b) == xtFlag);
    m_xtFlag->setExclusive(true);
    m_dept->setText(xtFlag == 2 ? model->text(row, QStringLiteral("F_dept")) : QString());
}

void TfrmOperMan::addOperator()
{
    TfrmOperEdit edit(0, 0, this);
    connect(&edit, &TfrmOperEdit::saved, this, [this](const QString& name) { reopen(name); });
    DispFormPos(&edit, fpEdit);
    edit.exec();
}

void TfrmOperMan::modifyOperator()
{
    const int row = m_grid->currentRow();
    if (m_grid->model()->rowCount() == 0 || row < 0) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), mkError);
        return;
    }
    if (OperatorStore::isAdministrator(m_grid->model()->text(row, QStringLiteral("F_Name")))) {
        ShowMess(QStringLiteral("此用户为系统默认用户，不能修改和编辑！"), mkError);
        return;
    }
    const qint64 id = m_grid->model()->value(row, QStringLiteral("F_ID")).toLongLong();
    TfrmOperEdit edit(1, id, this);
    connect(&edit, &TfrmOperEdit::saved, this, [this](const QString& name) { reopen(name); });
    DispFormPos(&edit, fpEdit);
    edit.exec();
}

void TfrmOperMan::deleteOperator()
{
    const int row = m_grid->currentRow();
    if (m_grid->model()->rowCount() == 0 || row < 0)
        return;
    const QString name = m_grid->model()->text(row, QStringLiteral("F_Name"));
    if (OperatorStore::isAdministrator(name)) {
        ShowMess(QStringLiteral("此用户为系统默认用户，不能删除！"), mkError);
        return;
    }
    if (ShowMess(QStringLiteral("真的要删除当前操作员 \"%1\" 吗？").arg(name), mkQuestion) != 1)
        return;
    TdmData* dm = dmData();
    QString error;
    const qint64 id = m_grid->model()->value(row, QStringLiteral("F_ID")).toLongLong();
    const OperatorStore::SaveResult result = OperatorStore::remove(dm->db(), id, &error);
    if (result == OperatorStore::SaveResult::Failed) {
        qWarning().noquote() << "deleting the operator failed:" << error;
        ShowFailure(Messages::deleteFailed(), error);
        return;
    }
    if (result == OperatorStore::SaveResult::Administrator) {
        ShowMess(QStringLiteral("此用户为系统默认用户，不能删除！"), mkError);
        return;
    }
    // Gone meanwhile: the list shows what is there now.
    const int next = qMin(row, m_grid->model()->rowCount() - 2);
    reopen();
    if (next >= 0 && next < m_grid->model()->rowCount())
        m_grid->setCurrentRow(next);
    showCurrent();
}
