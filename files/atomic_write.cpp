#include "files/basics_file.h"
