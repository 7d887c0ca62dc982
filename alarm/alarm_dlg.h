#pragma once
// The Alarm Settings dialog: a date and a time text and the Enable Alarm box.
#include "base/dialog.h"

#include <cstdint>
#include <string>

class CAlarmDlg : public CDialog {
public:
    // Shows the present moment with the box clear until told otherwise.
    CAlarmDlg();

    // Both texts become the display texts of the time value.
    void SetAlarmTime(int32_t nTime);
    // The time value of the texts as OK accepted them.
    int32_t GetAlarmTime() const { return m_nTime; }

    std::string m_strDate;
    std::string m_strTime;
    int32_t m_bEnable = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WORD nID, WORD nCode, HWND hCtl) override;

private:
    // Fills the controls from the fields, or reads them back when bSave.
    void DoDataExchange(bool bSave);
    void OnKillFocusDate();
    void OnKillFocusTime();
    // Says text, if any, in a message box.
    void Complain(const char* text);

    int32_t m_nTime = -1;
    // A message box takes the focus from a field; that is no reason for another.
    bool m_bComplaining = false;
};
