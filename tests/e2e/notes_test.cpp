#include "tests/e2e/harness.h"
