#include "core/calc.h"
