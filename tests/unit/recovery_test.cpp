// The recovery copy: a write failing at any step leaves a whole copy, a
// failing copy is told once per run, and when it is written, dropped and offered.
#include "recovery/recovery_rules.h"
#include "recovery/recovery_writer.h"
#include "storage/notes_file.h"
#include "tests/unit/fake_file_system.h"
#include "tests/unit/test_notes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <utility>

namespace {

RecoverySnapshot Snapshot(const std::u16string& text, const std::string& name, bool bBaseline = false)
{
    return {1, {{text, {10, 20, 30, 40, 1, 12345, 1, 0}}, {std::u16string(3000, u'x'), {}}}, name,
            bBaseline ? std::make_shared<NotesBaseline>(NotesBaseline{0x0123456789abcdefull, {{u"read", {}}}, 1}) : nullptr,
            bBaseline ? ShortFile{7, 2, true} : ShortFile{}};
}

}  // namespace

TEST(RecoveryFiles, AWriteFailingAtAnyStepLeavesAWholeCopyWithItsOwnName)
{
    bool bReachedTheEnd = false;
    for (size_t nStep = 1; !bReachedTheEnd; ++nStep) {
        CFakeFileSystem fs;
        CRecoveryFiles files(fs, "C:\\local\\");
        files.Write(Snapshot(u"old", "C:\\a.dpd", true));
        NotesRead read;
        ASSERT_EQ(LoadNotesFile(fs, files.CopyPath(), read), LoadOutcome::whole) << "a kept copy opens as a notes file";
        const auto old = fs.m_files;
        fs.m_steps.clear();
        fs.m_nFailAtStep = nStep;
        bReachedTheEnd = !Raised<CFileException>([&] { files.Write(Snapshot(u"new", "C:\\b.dpd", true)); });
        FoundRecovery found = files.Read();
        ASSERT_TRUE(found.bPresent && !found.bDamaged && found.copy.baseline) << nStep;
        EXPECT_TRUE(found.copy.baseline->nDigest == 0x0123456789abcdefull && found.copy.baseline->nMode == 1
                    && found.copy.baseline->notes == Snapshot(u"", "", true).baseline->notes);
        EXPECT_TRUE(found.copy.shortFile.nHeld == 7 && found.copy.shortFile.nShown == 2 && found.copy.shortFile.bNotReadWhole);
        const std::u16string& text = found.copy.notes.at(0).strText;
        // The old notes go with their own name only: Save would write them over the opened file.
        EXPECT_TRUE(text == u"new" || fs.m_files == old) << nStep;
        EXPECT_EQ(fs.m_files.size(), 2u) << "no file left behind at step " << nStep;

        fs.m_nFailAtStep = 0;  // the next write after a failure writes the name again
        files.Write(Snapshot(u"new", "C:\\b.dpd"));
        EXPECT_EQ(fs.m_files[files.NamePath()], Bytes({'C', ':', '\\', 'b', '.', 'd', 'p', 'd'})) << nStep;
    }
}

TEST(RecoveryFiles, ADamagedCopyGivesTheNotesBeforeTheDamageAndIsKeptAsThePreviousOne)
{
    CFakeFileSystem fs;
    CRecoveryFiles files(fs, "C:\\local\\");
    EXPECT_FALSE(files.Read().bPresent);
    files.Write(Snapshot(u"first", "C:\\a.dpd"));
    fs.m_files[files.CopyPath()].pop_back();
    FoundRecovery found = files.Read();
    EXPECT_TRUE(found.bPresent && found.bDamaged);
    ASSERT_EQ(found.copy.notes.size(), 1u);
    EXPECT_EQ(found.copy.notes[0].strText, u"first");
    EXPECT_EQ(found.copy.nShowHiddenMode, 1);
    EXPECT_EQ(found.copy.strFileName, "C:\\a.dpd");
    fs.m_files[files.NamePath()] = Bytes(40000, 'x');  // no path is that long: not ours
    EXPECT_EQ(files.Read().copy.strFileName, "");

    const Bytes damaged = fs.m_files[files.CopyPath()];
    fs.m_files[files.PreviousPath()] = {1, 2, 3};
    files.KeepAsPrevious();
    EXPECT_EQ(fs.m_files, (std::map<std::string, Bytes>{{files.PreviousPath(), damaged}}));
}

