#pragma once
#include "data/Fine.h"
#include "app/Top.h"
