// The controller's conversation about the notes file: Open, Save, Save As
// and their questions, a dropped file, the end of a session, and a changed
// file arriving from elsewhere.
#include "app/sticky_note_dlg.h"

#include "app/controller_rules.h"
#include "app/file_dialog.h"
#include "app/sticky_note_app.h"
#include "base/failure_report.h"
#include "base/message_box.h"

#include <vector>

namespace {

constexpr UINT_PTR kArrivalTimer = 14;  // 11: the recovery copy, 12: the tray icon, 13: the desktop layer
// A sync client writes a file in steps, and a user saves twice in a row.
constexpr UINT kQuietMs = 2000;

Answer AnswerOf(int nButton)
{
    switch (nButton) {
    case IDYES: return Answer::yes;
    case IDNO: return Answer::no;
    default: return Answer::cancel;
    }
}

}  // namespace

void CStickyNoteDlg::OnOpen()
{
    std::string path = AskNotesFileName(m_hWnd, false, std::string());
    if (!path.empty())
        OpenNotesFile(path);
}

void CStickyNoteDlg::OpenNotesFile(const std::string& path)
{
    CNoteCollection::LoadResult loaded = m_notes.Load(path);
    if (loaded.nNotShown) {
        std::string text = std::to_string(loaded.nNotShown) + " of the notes in \"" + path
                           + "\" could not be shown: Windows has no room for more windows.\r\r"
                             "Saving over that file asks first, so that they are not lost.";
        AppMessageBox(m_hWnd, text.c_str(), MB_OK | MB_ICONSTOP);
    }
}

void CStickyNoteDlg::OpenNotesFileAtStartup(const std::string& path)
{
    try {
        if (m_recovery.OfferAtStart(path))
            OpenNotesFile(path);
    } catch (const std::exception& failure) {
        ReportFailure(m_hWnd, failure);
    }
}

bool CStickyNoteDlg::OnSave(bool bAtSessionEnd)
{
    const std::string path = m_notes.GetFileName();
    if (path.empty())
        return OnSaveAs();
    if (bAtSessionEnd) {
        // Nobody is there to answer: every question's answer is the one that
        // loses nothing. The file is left alone, and the recovery copy keeps
        // the notes on screen for the next start to offer.
        try {
            if (m_notes.SaveAtSessionEnd()) {
                m_recovery.Discard();
                return true;
            }
        } catch (...) {
            m_recovery.KeepAtEndSession();
            throw;
        }
        m_recovery.KeepAtEndSession();
        return false;
    }
    if (!ShorterSaveAllowed(path) || !ChangesElsewhereSettled(path))
        return false;
    WriteNotesFile(path);
    return true;
}

void CStickyNoteDlg::WriteNotesFile(const std::string& path)
{
    m_notes.Save(path);
    m_recovery.Discard();
}

