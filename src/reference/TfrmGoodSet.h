#pragma once

#include "common/ListScreen.h"

class QComboBox;
class QLineEdit;

// The goods catalogue ("货品资料设置"): the goods of a type whose code, name
// or memo contains the search text, re-read on every change of either.
// Commands (objectName; caption; key): tbAdd "添加(F2)", tbModify "修改(F3)"
// (also a double click), tbDelete "删除(F4)", tbCopy "复制(F5)", tbFind
// "查询(F8)", then the list frame's own. Esc asks before closing.
// Criteria: cbbType, edtSearch.
class TfrmGoodSet : public ListScreen
{
    Q_OBJECT
public:
    explicit TfrmGoodSet(QWidget* parent = nullptr);

    // Opens the window modally (the main window's command).
    static void Run(QWidget* parent);

    QComboBox* typeFilter() const { return m_type; }
    QLineEdit* searchText() const { return m_search; }

    // The commands, for the keys and for tests.
    void addGoods();
    void modifyGoods();
    void copyGoods();
    void deleteGoods();

protected:
    bool query(QString* error) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    QComboBox* m_type = nullptr;
    QLineEdit* m_search = nullptr;
    bool m_shown = false;
};
