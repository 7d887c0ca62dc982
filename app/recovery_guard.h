#pragma once
// The recovery copy on the controller: its timer, the snapshot of the
// notes, the offer at start-up, and the one report of a copy that cannot
// be written.
#include "recovery/recovery_rules.h"
#include "recovery/recovery_writer.h"
#include "storage/file_win.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

class CNoteCollection;

class CRecoveryGuard {
public:
    // Keeps the copy of this collection in %LOCALAPPDATA%\Vantry\Driftpad.
    explicit CRecoveryGuard(CNoteCollection& notes);
    ~CRecoveryGuard();
    CRecoveryGuard(const CRecoveryGuard&) = delete;
    CRecoveryGuard& operator=(const CRecoveryGuard&) = delete;

    // The timer and the failure report go to this window.
    void SetWindow(HWND hWnd) { m_hWnd = hWnd; }

    // A normal start, before the command line's file opens: offers a copy
    // left behind. False when that file is not to be opened (it is the
    // restored notes' own, or none was named after a restore).
    bool OfferAtStart(const std::string& strCommandLineFile);

    // The collection changed, by the user or by a file read.
    void OnChange(bool bByUser);
    // WM_TIMER; true when it was the recovery timer.
    bool OnTimer(UINT_PTR nIDEvent);
    // The session ends: the copy is written now, whatever the autosave does.
    void OnEndSession();
    // The session ends with the notes not written to their file (it was
    // left alone): the copy keeps them, unsaved or not, for the next start.
    void KeepAtEndSession();
    // Nothing left to recover: the collection was written to its file, or
    // the user let the notes go at Quit. The copy is gone on return.
    void Discard();
    // The message that the worker posts on the first failure.
    void OnWriteFailed();

private:
    // Hands the rules' step to the worker: a write of the notes as they are now, or a removal.
    void TakeStep(CRecoveryRules::Step step);
    RecoverySnapshot Snapshot() const;

    // Restores a copy the user wants back; false when the command line's
    // file is not to be opened after it.
    bool Restore(const FoundRecovery& found, const std::string& strCommandLineFile);

    // The order matters: members are destroyed last to first, and the
    // worker, which writes through the files and the file system and tells
    // its failure under the mutex, must end before any of them.
    CNoteCollection& m_notes;
    HWND m_hWnd = nullptr;
    CWinFileSystem m_fs;
    std::mutex m_mutex;
    std::string m_strFailure;  // from the worker, for the report
    std::unique_ptr<CRecoveryFiles> m_files;    // null: no folder for a copy
    std::unique_ptr<CRecoveryWriter> m_writer;
    CRecoveryRules m_rules;
};
