#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;

// "数据清理": empties the ticked groups of tables after a question, in one
// transaction. Ticking the contracts ticks their records as well; each of
// those can still be unticked by hand. The window stays open after a run.
class TfrmDataClean : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmDataClean(QWidget* parent = nullptr);

    const QList<QCheckBox*>& boxes() const { return m_boxes; }
    void checkAll(bool checked);
    // "确定": true when the chosen tables were emptied.
    bool clean();
    // Whether any run emptied tables, so that the lists showing them are read again.
    bool cleaned() const { return m_cleaned; }

private:
    QList<QCheckBox*> m_boxes;
    bool m_cleaned = false;
};
