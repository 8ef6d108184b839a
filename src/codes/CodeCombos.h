#pragma once

class QComboBox;

// Salesperson and department pick lists by the operator's restriction:
// all, own contracts only (salesperson fixed to the operator), or the listed
// departments only.
void FillEmployeeAndDeptCombos(QComboBox* salesperson, QComboBox* department);
