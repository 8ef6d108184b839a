#pragma once

#include "data/Database.h"
#include "data/SqlBuilder.h"
#include "reference/ClientStore.h"

#include <QDate>
#include <QString>

class RecordModel;

// One project (a GCitem row) as its windows edit it.
struct Project
{
    qint64 id = 0;
    QString code;
    QString name;
    QString type; // name path of its type node
    QString fzrEmp;
    QString gcName;
    QString gcType;
    QString gcPos;
    double gcPrice = 0;
    QString gcPhone;
    bool fromDateGiven = false;
    QDate fromDate;
    bool toDateGiven = false;
    QDate toDate;
    QString memo1;
    bool stopped = false; // F_useFlag
};

// The statements of the project windows. A project's related files
// (t_GCdetail) hang off its code. Every value is bound; search text is
// matched literally.
namespace ProjectStore {

// The list of the project list window, ordered by code. The search choices
// are the counterpart window's: code, name, person in charge (for "联 系
// 人") and site (for "单位地址").
SqlBuilder listQuery(const SqlDialect& dialect, const ReferenceListCriteria& criteria);

// The picker's list: never a stopped project.
struct PickCriteria
{
    QString gcType; // prefix
    QString name;   // anywhere
    QString gcName; // anywhere
    QString typePath;
};
SqlBuilder pickQuery(const SqlDialect& dialect, const PickCriteria& criteria);

// The files of a project, in the order they were added.
QString filesSql();
SqlParams filesParams(const QString& code);
// No file at all: the file list of a new project.
QString noFilesSql();

// F_ID of a project with the code, 0 when there is none; false on failure.
bool findByCode(Database& db, const QString& code, qint64* id, QString* error = nullptr);

// Writes the project with its file list in the caller's transaction: first
// the pending file rows (deletions, additions, changes) under the project's
// code, every file already stored under the project's former code moved to
// the new one, then the project row (INSERT when project->id is 0, the new
// F_ID into project->id; UPDATE otherwise). The file list keeps its pending
// rows: a failed save can be run again and writes them once.
bool save(Database& db, Project* project, RecordModel* files, QString* error = nullptr);

// Deletes the projects with the code and their files, in one transaction of
// its own.
bool remove(Database& db, const QString& code, QString* error = nullptr);

} // namespace ProjectStore
