#include "reference/TfrmGoodSet.h"

#include "codes/CodeCombos.h"
#include "common/DataGrid.h"
#include "data/DataServicesUi.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/UserDialogs.h"
#include "reference/GoodsStore.h"
#include "reference/TfrmGoodEdit.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

ListScreen::Options goodSetOptions()
{
    ListScreen::Options o;
    o.className = QStringLiteral("TfrmGoodSet");
    o.caption = QStringLiteral("货品资料设置");
    o.layoutName = QStringLiteral("GoodSet");
    o.exportTitle = QStringLiteral("货品资料档案列表");
    o.queryCommand = false;
    o.outputsAfterFirstQuery = false;
    o.countPrefix = QStringLiteral("记录数：");
    return o;
}

} // namespace

TfrmGoodSet::TfrmGoodSet(QWidget* parent) : ListScreen(goodSetOptions(), parent)
{
    connect(addLeadingAction(QStringLiteral("tbAdd"), QStringLiteral("添加(F2)"), Qt::Key_F2),
            &QAction::triggered, this, &TfrmGoodSet::addGoods);
    connect(addLeadingAction(QStringLiteral("tbModify"), QStringLiteral("修改(F3)"), Qt::Key_F3),
            &QAction::triggered, this, &TfrmGoodSet::modifyGoods);
    connect(addLeadingAction(QStringLiteral("tbDelete"), QStringLiteral("删除(F4)"), Qt::Key_F4),
            &QAction::triggered, this, &TfrmGoodSet::deleteGoods);
    connect(addLeadingAction(QStringLiteral("tbCopy"), QStringLiteral("复制(F5)"), Qt::Key_F5),
            &QAction::triggered, this, &TfrmGoodSet::copyGoods);
    connect(addLeadingAction(QStringLiteral("tbFind"), QStringLiteral("查询(F8)"), Qt::Key_F8),
            &QAction::triggered, this, [this] { requery(); });

    m_type = new QComboBox(criteria());
    m_type->setObjectName(QStringLiteral("cbbType"));
    m_type->setEditable(true);
    m_type->setInsertPolicy(QComboBox::NoInsert);
    m_type->setMinimumWidth(140);
    FillComboBox(QStringList{QString()} + CodePickList(QStringLiteral("gdtype")), m_type);
    m_type->setCurrentText(QString());
    m_search = new QLineEdit(criteria());
    m_search->setObjectName(QStringLiteral("edtSearch"));
    m_search->setMinimumWidth(200);
    auto* row = new QHBoxLayout(criteria());
    row->setContentsMargins(6, 4, 6, 4);
    row->addWidget(new QLabel(QStringLiteral("按类别过滤："), criteria()));
    row->addWidget(m_type);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("请输入商品的编号、名称或备注："), criteria()));
    row->addWidget(m_search, 1);

    connect(m_type, &QComboBox::currentTextChanged, this, [this] {
        if (m_shown)
            requery();
    });
    connect(m_search, &QLineEdit::textChanged, this, [this] {
        if (m_shown)
            requery();
    });
    connect(grid(), &DataGrid::rowDoubleClicked, this, &TfrmGoodSet::modifyGoods);
    resize(820, 520);
}

void TfrmGoodSet::Run(QWidget* parent)
{
    TfrmGoodSet window(parent);
    DispFormPos(&window, fpList);
    window.exec();
}

void TfrmGoodSet::showEvent(QShowEvent* event)
{
    ListScreen::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        requery();
    }
}

bool TfrmGoodSet::query(QString* error)
{
    Database& db = dmData()->db();
    const SqlBuilder b =
        GoodsStore::listQuery(db.dialect(), m_type->currentText(), m_search->text());
    return grid()->open(db, b.sql(), b.params(), error);
}

void TfrmGoodSet::reject()
{
    if (ShowMess(TfrmGoodEdit::leaveQuestion(windowTitle()), mkQuestion) == 1)
        ListScreen::reject();
}

void TfrmGoodSet::addGoods()
{
    TfrmGoodEdit edit({grid(), [this] { return requery(); }}, this);
    edit.Open(TfrmGoodEdit::AddMode);
}

void TfrmGoodSet::modifyGoods()
{
    if (grid()->model()->rowCount() == 0) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), mkError);
        return;
    }
    TfrmGoodEdit edit({grid(), [this] { return requery(); }}, this);
    edit.Open(TfrmGoodEdit::ModifyMode);
}

void TfrmGoodSet::copyGoods()
{
    // A copy-add starts empty and leaves this list as it is until the next
    // query.
    TfrmGoodEdit edit({}, this);
    edit.Open(TfrmGoodEdit::CopyAddMode);
}

void TfrmGoodSet::deleteGoods()
{
    if (grid()->model()->rowCount() == 0 || grid()->currentRow() < 0)
        return;
    const QString name = grid()->currentValue(QStringLiteral("F_name")).toString();
    if (ShowMess(QStringLiteral("真的要删除当前货品资料 \"") + name + QStringLiteral("\" 的记录？"),
                 mkQuestion) == 2)
        return;
    // Lines that carry the code keep their own copies of it.
    if (dmData()->DeleteById(QStringLiteral("t_goods"),
                             grid()->currentValue(QStringLiteral("F_ID")).toLongLong()))
        requery();
}
