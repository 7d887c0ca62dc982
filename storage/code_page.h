#pragma once
// The system's 8-bit character set (the ANSI code page on Windows). A
// character it lacks becomes some stand-in: what counts is whether a text
// comes back the same.
#include <string>

struct CodePage {
    std::string (*pfnFromWide)(const std::u16string& wide);
    std::u16string (*pfnToWide)(const std::string& narrow);
};

// Portable stand-in: bytes are the first 256 code points; others become '?'.
extern const CodePage kLatin1CodePage;
// What archives use unless given one: Latin-1 until the program installs
// the system's at start.
const CodePage& InstalledCodePage();
void InstallCodePage(const CodePage& codePage);
