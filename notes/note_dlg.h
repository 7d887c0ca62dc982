#pragma once
// A note: a small yellow window without a title bar holding up to 150
// characters. The controller creates it and is the only one that ends it.
#include "base/dialog.h"
#include "base/handle.h"

#include <cstdint>
#include <string>

class CNoteDlg : public CDialog {
public:
    CNoteDlg();
    ~CNoteDlg() override;

    // Creates the window from the note template, owned by the controller.
    bool CreateNote(HWND hWndController);

    int32_t GetHiddenFlag() const { return m_bHidden; }
    void SetHiddenFlag(int32_t bHidden) { m_bHidden = bHidden; }
    std::string GetText() const;
    void SetText(const std::string& text);

protected:
    BOOL OnInitDialog() override;
    // A note holds the user's text: Enter, Esc and the close command never end it.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    // The window is gone: the note ends with it.
    void PostNcDestroy() override { delete this; }

private:
    void ApplyVisibility();
    void ApplyAlwaysOnTop(UINT extraFlags);

    UniqueBrush m_brush;
    int32_t m_bAlwaysOnTop = 0;
    int32_t m_bHidden = 0;
};
