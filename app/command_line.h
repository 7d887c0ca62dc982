#pragma once
// The program's command line: options -i/-u/-s (or /i, /u, /s) and the first
// other word as the notes file to open.
#include <string>
#include <vector>

class CStickyNoteCmdLineInfo {
public:
    // One word; for an option the leading "-" or "/" is already removed.
    void ParseParam(const char* param, bool bFlag, bool bLast);

    std::string m_strFileName;
    int m_bInstall = 0;
    int m_bUninstall = 0;
    int m_bSilent = 0;
};

// Splits a whole command line into words the way the C runtime does:
// blanks separate words, double quotes group, backslashes escape quotes.
// Word 0 is the program and follows the runtime's simpler rule for it.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// Splits the command line, skips the program and feeds every word to info.
void ParseCommandLine(const char* commandLine, CStickyNoteCmdLineInfo& info);
