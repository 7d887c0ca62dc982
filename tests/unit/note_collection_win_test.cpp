// A note window that cannot be made (Windows' quota of windows, which Wine
// does not have): the load stops there, the notes shown stay, and the file
// is known to hold more than is shown until it is saved again, whatever
// other notes are on screen. Notes whose windows go leave the list.
#include "app/note_collection.h"
#include "app/sticky_note_app.h"
#include "notes/note_dlg.h"
#include "storage/file_win.h"
#include "storage/notes_file.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(NoteCollection, AFileNotShownWholeIsKnownToHoldMoreWhateverOtherNotesAreOnScreen)
{
    const std::string path = (std::filesystem::temp_directory_path() / "dp-collection-test.dpd").string();
    std::vector<NoteEntry> entries;
    for (int i = 0; i < 5; ++i)
        entries.push_back({u"note " + std::u16string(1, char16_t(u'0' + i)), {10 * i, 20, 136, 123, 0, 0, 0, 0}});
    CWinFileSystem fs;
    SaveNotesFile(fs, path, 0, entries);

    CStickyNoteApp app;
    HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    {
        CNoteCollection notes(app);
        notes.SetOwner(owner);
        notes.Add();  // a note of no file: it must not make up for the file's
        int made = 0;
        notes.SetWindowMaker([&](CNoteDlg& note, HWND hWndOwner) { return ++made != 3 && note.CreateNote(hWndOwner); });
        CNoteCollection::LoadResult loaded = notes.Load(path);
        EXPECT_TRUE(loaded.bOpened && loaded.nNotShown == 3u);
        EXPECT_EQ(3u, NotesLeftOut(notes.NotesLeftOutOf(path)));
        EXPECT_EQ(0u, NotesLeftOut(notes.NotesLeftOutOf(path + ".other")));
        notes.Save(path + ".other");
        EXPECT_EQ(3u, NotesLeftOut(notes.NotesLeftOutOf(path)));
        notes.Save(path);  // the user said yes: the file holds what is shown
        EXPECT_EQ(0u, NotesLeftOut(notes.NotesLeftOutOf(path)));
    }
    DestroyWindow(owner);
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".other");
}

TEST(NoteCollection, NotesEndedWithTheirOwnersWindowLeaveTheList)
{
    CStickyNoteApp app;
    HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    CNoteCollection notes(app);
    notes.SetOwner(owner);
    for (int i = 0; i < 3; ++i)
        notes.Add();
    DestroyWindow(owner);  // as the end of a session ends the controller
    EXPECT_EQ(0u, notes.Count()) << "the list would hold freed notes";
}
