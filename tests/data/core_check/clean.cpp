#include "data/Database.h"
#include <QString>
