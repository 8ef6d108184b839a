#include "maintenance/DemoData.h"

#include "data/Database.h"

namespace DemoData {

bool fill(Database&, const Options&, QString* error)
{
    if (error)
        *error = QStringLiteral("not yet");
    return false;
}

} // namespace DemoData
