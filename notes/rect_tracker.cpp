#include "notes/rect_tracker.h"

#include "base/handle.h"

namespace {

// The drag outline: a 1-pixel frame inverted through a 50% checkerboard on
// the screen, so that drawing the same frame again erases it.
class ScreenOutline {
public:
    explicit ScreenOutline(HWND hWnd) : m_hWnd(hWnd), m_dc(nullptr)
    {
        static const WORD kCheckers[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        m_bitmap.reset(CreateBitmap(8, 8, 1, 1, kCheckers));
        if (m_bitmap)
            m_brush.reset(CreatePatternBrush(static_cast<HBITMAP>(m_bitmap.get())));
    }
    ~ScreenOutline() { Erase(); }
    ScreenOutline(const ScreenOutline&) = delete;
    ScreenOutline& operator=(const ScreenOutline&) = delete;

    // Shows the outline of r (client coordinates of the tracking window).
    void Show(const NoteRect& r)
    {
        Erase();
        POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        MapWindowPoints(m_hWnd, nullptr, corners, 2);
        m_shown = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        Invert(m_shown);
        m_visible = true;
    }
    void Erase()
    {
        if (m_visible)
            Invert(m_shown);
        m_visible = false;
    }

private:
    void Invert(const RECT& r)
    {
        if (!m_dc || !m_brush)
            return;
        SelectedObject pattern(m_dc.get(), m_brush.get());
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        PatBlt(m_dc.get(), r.left, r.top, w, 1, PATINVERT);
        PatBlt(m_dc.get(), r.left, r.bottom - 1, w, 1, PATINVERT);
        PatBlt(m_dc.get(), r.left, r.top + 1, 1, h - 2, PATINVERT);
        PatBlt(m_dc.get(), r.right - 1, r.top + 1, 1, h - 2, PATINVERT);
    }

    HWND m_hWnd;
    WindowDC m_dc;  // the whole screen
    UniqueGdiObject m_bitmap;
    UniqueBrush m_brush;
    RECT m_shown = {};
    bool m_visible = false;
};

bool IsKeyMessage(UINT msg)
{
    return msg >= WM_KEYFIRST && msg <= WM_KEYLAST;
}

}  // namespace

CRectTracker::CRectTracker()
{
    // Read once for all trackers: a note each would cost seven registry trips.
    static const int nHandleSize = static_cast<int>(GetProfileIntA("windows", "oleinplaceborderwidth", 4));
    m_nHandleSize = nHandleSize;
    m_sizeMin = {2 * m_nHandleSize, 2 * m_nHandleSize};
}

TrackerHit CRectTracker::HitTest(POINT pt) const
{
    return TrackerHitTest(ToNoteRect(m_rect), m_nHandleSize, pt.x, pt.y);
}

bool CRectTracker::Track(HWND hWnd, POINT ptStart)
{
    if (GetCapture())
        return false;
    const TrackerHit hit = HitTest(ptStart);
    if (hit == TrackerHit::none)
        return false;
    // Everything below works on locals: a dispatched message may end the
    // window, and this tracker with it.
    const NoteRect start = ToNoteRect(m_rect);
    const int32_t minSize = m_sizeMin.cx;
    NoteRect outline = start;

    SetCapture(hWnd);
    UpdateWindow(hWnd);
    UpdateWindow(GetDesktopWindow());
    ScreenOutline screen(hWnd);

    bool accepted = false;
    MSG msg = {};
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
            break;
        }
        if (GetCapture() != hWnd)
            break;
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            POINT pt = msg.pt;
            ScreenToClient(hWnd, &pt);
            NoteRect next = TrackerDragged(start, hit, pt.x - ptStart.x, pt.y - ptStart.y, minSize);
            if (next != outline) {
                outline = next;
                screen.Show(outline);
            }
            if (msg.message == WM_LBUTTONUP) {
                accepted = outline != start;
                break;
            }
        } else if (msg.message == WM_RBUTTONDOWN || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
            break;
        } else if (!IsKeyMessage(msg.message)) {
            DispatchMessageA(&msg);
            if (!IsWindow(hWnd))
                return false;
        }
    }
    screen.Erase();
    if (GetCapture() == hWnd)
        ReleaseCapture();
    if (accepted)
        m_rect = {outline.left, outline.top, outline.right, outline.bottom};
    return accepted;
}
