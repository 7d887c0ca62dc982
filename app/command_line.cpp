#include "app/command_line.h"

void CStickyNoteCmdLineInfo::ParseParam(const char* param, bool bFlag, bool /*bLast*/)
{
    if (bFlag) {
        // Only the first character counts: /install and /ix both mean install.
        switch (param[0]) {
        case 'i': m_bInstall = 1; break;
        case 'u': m_bUninstall = 1; break;
        case 's': m_bSilent = 1; break;
        default: break;
        }
    } else if (m_strFileName.empty()) {
        m_strFileName = param;
    }
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program name: quoted up to the next quote, else up to the first blank.
const char* SkipProgramWord(const char* p, std::string& word)
{
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            word += *p++;
        if (*p == '"')
            ++p;
    } else {
        while (*p && !IsBlank(*p))
            word += *p++;
    }
    return p;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine)
{
    std::vector<std::string> words;
    if (!commandLine)
        return words;
    const char* p = commandLine;
    std::string program;
    p = SkipProgramWord(p, program);
    words.push_back(program);

    for (;;) {
        while (IsBlank(*p))
            ++p;
        if (!*p)
            break;
        std::string word;
        bool inQuotes = false;
        while (*p && (inQuotes || !IsBlank(*p))) {
            size_t backslashes = 0;
            while (*p == '\\') {
                ++backslashes;
                ++p;
            }
            if (*p == '"') {
                // 2n backslashes + quote: n backslashes, quote toggles;
                // 2n+1 backslashes + quote: n backslashes and a literal quote.
                word.append(backslashes / 2, '\\');
                if (backslashes % 2) {
                    word += '"';
                } else if (inQuotes && p[1] == '"') {
                    word += '"';  // "" inside quotes is a literal quote
                    ++p;
                } else {
                    inQuotes = !inQuotes;
                }
                ++p;
            } else {
                word.append(backslashes, '\\');
                if (*p && (inQuotes || !IsBlank(*p)))
                    word += *p++;
            }
        }
        words.push_back(word);
    }
    return words;
}

void ParseCommandLine(const char* commandLine, CStickyNoteCmdLineInfo& info)
{
    std::vector<std::string> words = SplitCommandLine(commandLine);
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        bool last = i + 1 == words.size();
        if (!word.empty() && (word[0] == '-' || word[0] == '/'))
            info.ParseParam(word.c_str() + 1, true, last);
        else
            info.ParseParam(word.c_str(), false, last);
    }
}
