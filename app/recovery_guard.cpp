#include "app/recovery_guard.h"

#include "app/messages.h"
#include "app/note_collection.h"
#include "base/failure_report.h"
#include "base/message_box.h"
#include "notes/note_messages.h"
#include "storage/file_win.h"

#include <shlobj.h>

namespace {

constexpr UINT_PTR kRecoveryTimer = 11;
// About two seconds after the change that armed the timer: later changes
// ride along, so the copy is never more than that behind.
constexpr UINT kRecoveryDelayMs = 2000;

// %LOCALAPPDATA%\Vantry\Driftpad\ as the environment says, else as the shell does; "" when neither knows.
std::string RecoveryFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        path[0] = '\0';
        if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
            return std::string();
    }
    std::string folder = path;
    if (folder.empty())
        return folder;
    if (folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder + "Vantry\\Driftpad\\";
}

}  // namespace

CRecoveryGuard::CRecoveryGuard(CNoteCollection& notes) : m_notes(notes)
{
    std::string folder = RecoveryFolder();
    if (folder.empty())
        return;  // nowhere to keep a copy: the notes are as safe as their saves
    m_files = std::make_unique<CRecoveryFiles>(m_fs, folder);
    m_writer = std::make_unique<CRecoveryWriter>(*m_files, [this](const std::string& why) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_strFailure = why;
        }
        PostMessageA(m_hWnd, WM_RECOVERYFAILED, 0, 0);
    });
}

CRecoveryGuard::~CRecoveryGuard() = default;

bool CRecoveryGuard::OfferAtStart(const std::string& strCommandLineFile)
{
    if (!m_files)
        return true;
    FoundRecovery found;
    try {
        found = m_files->Read();
        switch (OfferFor(found)) {
        case RecoveryOffer::none:
            return true;
        case RecoveryOffer::drop:
            m_files->Remove();
            return true;
        case RecoveryOffer::keepAside:
            m_files->KeepAsPrevious();
            return true;
        case RecoveryOffer::ask:
            break;
        }
        // Notes that were saved after all (a start that changed nothing,
        // ended by a kill or a sign-out) are no reason to ask.
        if (!found.bDamaged && CopyIsSaved(m_fs, found.copy)) {
            m_files->Remove();
            return true;
        }
        if (AppMessageBox(nullptr, "Driftpad ended while notes were not saved.\r\rRestore them?",
                          MB_YESNO | MB_ICONQUESTION, "Driftpad: Restore") != IDYES) {
            // Kept once, so that a wrong answer can still be undone by opening it.
            m_files->KeepAsPrevious();
            return true;
        }
    } catch (const std::exception& failure) {
        ReportFailure(m_hWnd, failure);
        return true;
    }
    return Restore(found, strCommandLineFile);
}

bool CRecoveryGuard::Restore(const FoundRecovery& found, const std::string& strCommandLineFile)
{
    const size_t nShown = m_notes.Restore(found.copy);  // short: Windows has no room for more windows
    OnChange(true);  // restored notes are unsaved until the user saves them
    const size_t nNotShown = found.copy.notes.size() - nShown;
    if (found.bDamaged || nNotShown) {
        // The whole copy is kept before the next write replaces it with
        // the notes shown, and the user is told where.
        std::string text = found.bDamaged ? "The recovery copy of the unsaved notes is damaged: only the notes before "
                                            "the damage were restored."
                                          : std::to_string(nNotShown) + " of the " + std::to_string(found.copy.notes.size())
                                                + " unsaved notes could not be restored: Windows has no room for more windows.";
        try {
            m_files->KeepAsPrevious();
            text += "\r\rThe whole copy is kept as \"" + m_files->PreviousPath() + "\".";
        } catch (const std::exception&) {
        }
        AppMessageBox(nullptr, text.c_str(), MB_OK | MB_ICONSTOP);
    }
    // The command line's file still opens, unless it is the restored one (or none is named).
    return !strCommandLineFile.empty() && !SameFile(strCommandLineFile, found.copy.strFileName);
}

void CRecoveryGuard::OnChange(bool bByUser)
{
    if (m_files && m_rules.OnChange(bByUser))
        SetTimer(m_hWnd, kRecoveryTimer, kRecoveryDelayMs, nullptr);
}

bool CRecoveryGuard::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kRecoveryTimer)
        return false;
    KillTimer(m_hWnd, kRecoveryTimer);  // armed again only by a change
    TakeStep(m_rules.OnTimer(m_notes.Empty()));
    return true;
}

void CRecoveryGuard::Discard()
{
    if (!m_files)
        return;
    KillTimer(m_hWnd, kRecoveryTimer);
    m_rules.OnSaved();
    m_writer->Remove();
    // Gone before the save is reported done: a kill right after it finds no copy.
    m_writer->WaitIdle();
}

void CRecoveryGuard::OnEndSession()
{
    if (!m_files)
        return;
    TakeStep(m_rules.OnEndSession(m_notes.Empty()));
    m_writer->WaitIdle();
}

void CRecoveryGuard::KeepAtEndSession()
{
    OnChange(true);
    OnEndSession();
}

void CRecoveryGuard::TakeStep(CRecoveryRules::Step step)
{
    switch (step) {
    case CRecoveryRules::Step::write:
        m_writer->Write(Snapshot());
        break;
    case CRecoveryRules::Step::remove:
        m_writer->Remove();
        break;
    case CRecoveryRules::Step::none:
        break;
    }
}

RecoverySnapshot CRecoveryGuard::Snapshot() const
{
    RecoverySnapshot snapshot;
    snapshot.nShowHiddenMode = m_notes.GetShowHidden();
    snapshot.notes = m_notes.TypedEntries();
    snapshot.strFileName = m_notes.GetFileName().empty() ? std::string() : FullPath(m_notes.GetFileName());
    snapshot.baseline = m_notes.Baseline();
    snapshot.shortFile = m_notes.NotesLeftOutOf(m_notes.GetFileName());
    return snapshot;
}

void CRecoveryGuard::OnWriteFailed()
{
    std::string why;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        why = m_strFailure;
    }
    std::string text = "Unsaved notes cannot be protected against a crash or a power cut: the recovery copy "
                       "cannot be written.\r\r" + why;
    AppMessageBox(m_hWnd, text.c_str(), MB_OK | MB_ICONSTOP);
}
