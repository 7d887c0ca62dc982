#pragma once
// Drives Driftpad.exe from outside, as a user would: starts it, finds its
// windows by title, class and control id, posts tray messages and commands,
// answers message boxes, moves the real pointer, reads files and registry.
#include "app/messages.h"
#include "notes/note_messages.h"
#include "resources/resource.h"
#include "tests/e2e/harness/files.h"
#include "tests/e2e/harness/fixture.h"
#include "tests/e2e/harness/host.h"
#include "tests/e2e/harness/probe.h"
#include "tests/e2e/harness/program.h"
#include "tests/e2e/harness/window_search.h"
