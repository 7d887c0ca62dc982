#pragma once
// The whole text of a window or control, of any length.
#include <windows.h>

#include <string>

std::string WindowText(HWND hWnd);
// The same of a Unicode window, every character kept.
std::u16string WideWindowText(HWND hWnd);
void SetWideWindowText(HWND hWnd, const std::u16string& text);
