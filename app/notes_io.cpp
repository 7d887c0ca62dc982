// Reading and writing the collection; the file layer arrives with the
// notes-file format. Until then Save writes nothing and Open loads nothing.
#include "app/sticky_note_dlg.h"

void CStickyNoteDlg::LoadNotesFile(const std::string&) {}

void CStickyNoteDlg::SaveNotesFile(const std::string&) {}
