#pragma once
// The Open and Save As dialogs for notes files.
#include <windows.h>

#include <string>

// The name the user chose; empty when cancelled or the dialog cannot be
// shown. A name typed without an extension gets ".dpd".
std::string AskNotesFileName(HWND hWndOwner, bool bSave, const std::string& strInitial);
