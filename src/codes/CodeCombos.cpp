#include "codes/CodeCombos.h"

#include "codes/CodeStore.h"
#include "data/DataServicesUi.h"
#include "data/Session.h"

#include <QComboBox>

void FillEmployeeAndDeptCombos(QComboBox* salesperson, QComboBox* department)
{
    switch (Session.XtFlag) {
    case 1:
        salesperson->clear();
        salesperson->setEditable(true);
        salesperson->setEditText(Session.OperName);
        salesperson->setEnabled(false);
        salesperson->setStyleSheet(QStringLiteral("QComboBox { background: aqua; }"));
        FillComboBox(CodeStore::names(CodeStore::kDepartments), department);
        break;
    case 2: {
        FillComboBox(CodeStore::names(CodeStore::kDepartments, Session.departments()), department);
        break;
    }
    default:
        FillComboBox(CodeStore::names(CodeStore::kEmployees), salesperson);
        FillComboBox(CodeStore::names(CodeStore::kDepartments), department);
        break;
    }
}
