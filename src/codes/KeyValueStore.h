#pragma once

#include <QString>
#include <QStringList>

class Database;

// The shared settings slots of the KeyValue table: custom-field captions
// (slots 1 to 11) and the decimals of quantities, prices and amounts (12 to
// 14), one row each in order of F_ID.
namespace KeyValueStore {

// The settings slots a session holds.
inline constexpr int kSlots = 15;

// Writes slot n of `values` (index n, 1 to 15) into the n-th row, in one
// transaction. Rows are neither added nor removed: a table of fewer rows
// takes fewer slots, rows after the 15th stay as they are.
bool rewrite(Database& db, const QStringList& values, QString* error = nullptr);

} // namespace KeyValueStore
