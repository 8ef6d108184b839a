#pragma once

#include "reference/ClientListScreen.h"

// The counterpart list window "来往单位资料": the counterpart-type tree
// beside the list of units; 新增/修改 open TfrmCltEdit, 删除 asks and
// deletes the unit (contracts keep the names they copied).
class TfrmCltMan : public ClientListScreen
{
    Q_OBJECT
public:
    explicit TfrmCltMan(QWidget* parent = nullptr);

    void deleteRecord() override;
    static QString deleteQuestion(const QString& name);

protected:
    SqlBuilder listQuery(const ReferenceListCriteria& criteria) const override;
    void openEdit(SubRecordEdit::Mode mode) override;
};
