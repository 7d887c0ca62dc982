// The recovery copy: a write that fails at any step leaves a whole copy
// behind, a failing copy is told once per run, and the decisions of when
// to write, drop and offer it.
#include "app/recovery.h"
#include "storage/notes_file.h"
#include "tests/unit/fake_file_system.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;
const std::string kFolder = "C:\\local\\Vantry\\Driftpad\\";

RecoverySnapshot Snapshot(const std::u16string& text, const std::string& name)
{
    RecoverySnapshot s;
    s.nShowHiddenMode = 1;
    s.notes = {{text, {10, 20, 30, 40, 1, 12345, 1, 0}}, {std::u16string(3000, u'x'), {}}};
    s.strFileName = name;
    return s;
}

Bytes FileOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

}  // namespace

TEST(RecoveryFiles, AWriteFailingAtAnyStepLeavesAWholeCopyWithItsOwnName)
{
    const RecoverySnapshot before = Snapshot(u"old", "C:\\a.dpd"), after = Snapshot(u"new", "C:\\b.dpd");
    bool bReachedTheEnd = false;
    for (int nStep = 1; !bReachedTheEnd; ++nStep) {
        CFakeFileSystem fs;
        CRecoveryFiles files(fs, kFolder);
        files.Write(before);
        const auto old = fs.m_files;
        fs.m_steps.clear();
        fs.m_nFailAtStep = nStep;
        try {
            files.Write(after);
            bReachedTheEnd = true;
        } catch (const CFileException&) {
        }
        FoundRecovery found = files.Read();
        ASSERT_TRUE(found.bPresent && !found.bDamaged) << nStep;
        const std::u16string& text = found.copy.notes.at(0).m_strText;
        EXPECT_TRUE(text == u"old" || text == u"new") << nStep;
        // A new name never goes with the old notes: Save would write them over the opened file.
        EXPECT_FALSE(text == u"old" && found.copy.strFileName != "C:\\a.dpd") << nStep;
        EXPECT_EQ(fs.m_files.size(), 2u) << "no file left behind at step " << nStep;
        if (text == u"old") {
            EXPECT_EQ(fs.m_files, old) << nStep;
        }

        // The next write after a failure writes the name again.
        fs.m_nFailAtStep = 0;
        files.Write(after);
        EXPECT_EQ(fs.m_files[files.NamePath()], FileOf("C:\\b.dpd")) << nStep;
    }
}

TEST(RecoveryFiles, ADamagedCopyGivesTheNotesBeforeTheDamageAndIsKeptAsThePreviousOne)
{
    CFakeFileSystem fs;
    CRecoveryFiles files(fs, kFolder);
    EXPECT_FALSE(files.Read().bPresent);
    files.Write(Snapshot(u"first", "C:\\a.dpd"));
    fs.m_files[files.CopyPath()].resize(fs.m_files[files.CopyPath()].size() - 1);
    FoundRecovery found = files.Read();
    EXPECT_TRUE(found.bPresent && found.bDamaged);
    ASSERT_EQ(found.copy.notes.size(), 1u);
    EXPECT_EQ(found.copy.notes[0].m_strText, u"first");
    EXPECT_EQ(found.copy.nShowHiddenMode, 1);
    EXPECT_EQ(found.copy.strFileName, "C:\\a.dpd");
    const Bytes damaged = fs.m_files[files.CopyPath()];
    fs.m_files[files.PreviousPath()] = {1, 2, 3};
    files.KeepAsPrevious();
    EXPECT_EQ(fs.m_files, (std::map<std::string, Bytes>{{files.PreviousPath(), damaged}}));
}

TEST(RecoveryWriter, TheLastRequestWinsAndAFailingCopyIsToldOncePerRun)
{
    CFakeFileSystem fs;
    CRecoveryFiles files(fs, kFolder);
    std::vector<std::string> told;
    {
        CRecoveryWriter writer(files, [&](const std::string& why) { told.push_back(why); });
        writer.Write(Snapshot(u"one", ""));
        writer.Write(Snapshot(u"two", ""));
        writer.WaitIdle();
        EXPECT_EQ(files.Read().copy.notes.at(0).m_strText, u"two");
        writer.Remove();
        writer.WaitIdle();
        EXPECT_TRUE(fs.m_files.empty());

        fs.m_nDiskRoom = 100;
        for (const char16_t* text : {u"three", u"four"}) {
            writer.Write(Snapshot(text, ""));
            writer.WaitIdle();
        }
        fs.m_nDiskRoom = SIZE_MAX;
        writer.Write(Snapshot(u"five", ""));
    }  // the end of the run finishes the write at hand
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("disk is full"), std::string::npos) << told[0];
    EXPECT_EQ(files.Read().copy.notes.at(0).m_strText, u"five");
}

TEST(RecoveryRules, WrittenAfterAChangeDroppedWhenEmptyAndNotWrittenOnceSaved)
{
    using Step = CRecoveryRules::Step;
    CRecoveryRules rules;
    EXPECT_EQ(rules.OnEndSession(false), Step::none) << "nothing changed yet";
    EXPECT_TRUE(rules.OnChange());
    EXPECT_FALSE(rules.OnChange()) << "one timer";
    EXPECT_EQ(rules.OnTimer(false), Step::write);
    EXPECT_EQ(rules.OnEndSession(false), Step::write) << "still unsaved";
    EXPECT_TRUE(rules.OnChange()) << "armed again only by a change";
    EXPECT_EQ(rules.OnTimer(true), Step::remove);
    rules.OnSaved();
    EXPECT_EQ(rules.OnEndSession(false), Step::none);
    EXPECT_TRUE(rules.OnChange()) << "a save stops the timer";
    rules.OnSaved();
    rules.OnRestored();
    EXPECT_EQ(rules.OnEndSession(false), Step::write) << "restored notes are unsaved";
}

TEST(RecoveryRules, OfferAndTheCommandLineFileAfterARestore)
{
    FoundRecovery found;
    EXPECT_EQ(OfferFor(found), RecoveryOffer::none);
    found.bPresent = true;
    EXPECT_EQ(OfferFor(found), RecoveryOffer::drop);
    found.bDamaged = true;
    EXPECT_EQ(OfferFor(found), RecoveryOffer::keepAside);
    found.copy.notes.resize(1);
    EXPECT_EQ(OfferFor(found), RecoveryOffer::ask);
    found.bDamaged = false;
    EXPECT_EQ(OfferFor(found), RecoveryOffer::ask);

    const struct {
        const char* commandLine;
        const char* restored;
        bool open;
    } cases[] = {
        {"C:\\Notes\\A.dpd", "c:\\notes\\a.dpd", false},
        {"C:\\notes\\a.dpd", "C:\\notes\\b.dpd", true},
        {"C:\\notes\\a.dpd", "C:\\notes\\a.dpd2", true},
        {"C:\\notes\\a.dpd", "", true},
        {"", "C:\\notes\\a.dpd", false},
        {"", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpenCommandLineFileAfterRestore(c.commandLine, c.restored), c.open) << c.commandLine << "|" << c.restored;
}
