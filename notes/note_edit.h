#pragma once
// The note's text area: control 1001 of the note, subclassed. It keeps the
// note's always-on-top and hidden flags, shows its context menu, carries out
// the edit commands and hands the Note submenu's commands to the note.

#include <windows.h>

#include <cstdint>
#include <string>

class CNoteEdit {
public:
    CNoteEdit() = default;
    ~CNoteEdit();
    CNoteEdit(const CNoteEdit&) = delete;
    CNoteEdit& operator=(const CNoteEdit&) = delete;

    // Attaches to control 1001 of the note and limits typing to 150 UTF-16
    // code units.
    bool Prepare(HWND hWndNote);
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The program's own text (a note read from a file): no change to report.
    void SetText(HWND hWndNote, const std::u16string& text) const;

    // 0 or 1 when set by a toggle; a file may hold any value, and any
    // nonzero value counts as set.
    int32_t m_bAlwaysOnTop = 0;
    int32_t m_bHidden = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT CallEditProc(UINT msg, WPARAM wParam, LPARAM lParam) const;
    // True when handled, with the result.
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnContextMenu(LPARAM lParam);
    void OnInitMenuPopup(HMENU hMenu);
    bool OnCommand(WORD nID);
    void OnHideNote();
    void OnAlwaysOnTop();
    void Detach();

    HWND m_hWnd = nullptr;
    WNDPROC m_pfnEditProc = nullptr;  // the editor's own procedure
};
