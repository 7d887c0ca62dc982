#include "storage/code_page.h"

namespace {

std::string Latin1FromWide(const std::u16string& wide)
{
    std::string str(wide.size(), '?');
    for (size_t i = 0; i < wide.size(); ++i)
        if (wide[i] < 256)
            str[i] = static_cast<char>(wide[i]);
    return str;
}

std::u16string WideFromLatin1(const std::string& narrow)
{
    std::u16string str(narrow.size(), u'\0');
    for (size_t i = 0; i < narrow.size(); ++i)
        str[i] = static_cast<unsigned char>(narrow[i]);
    return str;
}

const CodePage* g_pInstalledCodePage = &kLatin1CodePage;

}  // namespace

const CodePage kLatin1CodePage = {Latin1FromWide, WideFromLatin1};

const CodePage& InstalledCodePage()
{
    return *g_pInstalledCodePage;
}

void InstallCodePage(const CodePage& codePage)
{
    g_pInstalledCodePage = &codePage;
}
