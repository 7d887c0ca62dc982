// The controller's notes-file side: Open, Save, Save As, dropped files,
// the command-line file and the autosave when Windows ends the session.
#include "app/sticky_note_dlg.h"

#include "base/dialog.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

namespace {

// The common dialogs want the filter with NUL separators.
const char kFilter[] = "Driftpad (*.dpd)\0*.dpd\0";

// The file dialogs' library is large and most runs never show one: it is
// loaded the first time it is needed and stays for the rest of the run.
using FileDialogFn = BOOL(WINAPI*)(LPOPENFILENAMEA);

FileDialogFn FileDialog(bool save)
{
    static HMODULE library = LoadLibraryA("comdlg32.dll");
    if (!library)
        return nullptr;
    return reinterpret_cast<FileDialogFn>(
        reinterpret_cast<void*>(GetProcAddress(library, save ? "GetSaveFileNameA" : "GetOpenFileNameA")));
}

// Shows the open or save dialog; empty when cancelled or it cannot be shown.
std::string AskFileName(HWND hWndOwner, bool save, const std::string& initial)
{
    FileDialogFn show = FileDialog(save);
    if (!show)
        return std::string();
    char name[MAX_PATH] = {};
    if (save)
        lstrcpynA(name, initial.c_str(), MAX_PATH);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hWndOwner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = "dpd";  // a name typed without an extension gets ".dpd"
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER;
    return show(&ofn) ? std::string(name) : std::string();
}

}  // namespace

void CStickyNoteDlg::OnOpen()
{
    std::string path = AskFileName(m_hWnd, false, std::string());
    if (path.empty())
        return;
    m_strFileName = path;
    LoadNotesFile(path);
}

void CStickyNoteDlg::OpenNotesFile(const std::string& path)
{
    m_strFileName = path;
    LoadNotesFile(path);
}

void CStickyNoteDlg::OpenNotesFileAtStartup(const std::string& path)
{
    try {
        OpenNotesFile(path);
    } catch (const std::exception& failure) {
        ReportFailure(m_hWnd, failure);
    }
}

bool CStickyNoteDlg::OnSave()
{
    if (m_strFileName.empty())
        return OnSaveAs();
    SaveNotesFile(m_strFileName);
    return true;
}

bool CStickyNoteDlg::OnSaveAs()
{
    std::string path = AskFileName(m_hWnd, true, m_strFileName);
    if (path.empty())
        return false;
    m_strFileName = path;
    return OnSave();
}

void CStickyNoteDlg::OnDropFiles(HDROP hDrop)
{
    // The whole path of the first file, however long; the others are ignored.
    UINT length = DragQueryFileA(hDrop, 0, nullptr, 0);
    std::vector<char> path(length + 1);
    UINT got = DragQueryFileA(hDrop, 0, path.data(), length + 1);
    DragFinish(hDrop);
    if (got)
        OpenNotesFile(std::string(path.data(), got));
}

void CStickyNoteDlg::OnEndSession(BOOL bEnding)
{
    if (!bEnding || !m_bSaveOnShutdown)
        return;
    OnSave();
}
