#pragma once
#include "app/Top.h"
#include "data/Fine.h"
