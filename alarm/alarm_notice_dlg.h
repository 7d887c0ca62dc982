#pragma once
// The "Note Alarm!" notice: the note's text, OK and Delete.
#include "base/dialog.h"

#include <string>

// Modeless, so that any number of alarms due together each show their own
// notice without one running inside another's loop; it ends itself.
class CAlarmNoticeDlg : public CDialog {
public:
    // Shows the notice; when it closes, its answer is posted to hWndAnswer
    // as nAnswerMsg with wParam IDOK, IDCANCEL (Esc, the close box) or -1
    // (Delete). False, and nothing posted, when it could not be shown.
    static bool Show(const std::u16string& strText, HWND hWndAnswer, UINT nAnswerMsg);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override { Close(IDOK); }
    void OnCancel() override { Close(IDCANCEL); }
    bool OnCommand(WORD nID, WORD nCode, HWND hCtl) override;
    void PostNcDestroy() override { delete this; }

private:
    CAlarmNoticeDlg(const std::u16string& strText, HWND hWndAnswer, UINT nAnswerMsg);
    void Close(INT_PTR nResult);

    std::u16string m_strText;
    HWND m_hWndAnswer;
    UINT m_nAnswerMsg;
};
