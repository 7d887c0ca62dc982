#include "base/message_box.h"

const std::string& AppTitle()
{
    static const std::string title = [] {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string name = path;
        size_t slash = name.find_last_of("\\/");
        if (slash != std::string::npos)
            name.erase(0, slash + 1);
        size_t dot = name.rfind('.');
        if (dot != std::string::npos)
            name.erase(dot);
        return name;
    }();
    return title;
}

int AppMessageBox(HWND hWndOwner, const char* text, UINT type, const char* caption)
{
    return MessageBoxA(hWndOwner, text, caption ? caption : AppTitle().c_str(), type);
}
