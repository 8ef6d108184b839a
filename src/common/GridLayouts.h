#pragma once

#include <QString>

class DataGrid;
class QWidget;

// The grid services every list screen uses: stored layouts by name
// (cfg_grid), the column chooser and the custom-field captions. Data comes
// from the data module (dmData()); failures are shown to the operator.

// Replaces the grid's columns by the layout stored under the name (letter
// case ignored). With nothing stored the grid keeps the columns it was built
// with. True when stored columns were applied.
bool LoadGridLayout(DataGrid* grid, const QString& name);

// Stores the grid's columns as the operator arranged them (order on screen,
// widths, visibility) under the name; rows missing for the layout are
// added. True when saved.
bool SaveGridLayout(DataGrid* grid, const QString& name);

// The pop-up command "保存当前网格": asks first and saves only on "yes".
bool AskAndSaveGridLayout(DataGrid* grid, const QString& name);

// Lets the operator tick the columns to show (FieldListDialog). Nothing is
// stored. True when the operator confirmed.
bool ChooseGridColumns(DataGrid* grid);

// Captions of the custom-field columns from the settings slots, the
// quantity format on the amount columns, and on money columns without a
// format of their own the money format of the grid's layout (by name).
void ApplyColumnFormats(DataGrid* grid, const QString& layout = QString());
