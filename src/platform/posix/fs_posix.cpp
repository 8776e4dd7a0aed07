#include "platform/fs.h"
