// Whatever a handler throws ends in the one reporter, and the message is
// then answered as not handled (a colour request gets no bogus brush).
#include "base/dialog.h"
#include "base/failure_report.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string g_strReported;

class CThrowingDlg : public CDialog {
public:
    CThrowingDlg() : CDialog(IDD_ALARMNOTICE) {}

protected:
    bool OnCommand(WORD, WORD, HWND) override { throw 7; }
    bool OnMessage(UINT msg, WPARAM, LPARAM, INT_PTR&) override
    {
        if (msg == WM_CTLCOLORDLG)
            throw 7;
        return false;
    }
};

TEST(Dialog, AThrowOfAnyKindIsReportedAndTheMessageCountsAsNotHandled)
{
    SetFailureReporter([](HWND, const std::exception& failure) { g_strReported = failure.what(); });
    CThrowingDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, 999, 0);
    EXPECT_EQ("an unexpected error occurred.", g_strReported);
    g_strReported.clear();
    EXPECT_NE(TRUE, SendMessageA(dlg.GetSafeHwnd(), WM_CTLCOLORDLG, 0, 0)) << "TRUE would pass as a brush";
    EXPECT_FALSE(g_strReported.empty());
    SetFailureReporter(nullptr);
}

}  // namespace
