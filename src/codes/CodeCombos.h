#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QComboBox;

// A code list's pick list (CodeStore::names) on the program's connection; a
// failure is shown to the operator and gives an empty list.
QStringList CodePickList(const QString& key, const std::optional<QStringList>& only = std::nullopt);

// Salesperson and department pick lists by the operator's restriction:
// all, own contracts only (salesperson fixed to the operator), or the listed
// departments only.
void FillEmployeeAndDeptCombos(QComboBox* salesperson, QComboBox* department);
