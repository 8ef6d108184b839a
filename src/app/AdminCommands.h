#pragma once

#include <QStringList>
#include <QTextStream>

// The command-line tool: create and look after databases without the
// desktop. run() takes the arguments after the program name and returns the
// process exit code (0 success, 1 failure, 2 wrong use).
namespace AdminCommands {

int run(const QStringList& args, QTextStream& out, QTextStream& err);

QString helpText();

} // namespace AdminCommands
