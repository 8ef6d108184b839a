#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A temporary folder that stands in for the executable's folder for the
// lifetime of the object: config.ini, data/ and the rest go there.
class TempExeDir
{
public:
    TempExeDir();
    ~TempExeDir();

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    void writeConfig(const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
};

// Creates a database of the system (the tables of a new database) in the
// folder and returns the file's path.
QString makeContractDatabase(const QString& folder);

// Creates the demo database (DemoData's defaults) in the folder and returns
// the file's path.
QString makeDemoDatabase(const QString& folder);

// A file as a refusal must leave it: its bytes and time, and the files of
// its folder.
struct FileSnapshot
{
    QByteArray bytes;
    QDateTime modified;
    QStringList files;
    bool operator==(const FileSnapshot&) const = default;
};
FileSnapshot snapshotOf(const QString& file);

// Writes bytes to a file, creating its folder.
void writeFile(const QString& path, const QByteArray& bytes);

// What one run of the command-line tool gave: exit code and its two streams.
struct AdminRun
{
    int rc;
    QString out;
    QString err;
};
AdminRun runAdmin(const QStringList& args);

class ScriptedDialogs;
class TdmData;

// What most tests start from: a program folder with a new database in
// data/, scripted dialogs installed, the data module connected to it and
// the session cleared. False when the data module cannot connect.
bool openDataFixture(TempExeDir*& exe, ScriptedDialogs*& ui, TdmData*& dm);
// Frees what openDataFixture made, newest first, and clears the session.
void closeDataFixture(TempExeDir*& exe, ScriptedDialogs*& ui, TdmData*& dm);
