#include "tests/e2e/harness.h"

#include <cstring>

namespace e2e {

RECT WindowRect(HWND hWnd)
{
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return r;
}

bool Yellow(int x, int y)
{
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c == RGB(255, 255, 0);
}

RECT WorkArea()
{
    RECT r = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

HWND WithText(const std::vector<HWND>& windows, const std::string& text, int item)
{
    for (HWND w : windows)
        if (DialogItemText(w, item) == text)
            return w;
    return nullptr;
}

void SetClipboardText(const std::u16string& text)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    const size_t bytes = 2 * (text.size() + 1);
    if (HGLOBAL mem = text.empty() ? nullptr : GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(mem), text.c_str(), bytes);
        GlobalUnlock(mem);
        SetClipboardData(CF_UNICODETEXT, mem);
    }
    CloseClipboard();
}

}  // namespace e2e
