#include "codes/CodeCombos.h"

#include "codes/CodeStore.h"
#include "data/DataServicesUi.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/Messages.h"

#include <QComboBox>

QStringList CodePickList(const QString& key, const std::optional<QStringList>& only)
{
    QStringList out;
    QString error;
    TdmData* dm = dmData();
    if (!dm) {
        ShowFailure(Messages::notConnected(), QString());
        return out;
    }
    if (!CodeStore::names(dm->db(), key, &out, &error, only))
        ShowFailure(Messages::openFailed(), error);
    return out;
}

void FillEmployeeAndDeptCombos(QComboBox* salesperson, QComboBox* department)
{
    switch (Session.XtFlag) {
    case 1:
        salesperson->clear();
        salesperson->setEditable(true);
        salesperson->setEditText(Session.OperName);
        salesperson->setEnabled(false);
        salesperson->setStyleSheet(QStringLiteral("QComboBox { background: aqua; }"));
        FillComboBox(CodePickList(CodeStore::kDepartments), department);
        break;
    case 2: {
        FillComboBox(CodePickList(CodeStore::kDepartments, Session.departments()), department);
        break;
    }
    default:
        FillComboBox(CodePickList(CodeStore::kEmployees), salesperson);
        FillComboBox(CodePickList(CodeStore::kDepartments), department);
        break;
    }
}
