#pragma once

#include <QString>

// Files the program creates are built under a temporary name beside their
// final one and given that name only when whole, without ever replacing a
// file that is already there: a crash leaves at most a stray temporary file,
// and of two processes making the same file exactly one wins.
namespace FilePublish {

// Creates a new, empty file with a unique name in the folder of `target`
// ("<target>.<random>.tmp") and returns its path; empty on failure.
QString createTemporaryBeside(const QString& target, QString* error = nullptr);

// Flushes a written file to the disk.
bool syncFile(const QString& path, QString* error = nullptr);

enum class Result
{
    Published,    // `temp` now carries the name `target`
    TargetExists, // someone else's file has the name; `temp` is untouched
    Failed,
};

// Gives `temp` the name `target` if, and only if, no file has that name.
Result publish(const QString& temp, const QString& target, QString* error = nullptr);

// Gives `temp` the name `target`, replacing a file of that name in one step
// (the operator agreed to replace it): readers see the old file or the new
// one, never a part.
bool replace(const QString& temp, const QString& target, QString* error = nullptr);

// Removes a database file this process created, with the side files SQLite
// made for it (-wal, -shm, -journal).
void removeDatabaseFiles(const QString& path);

} // namespace FilePublish
