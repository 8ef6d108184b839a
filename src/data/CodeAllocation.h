#pragma once

#include <QString>

// The numbered series of the system: dated shipment codes (FH-20261211-001),
// plain codes (goods 000001) and classification-tree codes (three digits per
// level). Each new code is the largest existing one plus one. Callers run the
// allocation inside the transaction that saves the new row, after taking the
// write lock (TransactionGuard does), so two workstations never get the same
// code.

// A code, or why none could be made.
struct AllocatedCode
{
    QString code;
    QString error;
    explicit operator bool() const { return error.isEmpty(); }
};

namespace CodeAllocation {

// The tail of `width` digits after `largest`, keeping the leading zeros:
// "007" gives "008". Fails on a tail that is not all digits, and when the
// series is used up (after 999 for three digits): a wrapped tail would repeat
// an existing code.
AllocatedCode incrementTail(const QString& tail, int width);

// The code following `largest` in a dated series: head + incremented tail.
// With no largest code the series of `prefix` + yyyymmdd of `day` starts at
// -001.
AllocatedCode nextDated(const QString& largest, const QString& prefix, const QString& day,
                        int width);

// The code following `largest` in an undated series; with none, 1 in `width`
// digits.
AllocatedCode nextPlain(const QString& largest, int width);

// The tree code for a new node: `largestUnder` is the largest existing code
// of the tree that starts with the parent's code (the largest top-level code
// when the parent is the root); mode 1 new sibling of `selected`, mode 2 new
// child of `selected` (empty `selected`: the root).
AllocatedCode nextTree(const QString& selected, int mode, const QString& largestUnder);

// The parent's code that the search for nextTree uses.
QString treeSearchPrefix(const QString& selected, int mode);

} // namespace CodeAllocation
