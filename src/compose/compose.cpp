#include "compose/compose.h"
