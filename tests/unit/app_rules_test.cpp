// The controller's decisions and the command line: the tray menu's states,
// the double click, a save onto a file changed elsewhere, options and file.
#include "app/command_line.h"
#include "app/controller_rules.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

TEST(ControllerRules, TrayMenuStatesFollowTheNotesAndTheMode)
{
    constexpr std::nullopt_t kAsIs = std::nullopt;
    const struct { unsigned nID; TrayFacts facts; MenuItemState expected; } rows[] = {
        {ID_NEWNOTE, {false, 0}, {true, kAsIs}},  // always there to use
        {ID_OPEN, {false, 0}, {true, kAsIs}},
        {ID_SAVE, {false, 0}, {true, kAsIs}},
        {ID_QUIT, {false, 1}, {true, kAsIs}},
        {ID_HIDEALL, {false, 0}, {false, kAsIs}},  // only with notes to act on
        {ID_DELETEALL, {true, 1}, {true, kAsIs}},
        {ID_SHOWHIDDEN, {false, 1}, {false, true}},  // the mark shows any nonzero mode
        {ID_SHOWHIDDEN, {true, 0}, {true, false}},
        {ID_SHOWHIDDEN, {true, 2}, {true, true}},
        {ID_OPTIONS, {false, 0}, {}},  // the rest keep what the menu resource says
    };
    for (const auto& row : rows)
        EXPECT_EQ(TrayMenuItemState(row.nID, row.facts), row.expected) << row.nID << " notes " << row.facts.bAnyNotes;
    EXPECT_EQ(DoubleClickCommand(0), unsigned{ID_OPTIONS});
    EXPECT_EQ(DoubleClickCommand(1), unsigned{ID_NEWNOTE});
    EXPECT_EQ(DoubleClickCommand(2), 0u);
}

TEST(ControllerRules, AChangedFileIsWrittenOverOnlyAsTheUserSaysAndNeverWhenIncomingNotesFoundNoRoom)
{
    using Step = ChangedFileStep;
    const struct { ChangedFileFacts facts; Step expected; } rows[] = {
        {{false, true, Answer::cancel, false}, Step::merge},  // nobody to ask: merged as data
        {{false, false, Answer::yes, false}, Step::leave},  // and never replaced unread
        {{true, false, Answer::yes, false}, Step::replace},
        {{true, false, Answer::no, false}, Step::leave},  // unreadable: No is not "replace"
        {{true, true, Answer::yes, false}, Step::merge},
        {{true, true, Answer::yes, true}, Step::leave},  // the notes without a window would be lost
        {{true, true, Answer::no, false}, Step::replace},
        {{true, true, Answer::cancel, false}, Step::leave},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ChangedFileStepFor(row.facts), row.expected) << "row " << &row - rows;
}

TEST(CommandLine, OptionsCountByTheirFirstLowerCaseLetterAndTheFirstFileNameWins)
{
    const struct { const char* line; int install, uninstall, silent; const char* file; } rows[] = {
        {"Driftpad.exe /install -silent", 1, 0, 1, ""},
        {"Driftpad.exe /ix -uninstall", 1, 1, 0, ""},
        {"Driftpad.exe /I / - /x /U /S", 0, 0, 0, ""},  // unknown, capital and empty options are ignored
        {"Driftpad.exe -notes.dpd a.dpd b.dpd", 0, 0, 0, "a.dpd"},  // a dash name is an option
        {"Driftpad.exe \"\" b.dpd", 0, 0, 0, "b.dpd"},  // an empty word leaves the name to a later one
        {"\"C:\\Program Files\\Driftpad.exe\" \"C:\\My Notes\\a b.dpd\"", 0, 0, 0, "C:\\My Notes\\a b.dpd"},
        {"Driftpad.exe C:\\My\" \"Notes\\x.dpd", 0, 0, 0, "C:\\My Notes\\x.dpd"},
    };
    for (const auto& row : rows) {
        CStickyNoteCmdLineInfo info;
        ParseCommandLine(row.line, info);
        EXPECT_EQ(row.install, info.m_bInstall) << row.line;
        EXPECT_EQ(row.uninstall, info.m_bUninstall) << row.line;
        EXPECT_EQ(row.silent, info.m_bSilent) << row.line;
        EXPECT_EQ(row.file, info.m_strFileName) << row.line;
    }
    // 3 backslashes + quote: one backslash and a literal quote; 2 + quote: one
    // backslash, the quote closes; backslashes before no quote stay; "" inside quotes is a quote.
    EXPECT_EQ(SplitCommandLine("\"C:\\a b\\p.exe\" a\\\\\\\"b \"c\\\\\" d\\e \"x\"\"y\"  \t"),
              (std::vector<std::string>{"C:\\a b\\p.exe", "a\\\"b", "c\\", "d\\e", "x\"y"}));
}

}  // namespace
