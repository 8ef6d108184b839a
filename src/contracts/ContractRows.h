#pragma once

#include "common/RecordModel.h"

// Colours of a contract row in the lists: an approved contract (F_SHemp not
// empty) in blue on the tooltip background, otherwise an archived one
// (F_GDflag) in red on the button face, otherwise the grid's own colours.
RecordModel::RowStyle contractRowStyle(const RecordModel& model, int row);

// The display rules of the contract list's dates: the open end 3000-08-14
// of F_endDate shows blank as well as the no-date value.
void applyContractDateRules(RecordModel& model);
