#include "app/folder_watch.h"

#include "storage/file_win.h"
#include "storage/notes_file.h"

bool CFolderWatch::Watch(HWND hWnd, const std::string& strFile)
{
    std::string strFolder = strFile.empty() ? std::string() : FolderOf(FullPath(strFile));
    if (strFolder == m_strFolder && hWnd == m_hWnd && m_thread.joinable())
        return true;
    Stop();
    m_hWnd = hWnd;
    if (strFolder.empty())
        return false;
    // A write, a new size, or a name made or changed: a sync client replaces
    // a file by renaming its download over it.
    m_hChange.reset(FindFirstChangeNotificationA(strFolder.c_str(), FALSE,
                                                 FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                                                     FILE_NOTIFY_CHANGE_LAST_WRITE));
    m_hStop.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!m_hChange || !m_hStop)
        return false;
    m_strFolder = strFolder;
    m_thread = std::thread([this, hChange = m_hChange.get(), hStop = m_hStop.get()] {
        const HANDLE handles[] = {hStop, hChange};
        for (;;) {
            const DWORD dwWoke = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
            if (dwWoke == WAIT_OBJECT_0)
                return;
            const bool bLost = dwWoke != WAIT_OBJECT_0 + 1 || !FindNextChangeNotification(hChange);
            PostMessageA(m_hWnd, m_nMessage, bLost ? kLost : kTouched, 0);
            if (bLost)
                return;
        }
    });
    return true;
}

void CFolderWatch::Stop()
{
    if (m_thread.joinable()) {
        SetEvent(m_hStop.get());
        m_thread.join();
    }
    m_hChange.reset();
    m_hStop.reset();
    m_strFolder.clear();
}
