#pragma once

#include "common/PickerRegistry.h"
#include "reference/GoodsStore.h"

#include <QDialog>
#include <QStringList>

class DataGrid;
class QComboBox;
class QLineEdit;
class QPushButton;

// The goods picker ("货品选择"), in one of two uses:
// - one goods code (PickGoodsCode): "确定" or a double click chooses the
//   current goods and closes;
// - lines one after another (AddGoodsLines): "确定" or a double click adds
//   the current goods to the caller's line set and keeps the picker open;
//   each goods added drops out of the list until the call ends. What was
//   added lives in this call only, so that two pickers open at once (here or
//   on another workstation) never hide each other's goods.
// Children: cbbType, edtSearch, btnQuery ("查询"), btnNewGoods ("新增商品"),
// DBGridEh1, btnOK ("确定"), btnClose ("关闭").
class TDlgGoodXz : public QDialog
{
    Q_OBJECT
public:
    explicit TDlgGoodXz(QWidget* parent = nullptr);

    // Sets up the single pick (all goods, whatever an earlier call added).
    void startPick(const QString& current);
    // Sets up a lines call for the target.
    void startAddLines(const GoodsLineTarget& target);

    DataGrid* grid() const { return m_grid; }
    QComboBox* typeFilter() const { return m_type; }
    QLineEdit* searchText() const { return m_search; }
    // Codes added in this call.
    const QStringList& added() const { return m_added; }
    // The single pick's answer: the chosen code, or the caller's text.
    QString pickedCode() const { return m_result; }
    // Whether the single pick ended on a goods.
    bool chosen() const { return m_chosen; }

    // "查询": applies the type and search text.
    bool query();
    // "确定" and a double click.
    void confirm();
    // "新增商品": a new goods; the list then stands on it.
    void addNewGoods();

private:
    bool runQuery();

    bool m_linesCall = false;
    bool m_chosen = false;
    GoodsLineTarget m_target;
    QStringList m_added;
    QString m_result;
    // The criteria last applied by "查询".
    QString m_lastType;
    QString m_lastSearch;

    QComboBox* m_type = nullptr;
    QLineEdit* m_search = nullptr;
    DataGrid* m_grid = nullptr;
    QPushButton* m_ok = nullptr;
};

// The goods code chosen, or `current` unchanged when the picker was closed
// without a choice.
QString PickGoodsCode(const QString& current, QWidget* parent = nullptr);
// Adds goods to the target as lines, one per pick, until the picker is
// closed.
void AddGoodsLines(const GoodsLineTarget& target, QWidget* parent = nullptr);

// Makes both known to the windows that pick goods (PickerRegistry).
void RegisterGoodsPickers();
