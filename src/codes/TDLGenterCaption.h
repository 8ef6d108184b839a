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
    // The pick button: the department tree (mode 8) for "部门名称", the
    // contract-type tree (mode 2) otherwise.
    void pick();
    int pickerMode() const;

private:
    QLabel* m_label;
    QLineEdit* m_value;
};

// Asks for one text with the title as caption and label; empty when
// cancelled.
QString EnterValue(const QString& title, const QString& initial = QString(),
                   QWidget* parent = nullptr);

// The tree window in a picker mode (2 contract types, 4 counterpart types,
// 6 project types, 8 departments): returns the chosen node's name path, or
// `currentPath` unchanged when nothing was chosen. The node whose path is
// `currentPath` is shown selected. The root cannot be chosen.
QString PickTreeNode(int mode, const QString& currentPath, QWidget* parent = nullptr);
// The same by tree kind ('type', 'clttype', 'gctype', 'dept'); the caption
// is the tree's own.
QString PickTreeNode(const QString& flag, const QString& rootCaption, const QString& currentPath,
                     QWidget* parent = nullptr);

// Tests answer the two dialogs here instead of showing them.
using EnterValueHook = std::function<QString(const QString& title, const QString& initial)>;
void setEnterValueHook(EnterValueHook hook);
using PickTreeNodeHook = std::function<QString(int mode, const QString& currentPath)>;
void setPickTreeNodeHook(PickTreeNodeHook hook);
