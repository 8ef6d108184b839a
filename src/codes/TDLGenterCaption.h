#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

// The one-line value dialog of the classification windows: a box with a pick
// button that offers the contract-type tree, or the department tree when the
// title is "部门名称".
class TDLGenterCaption : public QDialog
{
    Q_OBJECT
public:
    explicit TDLGenterCaption(const QString& title, QWidget* parent = nullptr);

    QLineEdit* valueEdit() const { return m_value; }
    QString value() const;
    // "确定": refuses a blank value.
    void tryAccept();
    void pick();

private:
    QLabel* m_label;
    QLineEdit* m_value;
};

// Asks for one text with the title as caption and label; empty when
// cancelled.
QString EnterValue(const QString& title, const QString& initial = QString(),
                   QWidget* parent = nullptr);

// Lets the operator choose a node of the tree of one kind ('type', 'dept',
// 'clttype', 'gctype'); returns its name path, or `currentPath` unchanged
// when nothing was chosen. The root cannot be chosen.
QString PickTreeNode(const QString& flag, const QString& rootCaption, const QString& currentPath,
                     QWidget* parent = nullptr);

// Tests answer the two dialogs here instead of showing them.
using EnterValueHook = std::function<QString(const QString& title, const QString& initial)>;
void setEnterValueHook(EnterValueHook hook);
