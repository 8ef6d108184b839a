#pragma once

#include <QByteArray>
#include <QString>

// Text files written by older workstations (config.ini, .csv exports) may be
// in the GBK code page. Everything inside the program is Unicode.
namespace LegacyText {

// UTF-8 when the bytes are valid UTF-8 (a byte-order mark is dropped),
// otherwise GBK.
QString decode(const QByteArray& bytes);

bool isValidUtf8(const QByteArray& bytes);

} // namespace LegacyText
