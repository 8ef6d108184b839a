#pragma once

#include "data/CodeAllocation.h"
#include "data/Database.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class RecordModel;
class TdmData;

// The SQL of the code lists (t_code) and of the classification trees
// (t_treecode) with the records that store a node's name path.
namespace CodeStore {

// ---- Code lists

// One page of the code-list window: the list key (t_code.F_type) and the
// page caption, blanks included.
struct CodeListPage
{
    QString key;
    QString caption;
};
const QList<CodeListPage>& codeListPages();

// Reads one list (key compared without regard to case) into the model, in
// the order of entry.
bool readCodeList(Database& db, const QString& key, RecordModel& model, QString* error = nullptr);
// Writes the model's pending inserts and changes in one transaction; every
// written row gets the list key.
bool saveCodeList(Database& db, const QString& key, RecordModel& model, QString* error = nullptr);
bool deleteCode(Database& db, qint64 id, QString* error = nullptr);

// ---- Pick lists

// The list keys (t_code.F_type) that windows offer as pick lists.
inline const QString kEmployees = QStringLiteral("empname");
inline const QString kDepartments = QStringLiteral("dept");
inline const QString kStatuses = QStringLiteral("status");
inline const QString kCurrencies = QStringLiteral("priceunit");

// The names of one code list for a pick list: the key compared without
// regard to case, blank names left out, each name once, in the order of
// entry. `only`, when given, keeps just those names (the departments an
// operator is restricted to). False on a database failure.
bool names(Database& db, const QString& key, QStringList* out, QString* error = nullptr,
           const std::optional<QStringList>& only = std::nullopt);

// ---- Classification trees

// What a tree window mode stands for.
struct TreeKind
{
    int mode = 0;
    QString flag;    // t_treecode.F_flag
    QString caption; // window caption and root text
    bool picker = false;
};
// Modes 1..8; any other number is taken as mode 1.
TreeKind treeKind(int mode);
// The picker mode of a tree flag (2 for 'type', 4, 6, 8); 2 when unknown.
int pickerModeOfFlag(const QString& flag);

// A name path with every run of three backslashes reduced to two (what a
// child of the root gets from "\\" + "\" + name).
QString normalizePath(QString path);

// Allocates the code of a new node (mode 1: sibling of `selectedCode`,
// mode 2: child; an empty code is the root) and inserts the node, in one
// transaction. The code comes back in `code`, a failure in `error`.
AllocatedCode addTreeNode(TdmData& dm, const QString& flag, const QString& selectedCode, int mode,
                          const QString& name, const QString& path);

enum class RenameResult
{
    Renamed,
    Unchanged,   // same path apart from letter case and blanks
    TooLong,     // a rewritten path would not fit its column; nothing written
    PathsFailed, // rewriting the stored paths failed; nothing written
    NodeFailed,  // writing the node failed; nothing written
};
// The longest path a rename would have to store beyond its column's limit.
struct PathTooLong
{
    QString path;
    int limit = 0;
};
// Renames node `code`: the stored paths equal to `oldPath` or below it (in
// the records of the tree's kind and in the tree) take `newPath` as their
// beginning, then the node gets its new name, all in one transaction. When
// any of those paths would grow past its column, nothing is written and the
// longest of them comes back in `tooLong`.
RenameResult renameTreeNode(Database& db, const QString& flag, const QString& code,
                            const QString& newName, const QString& oldPath, const QString& newPath,
                            QString* error = nullptr, PathTooLong* tooLong = nullptr);

// Deletes the node and all its descendants of the same tree.
bool deleteTreeNode(Database& db, const QString& flag, const QString& code,
                    QString* error = nullptr);

} // namespace CodeStore
