#pragma once

#include <QString>

struct GoodsLineValues;
class RecordModel;

class DataGrid;

// Makes a goods-line grid over `table` editable: every column except the
// goods name, type, specification and unit (those come from the goods
// picker), text cells limited to their column's width, quantity, price and
// amount cells that refuse what is no number, the line amount recomputed from
// quantity and unit price, and a button in the goods-name cell, always
// shown, that emits DataGrid::cellButtonClicked. Edits
// stay in the model until the caller writes them (RecordModel::applyPending)
// inside its transaction, or drops them (cancelPending).
void PrepareGoodsGrid(DataGrid* grid, const QString& table = QStringLiteral("t_GDrec"));

// Appends a pending line for one picked goods to a goods-line set
// (t_GDrec or t_FHdetail): code, name, type, specification and unit of the
// goods, its price, quantity 1 and the amount of one unit. The owner's own
// columns (contract, shipment code, memo) are the caller's. Gives the row.
int AppendGoodsLine(RecordModel* model, const GoodsLineValues& goods);
