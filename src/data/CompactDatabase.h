#pragma once

#include <QString>

class Database;

// Compacts the connected database file in place (VACUUM) after checking its
// integrity, and checks it again afterwards. False on any failure, with the
// reason in `error`: its first line says what is wrong in one sentence, the
// lines after it give the details (the engine's own report). The file stays
// usable either way (a failed VACUUM changes nothing). Must not run inside a
// transaction.
bool CompactDatabase(Database& db, QString* error = nullptr);
