#include "base/window_text.h"

std::string WindowText(HWND hWnd)
{
    int length = GetWindowTextLengthA(hWnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hWnd, &text[0], length + 1)));
    return text;
}

std::u16string WideWindowText(HWND hWnd)
{
    int length = GetWindowTextLengthW(hWnd);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hWnd, reinterpret_cast<wchar_t*>(&text[0]), length + 1)));
    return text;
}

void SetWideWindowText(HWND hWnd, const std::u16string& text)
{
    SetWindowTextW(hWnd, reinterpret_cast<const wchar_t*>(text.c_str()));
}
