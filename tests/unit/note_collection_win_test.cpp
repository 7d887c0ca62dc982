// Notes whose windows go leave the list.
#include "app/note_collection.h"
#include "app/sticky_note_app.h"
#include "notes/note_dlg.h"

#include <gtest/gtest.h>

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