bool CStickyNoteDlg::ShorterSaveAllowed(const std::string& path)
{
    const ShortFile shortFile = m_notes.NotesLeftOutOf(path);
    if (!SaveAsksFirst(shortFile))
        return true;
    std::string text = "\"" + path + "\" ";
    if (shortFile.bNotReadWhole)
        text += "could not be read whole: it is damaged, is not a notes file, or another program was using it. Saving "
                "now replaces it with the notes on screen, and what could not be read is lost.\r\rSave all the same?";
    else
        text += "holds " + std::to_string(shortFile.nHeld) + " notes, and only " + std::to_string(shortFile.nShown)
                + " of them were shown: saving now leaves " + std::to_string(NotesLeftOut(shortFile))
                + " of them out.\r\rSave all the same?";
    return AppMessageBox(m_hWnd, text.c_str(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, "Driftpad: Save")
           == IDYES;
}

bool CStickyNoteDlg::OnSaveAs()
{
    std::string path = AskNotesFileName(m_hWnd, true, m_notes.GetFileName());
    if (path.empty())
        return false;
    m_notes.SetFileName(path);
    if (!ShorterSaveAllowed(path))
        return false;
    WriteNotesFile(path);
    return true;
}

bool CStickyNoteDlg::ChangesElsewhereSettled(const std::string& path)
{
    struct Settling {
        bool& bSettling;
        ~Settling() { bSettling = false; }
    } settling{m_bSettling = true};
    // Round again while the file changes under the question: only the
    // version the user answered for is written over.
    for (FileChange change = m_notes.CheckFile(); change.bChanged; change = m_notes.CheckFile()) {
        if (!ChangeSettledByUser(path, change))
            return false;
        // A file that could not be read at all cannot be told apart from itself.
        if (!change.nDigest || !m_notes.ChangedSince(change))
            return true;
    }
    return true;
}

bool CStickyNoteDlg::ChangeSettledByUser(const std::string& path, const FileChange& change)
{
    std::string text = "\"" + path + "\" was changed on another computer or by another program since Driftpad "
                       "opened or saved it";
    if (!change.bReadable)
        text += ", and it cannot be read as a notes file now: it is damaged, or another program is using it.\r\r"
                "Replace it with the notes on screen?";
    else
        text += ".\r\rYes: bring in what was added, changed or deleted there, keep what was changed here, then save. "
                "A note changed on both computers is kept in both versions.\rNo: replace it with the notes on screen.\r"
                "Cancel: do not save.";
    const UINT nButtons = change.bReadable ? MB_YESNOCANCEL : MB_YESNO | MB_DEFBUTTON2;
    ChangedFileFacts facts{true, change.bReadable};
    facts.answer = AnswerOf(AppMessageBox(m_hWnd, text.c_str(), nButtons | MB_ICONEXCLAMATION, "Driftpad: Save"));
    switch (ChangedFileStepFor(facts)) {
    case ChangedFileStep::replace: return true;
    case ChangedFileStep::leave: return false;
    case ChangedFileStep::merge: break;
    }
    const size_t nNoRoom = m_notes.Merge(change);
    facts.bNoRoom = nNoRoom != 0;
    if (ChangedFileStepFor(facts) == ChangedFileStep::merge)
        return true;
    text = std::to_string(nNoRoom) + " of the new notes in \"" + path + "\" could not be shown: Windows has no "
           "room for more windows.\r\rThe file was not saved, so that they are not lost.";
    AppMessageBox(m_hWnd, text.c_str(), MB_OK | MB_ICONSTOP);
    return false;
}

void CStickyNoteDlg::OnDropFiles(HDROP hDrop)
{
    // The whole path of the first file, however long; the others are ignored.
    UINT length = DragQueryFileA(hDrop, 0, nullptr, 0);
    std::vector<char> path(length + 1);
    UINT got = DragQueryFileA(hDrop, 0, path.data(), length + 1);
    DragFinish(hDrop);
    if (got)
        OpenNotesFile(std::string(path.data(), got));
}

void CStickyNoteDlg::OnFolderChanged(WPARAM nHow)
{
    // A folder renamed or removed: watched again if it can be, else at the
    // next file name; meanwhile the file is looked at once more.
    if (nHow == CFolderWatch::kLost)
        m_watch.Watch(m_hWnd, std::string());
    SetTimer(m_hWnd, kArrivalTimer, kQuietMs, nullptr);  // each change starts the wait again
}

bool CStickyNoteDlg::OnArrivalTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kArrivalTimer)
        return false;
    KillTimer(m_hWnd, kArrivalTimer);
    m_watch.Watch(m_hWnd, m_notes.GetFileName());
    if (m_bSettling || m_notes.Adding()) {
        SetTimer(m_hWnd, kArrivalTimer, kQuietMs, nullptr);
        return true;
    }
    // A file not read or shown whole waits for Save and its questions; one
    // cut short or damaged (a sync client midway) for its next write.
    if (SaveAsksFirst(m_notes.NotesLeftOutOf(m_notes.GetFileName())))
        return true;
    const FileChange change = m_notes.CheckFile();
    if (change.bChanged && change.bReadable)
        m_notes.Merge(change);
    return true;
}

void CStickyNoteDlg::OnEndSession(BOOL bEnding)
{
    if (!bEnding)
        return;
    // The copy first: the autosave may ask for a name that nobody gives.
    m_recovery.OnEndSession();
    if (!m_app.GetPreferences().bSaveOnShutdown)
        return;
    // Windows waits for the save, and says why.
    const BOOL bBlocked = ShutdownBlockReasonCreate(m_hWnd, L"Saving notes");
    OnSave(true);
    if (bBlocked)
        ShutdownBlockReasonDestroy(m_hWnd);
}
