#pragma once
// Watches the notes file's folder for what another computer's sync client
// or another program writes there: a thread of its own sleeps until Windows
// says something in the folder changed, and posts the window a message.
#include "base/handle.h"

#include <windows.h>

#include <string>
#include <thread>

class CFolderWatch {
public:
    // wParam of the message: kTouched, or kLost when the folder can no
    // longer be watched (renamed, removed); the owner watches it again.
    enum : WPARAM { kTouched = 0, kLost = 1 };
    explicit CFolderWatch(UINT nMessage) : m_nMessage(nMessage) {}
    ~CFolderWatch() { Stop(); }
    CFolderWatch(const CFolderWatch&) = delete;
    CFolderWatch& operator=(const CFolderWatch&) = delete;

    // Watches the folder that holds strFile for hWnd, in place of any other;
    // "" or a folder that cannot be watched: none. False when none is watched.
    bool Watch(HWND hWnd, const std::string& strFile);

private:
    void Stop();

    HWND m_hWnd = nullptr;
    UINT m_nMessage;
    std::string m_strFolder;
    UniqueKernelHandle m_hStop;
    UniqueHandle<ChangeNotificationTraits> m_hChange;
    std::thread m_thread;
};
