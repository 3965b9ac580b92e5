#include "ui/cost_chart.h"
