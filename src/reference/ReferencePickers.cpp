#include "reference/ReferencePickers.h"

#include "common/PickerRegistry.h"
#include "reference/TDlgCltXz.h"
#include "reference/TDlgGCitemXZ.h"

void RegisterCounterpartPickers()
{
    // The registry wants nothing back when nothing was chosen; the pickers
    // give back the caller's text then.
    PickerRegistry::set(PickerRegistry::CounterpartName,
                        [](const QString& current, QWidget* parent) -> QStringList {
                            const QString name = PickCounterpartName(current, parent);
                            if (name == current || name.trimmed().isEmpty())
                                return {};
                            return {name};
                        });
    PickerRegistry::set(PickerRegistry::ProjectCode,
                        [](const QString& current, QWidget* parent) -> QStringList {
                            const QString code = PickProjectCode(current, parent);
                            if (code == current || code.trimmed().isEmpty())
                                return {};
                            return {code};
                        });
}
