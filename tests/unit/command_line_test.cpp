#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CommandLine, OptionsCountByTheirFirstLowerCaseLetterAndTheFirstFileNameWins)
{
    struct Row { const char* line; int install, uninstall, silent; const char* file; };
    const Row rows[] = {
        {"Driftpad.exe /install -silent", 1, 0, 1, ""},
        {"Driftpad.exe /ix -uninstall", 1, 1, 0, ""},
        {"Driftpad.exe /I / - /x /U /S", 0, 0, 0, ""},  // unknown, capital and empty options are ignored
        {"Driftpad.exe a.dpd b.dpd", 0, 0, 0, "a.dpd"},
        {"Driftpad.exe -notes.dpd b.dpd", 0, 0, 0, "b.dpd"},  // a dash name is an option
        {"Driftpad.exe \"\" b.dpd", 0, 0, 0, "b.dpd"},  // an empty word leaves the name to a later one
        {"Driftpad.exe \"/i\" notes.dpd", 1, 0, 0, "notes.dpd"},  // a quoted option is still one
        {"\"C:\\Program Files\\Driftpad.exe\" \"C:\\My Notes\\a b.dpd\"", 0, 0, 0, "C:\\My Notes\\a b.dpd"},
        {"Driftpad.exe C:\\My\" \"Notes\\x.dpd", 0, 0, 0, "C:\\My Notes\\x.dpd"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        CStickyNoteCmdLineInfo info;
        ParseCommandLine(row.line, info);
        EXPECT_EQ(row.install, info.m_bInstall);
        EXPECT_EQ(row.uninstall, info.m_bUninstall);
        EXPECT_EQ(row.silent, info.m_bSilent);
        EXPECT_EQ(row.file, info.m_strFileName);
    }
}

TEST(CommandLine, SplitFollowsRuntimeBackslashRules)
{
    using Words = std::vector<std::string>;
    // 3 backslashes + quote: one backslash and a literal quote; 2 + quote: one
    // backslash, the quote closes; backslashes before no quote stay; "" inside quotes is a quote.
    EXPECT_EQ(SplitCommandLine("\"C:\\a b\\p.exe\" a\\\\\\\"b \"c\\\\\" d\\e \"x\"\"y\"  \t"),
              (Words{"C:\\a b\\p.exe", "a\\\"b", "c\\", "d\\e", "x\"y"}));
    EXPECT_EQ(SplitCommandLine("Driftpad.exe    "), Words{"Driftpad.exe"});
}

}  // namespace
