#pragma once

#include "reference/ClientListScreen.h"

// The project list window "工程项目管理": the project-type tree beside the
// list of projects, and under it the files of the current project, which
// follow it. 新增/修改 open TfrmGCitemEdit; 删除 asks and deletes the project
// with its files in one transaction (contracts keep the code and name they
// copied).
//
// Children besides: DBGridEh2 (the files).
class TfrmGCitemMan : public ClientListScreen
{
    Q_OBJECT
public:
    explicit TfrmGCitemMan(QWidget* parent = nullptr);

    DataGrid* files() const { return m_files; }
    void deleteRecord() override;
    static QString deleteQuestion(const QString& name);
    static QString deleteFailedText();

protected:
    SqlBuilder listQuery(const ReferenceListCriteria& criteria) const override;
    void openEdit(SubRecordEdit::Mode mode) override;
    void listRead() override;

private:
    void readFiles();

    DataGrid* m_files = nullptr;
};
