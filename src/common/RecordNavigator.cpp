#include "common/RecordNavigator.h"

#include "common/EnterActsAsTab.h"
#include "platform/UserDialogs.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>

RecordNavigator::RecordNavigator(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("navRecord"));
    static const char* const kNames[] = {"btnFirst", "btnPrior", "btnNext", "btnLast"};
    static const char* const kCaptions[] = {"首项", "前项", "后项", "末项"};
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(kCaptions[i]), this);
        b->setObjectName(QLatin1String(kNames[i]));
        b->setAutoDefault(false);
        // The focus stays in the field, as with the tool buttons of old.
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, i] {
            FinishTyping(window());
            emit moveRequested(Move(i));
        });
        layout->addWidget(b);
        m_buttons[i] = b;
    }
}

int RecordNavigator::targetRow(Move move, int current, int count)
{
    if (count <= 0)
        return -1;
    int target = current;
    switch (move) {
    case First:
        target = 0;
        break;
    case Prior:
        target = current - 1;
        break;
    case Next:
        target = current + 1;
        break;
    case Last:
        target = count - 1;
        break;
    }
    if (target < 0 || target >= count || target == current)
        return -1;
    return target;
}

QString RecordNavigator::leaveQuestion()
{
    return QStringLiteral("是否保存对当前记录的修改？");
}

bool RecordNavigator::mayLeave(bool changed, const std::function<bool()>& save)
{
    if (!changed)
        return true;
    switch (ShowMess(leaveQuestion(), mkQuestionCancel)) {
    case 1:
        return save();
    case 2:
        return true;
    default:
        return false;
    }
}

void RecordNavigator::applyPaging(Move move, int row, int count, QAction* first, QAction* prior,
                                  QAction* next, QAction* last)
{
    const bool atStart = count == 0 || row <= 0;
    const bool atEnd = count == 0 || row >= count - 1;
    switch (move) {
    case First:
        first->setEnabled(false);
        prior->setEnabled(false);
        next->setEnabled(!atEnd);
        last->setEnabled(!atEnd);
        break;
    case Last:
        first->setEnabled(!atStart);
        prior->setEnabled(!atStart);
        next->setEnabled(false);
        last->setEnabled(false);
        break;
    case Prior:
        first->setEnabled(!atStart);
        prior->setEnabled(!atStart);
        next->setEnabled(true);
        last->setEnabled(true);
        break;
    case Next:
        first->setEnabled(true);
        prior->setEnabled(true);
        next->setEnabled(!atEnd);
        last->setEnabled(!atEnd);
        break;
    }
}
