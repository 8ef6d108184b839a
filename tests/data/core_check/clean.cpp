#include <QString>
#include "data/Database.h"
