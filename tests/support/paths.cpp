#include "tests/support/paths.h"
