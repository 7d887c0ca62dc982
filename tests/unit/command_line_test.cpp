#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

CStickyNoteCmdLineInfo Parse(const char* line)
{
    CStickyNoteCmdLineInfo info;
    ParseCommandLine(line, info);
    return info;
}

TEST(CommandLine, OptionsCountByTheirFirstLetterOnly)
{
    auto info = Parse("Driftpad.exe /install -silent");
    EXPECT_EQ(1, info.m_bInstall);
    EXPECT_EQ(1, info.m_bSilent);
    EXPECT_EQ(0, info.m_bUninstall);
    EXPECT_EQ(1, Parse("Driftpad.exe /ix").m_bInstall);
    EXPECT_EQ(1, Parse("Driftpad.exe -uninstall").m_bUninstall);
}

TEST(CommandLine, UnknownCapitalAndEmptyOptionsAreIgnored)
{
    for (const char* line : {"Driftpad.exe /I", "Driftpad.exe /", "Driftpad.exe -", "Driftpad.exe /x /U /S"}) {
        auto info = Parse(line);
        EXPECT_EQ(0, info.m_bInstall) << line;
        EXPECT_EQ(0, info.m_bUninstall) << line;
        EXPECT_EQ(0, info.m_bSilent) << line;
        EXPECT_EQ("", info.m_strFileName) << line;
    }
}

TEST(CommandLine, InstallAndUninstallTogetherSetBoth)
{
    for (const char* line : {"Driftpad.exe /i /u", "Driftpad.exe /u /i"}) {
        auto info = Parse(line);
        EXPECT_EQ(1, info.m_bInstall) << line;
        EXPECT_EQ(1, info.m_bUninstall) << line;
    }
}

TEST(CommandLine, FirstFileNameWinsAndDashNamesAreOptions)
{
    EXPECT_EQ("a.dpd", Parse("Driftpad.exe a.dpd b.dpd").m_strFileName);
    EXPECT_EQ("", Parse("Driftpad.exe -notes.dpd").m_strFileName);
    EXPECT_EQ("b.dpd", Parse("Driftpad.exe -notes.dpd b.dpd").m_strFileName);
    auto info = Parse("Driftpad.exe /i notes.dpd");
    EXPECT_EQ(1, info.m_bInstall);
    EXPECT_EQ("notes.dpd", info.m_strFileName);
}

TEST(CommandLine, QuotedWordsKeepBlanksAndLoseQuotes)
{
    EXPECT_EQ("C:\\My Notes\\a b.dpd",
              Parse("\"C:\\Program Files\\Driftpad.exe\" \"C:\\My Notes\\a b.dpd\"").m_strFileName);
    // A quote in the middle of a word groups only that stretch.
    EXPECT_EQ("C:\\My Notes\\x.dpd", Parse("Driftpad.exe C:\\My\" \"Notes\\x.dpd").m_strFileName);
    // A quoted option is still an option.
    EXPECT_EQ(1, Parse("Driftpad.exe \"/i\"").m_bInstall);
}

TEST(CommandLine, SplitFollowsRuntimeBackslashRules)
{
    auto words = SplitCommandLine("\"C:\\a b\\p.exe\" a\\\\\\\"b \"c\\\\\" d\\e \"x\"\"y\"  \t");
    ASSERT_EQ(5u, words.size());
    EXPECT_EQ("C:\\a b\\p.exe", words[0]);
    EXPECT_EQ("a\\\"b", words[1]);   // 3 backslashes + quote: one backslash, literal quote
    EXPECT_EQ("c\\", words[2]);      // 2 backslashes + quote: one backslash, quote closes
    EXPECT_EQ("d\\e", words[3]);     // backslashes not before a quote stay
    EXPECT_EQ("x\"y", words[4]);     // "" inside quotes is a quote
    EXPECT_EQ(1u, SplitCommandLine("Driftpad.exe").size());
    EXPECT_EQ(1u, SplitCommandLine("Driftpad.exe    ").size());
}

TEST(CommandLine, EmptyQuotedWordIsAFileNameThatOpensNothing)
{
    auto info = Parse("Driftpad.exe \"\" b.dpd");
    // An empty quoted word leaves the name empty, so a later word still fills it.
    EXPECT_EQ("b.dpd", info.m_strFileName);
}

}  // namespace
