#pragma once

#include <QWidget>

#include <functional>

class QAction;
class QPushButton;

// The four buttons of an edit window that step through the caller's list:
// "首项", "前项", "后项", "末项" (btnFirst, btnPrior, btnNext, btnLast). A
// press first ends the typing in the window (FinishTyping), then asks the
// window to move; the window decides with mayLeave whether the record it
// shows may be left.
class RecordNavigator : public QWidget
{
    Q_OBJECT
public:
    enum Move
    {
        First,
        Prior,
        Next,
        Last
    };

    explicit RecordNavigator(QWidget* parent = nullptr);

    QPushButton* button(Move move) const { return m_buttons[move]; }

    // The row a move leads to in a list of `count` rows that stands on
    // `current`; -1 when it leads nowhere (empty list, already there).
    static int targetRow(Move move, int current, int count);

    // Before a record is left: nothing to ask when it is unchanged;
    // otherwise "是否保存对当前记录的修改？" — yes runs `save` (a failed save
    // keeps the record), no lets the changes go, cancel keeps the record.
    // True when the window may move on (and shows the next record afresh).
    // The paging commands of a list after a move to `row` of `count` rows:
    // "首项" disables itself and "前项", "末项" the reverse; "前项"/"后项" at
    // the list's end disable their pair; a move enables the other pair.
    static void applyPaging(Move move, int row, int count, QAction* first, QAction* prior,
                            QAction* next, QAction* last);

    static bool mayLeave(bool changed, const std::function<bool()>& save);
    static QString leaveQuestion();

signals:
    void moveRequested(RecordNavigator::Move move);

private:
    QPushButton* m_buttons[4] = {};
};
