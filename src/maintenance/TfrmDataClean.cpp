#include "maintenance/TfrmDataClean.h"

#include "data/TdmData.h"
#include "maintenance/DataCleanup.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QCheckBox>
#include <QDebug>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmDataClean::TfrmDataClean(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmDataClean"));
    setWindowTitle(QStringLiteral("数据清理"));

    auto* heading = new QLabel(QStringLiteral("数据清理"), this);
    heading->setObjectName(QStringLiteral("lblHeading"));
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    heading->setFont(font);

    auto* grid = new QGridLayout;
    const QList<DataCleanup::Group>& groups = DataCleanup::groups();
    const int rows = int((groups.size() + 2) / 3);
    for (int i = 0; i < groups.size(); ++i) {
        auto* box = new QCheckBox(groups.at(i).caption, this);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        m_boxes << box;
        grid->addWidget(box, i % rows, i / rows);
    }
    // Removing the contracts removes their records too, unless unticked again.
    connect(m_boxes.first(), &QCheckBox::toggled, this, [this](bool checked) {
        if (!checked)
            return;
        for (int i : DataCleanup::groupsFollowingContracts())
            m_boxes.at(i)->setChecked(true);
    });

    auto makeButton = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* all = makeButton("btnAll", QStringLiteral("全选"));
    QPushButton* none = makeButton("btnNone", QStringLiteral("不选"));
    QPushButton* ok = makeButton("btnOK", QStringLiteral("确定"));
    QPushButton* close = makeButton("btnClose", QStringLiteral("关闭"));
    connect(all, &QPushButton::clicked, this, [this] { checkAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { checkAll(false); });
    connect(ok, &QPushButton::clicked, this, &TfrmDataClean::clean);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* note = new QLabel(
        QStringLiteral("    清理掉不需要的数据，及测试数据，数据被清理将不能恢复，请做好备份"),
        this);
    note->setObjectName(QStringLiteral("lblNote"));
    note->setWordWrap(true);

    auto* selection = new QHBoxLayout;
    selection->addWidget(all);
    selection->addWidget(none);
    selection->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addLayout(selection);
    layout->addWidget(note);
    layout->addLayout(buttons);
    resize(460, 300);
}

void TfrmDataClean::checkAll(bool checked)
{
    for (QCheckBox* box : m_boxes)
        box->setChecked(checked);
}

bool TfrmDataClean::clean()
{
    if (ShowMess(QStringLiteral("数据清理，将删除所有列表框所选中的所有数据表的数据，\n"
                                "建议您在清理之前，备份当前数据，真的要清除当前数据吗？"),
                 mkQuestion) != 1)
        return false;
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    QList<int> chosen;
    for (int i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes.at(i)->isChecked())
            chosen << i;
    }
    QString error;
    if (!DataCleanup::run(dm->db(), chosen, &error)) {
        qWarning().noquote() << "the clean-up failed:" << error;
        ShowFailure(Messages::writeFailed(), error);
        return false;
    }
    if (!chosen.isEmpty())
        m_cleaned = true;
    ShowMess(QStringLiteral("数据清理成功！"), mkInfo);
    return true;
}
