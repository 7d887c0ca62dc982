#pragma once
// Message boxes under the program's own name.
#include <windows.h>

#include <string>

// The program's title: the executable's file name without its extension.
const std::string& AppTitle();
// A message box with the program's title as caption unless one is given.
int AppMessageBox(HWND hWndOwner, const char* text, UINT type, const char* caption = nullptr);
