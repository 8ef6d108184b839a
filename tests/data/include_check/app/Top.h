#pragma once
#include "data/Planted.h"
