#pragma once
// Tells the user of a failure that a handler raised. The program installs
// the reporter that knows its failures; until then the failure's own words
// are shown.
#include <windows.h>

#include <exception>

using FailureReporter = void (*)(HWND hWndOwner, const std::exception& failure);
void SetFailureReporter(FailureReporter pfnReporter);
void ReportFailure(HWND hWndOwner, const std::exception& failure);
// In a catch block of a window procedure, whatever was thrown: nothing
// may unwind through the window manager.
void ReportCaughtFailure(HWND hWndOwner);
