#include "app/file_dialog.h"

#include "base/system_library.h"

#include <commdlg.h>

namespace {

// The common dialogs want the filter with NUL separators.
const char kFilter[] = "Driftpad (*.dpd)\0*.dpd\0";

// The file dialogs' library is large and most runs never show one: it is
// loaded the first time it is needed and stays for the rest of the run.
using FileDialogFn = BOOL(WINAPI*)(LPOPENFILENAMEA);

FileDialogFn FileDialog(bool save)
{
    static HMODULE library = LoadSystemLibrary("comdlg32.dll");
    if (!library)
        return nullptr;
    return reinterpret_cast<FileDialogFn>(
        reinterpret_cast<void*>(GetProcAddress(library, save ? "GetSaveFileNameA" : "GetOpenFileNameA")));
}

}  // namespace

std::string AskNotesFileName(HWND hWndOwner, bool bSave, const std::string& strInitial)
{
    FileDialogFn show = FileDialog(bSave);
    if (!show)
        return std::string();
    char name[MAX_PATH] = {};
    if (bSave)
        lstrcpynA(name, strInitial.c_str(), MAX_PATH);
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
