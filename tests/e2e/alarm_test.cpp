// The note's alarm as the user meets it: the settings dialog, the notice,
// the sound, and alarms loaded from a notes file.
#include "tests/e2e/harness.h"
