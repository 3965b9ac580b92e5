#include "ui/help_text.h"
