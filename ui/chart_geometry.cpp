#include "ui/chart_geometry.h"
