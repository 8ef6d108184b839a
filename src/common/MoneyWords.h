#pragma once

#include <QString>

// An amount in Chinese capital numerals as contracts and receipts state sums:
// every digit with its unit, zeros written out (100.50 gives 壹佰零拾零元伍角零分),
// "整" in place of 零角零分. A negative amount gets "负" before the words of its
// absolute value. Amounts of 10^12 or more have no unit and give an empty text.
QString MoneyMinToBig(double amount);