TEST(RecoveryFiles, OnlyACopyEqualToItsFileOnDiskCountsAsSaved)
{
    CFakeFileSystem fs;
    RecoverySnapshot copy = Snapshot(u"one", "C:\\a.dpd");
    EXPECT_FALSE(CopyIsSaved(fs, copy)) << "no file";
    SaveNotesFile(fs, copy.strFileName, copy.nShowHiddenMode, copy.notes);
    EXPECT_TRUE(CopyIsSaved(fs, copy));
    for (auto change : {+[](RecoverySnapshot& c) { c.nShowHiddenMode = 0; },
                        +[](RecoverySnapshot& c) { c.notes[1].record.m_nTop = 1; },
                        +[](RecoverySnapshot& c) { c.notes.pop_back(); }, +[](RecoverySnapshot& c) { c.strFileName = ""; }}) {
        RecoverySnapshot changed = copy;
        change(changed);
        EXPECT_FALSE(CopyIsSaved(fs, changed));
    }
    fs.m_files["C:\\a.dpd"].pop_back();
    EXPECT_FALSE(CopyIsSaved(fs, copy)) << "a damaged file";
}

TEST(RecoveryWriter, TheLastRequestWinsAndAFailingCopyIsToldOncePerRun)
{
    CFakeFileSystem fs;
    CRecoveryFiles files(fs, "C:\\local\\");
    std::vector<std::string> told;
    std::promise<void> inside, release;
    std::shared_future<void> released = release.get_future().share();
    bool bHeld = false;  // the worker's own
    fs.m_onStep = [&] {
        if (!std::exchange(bHeld, true)) {
            inside.set_value();
            released.wait();
        }
    };
    {
        CRecoveryWriter writer(files, [&](const std::string& why) { told.push_back(why); });
        // Asked for while the worker is held in a write: only the last runs.
        writer.Write(Snapshot(u"held", ""));
        inside.get_future().wait();
        writer.Write(Snapshot(u"one", ""));
        writer.Remove();
        writer.Write(Snapshot(u"two", ""));
        release.set_value();
        writer.WaitIdle();
        EXPECT_EQ(std::count(fs.m_steps.begin(), fs.m_steps.end(), "folder"), 2) << "writes begun";
        EXPECT_EQ(files.Read().copy.notes.at(0).strText, u"two");
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
    EXPECT_EQ(files.Read().copy.notes.at(0).strText, u"five");
}

TEST(RecoveryRules, WrittenAfterAChangeDroppedWhenEmptyNotOnceSavedAndOfferedWhenANoteIsWhole)
{
    using Step = CRecoveryRules::Step;
    CRecoveryRules rules;
    EXPECT_EQ(rules.OnEndSession(false), Step::none) << "nothing changed yet";
    EXPECT_TRUE(rules.OnChange(true));
    EXPECT_FALSE(rules.OnChange(true)) << "one timer";
    EXPECT_EQ(rules.OnTimer(false), Step::write);
    EXPECT_EQ(rules.OnEndSession(false), Step::write) << "still unsaved";
    EXPECT_TRUE(rules.OnChange(true)) << "armed again only by a change";
    rules.OnSaved();
    EXPECT_EQ(rules.OnEndSession(false), Step::none);
    EXPECT_TRUE(rules.OnChange(true)) << "a save stops the timer";
    EXPECT_EQ(rules.OnTimer(true), Step::remove);
    rules.OnSaved();
    EXPECT_FALSE(rules.OnChange(false)) << "notes read from a file are saved notes";
    EXPECT_EQ(rules.OnEndSession(false), Step::none);
    EXPECT_TRUE(rules.OnChange(true));
    EXPECT_FALSE(rules.OnChange(false));
    EXPECT_EQ(rules.OnTimer(false), Step::write);
    EXPECT_TRUE(rules.OnChange(false)) << "a file's notes that join unsaved ones reach the copy";

    FoundRecovery found;
    EXPECT_EQ(OfferFor(found), RecoveryOffer::none);
    found.bPresent = true;
    EXPECT_EQ(OfferFor(found), RecoveryOffer::drop);
    found.bDamaged = true;
    EXPECT_EQ(OfferFor(found), RecoveryOffer::keepAside);
    found.copy.notes.resize(1);
    EXPECT_EQ(OfferFor(found), RecoveryOffer::ask);
}
