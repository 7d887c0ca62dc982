#pragma once
// The recovery copy: the whole collection in a notes file of its own, kept
// while notes are unsaved, so that a crash, a kill or a power cut loses
// nothing typed. The files, the one worker that writes them, and when they
// are written, offered and dropped; nothing here knows a window.
#include "storage/file_system.h"
#include "storage/notes_layout.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// What the copy keeps: the collection and the name of its notes file.
struct RecoverySnapshot {
    int32_t nShowHiddenMode = 0;
    std::vector<NoteEntry> notes;
    std::string strFileName;
};

// A copy found at start-up.
struct FoundRecovery {
    bool bPresent = false;
    bool bDamaged = false;  // it could not be read whole: notes holds what came before the damage
    RecoverySnapshot copy;
};

// Recovery.dpd, the current file's name beside it in Recovery.txt, and
// Recovery.previous.dpd, all in one folder.
class CRecoveryFiles {
public:
    // strFolder ends with a separator.
    CRecoveryFiles(IFileSystem& fs, std::string strFolder) : m_fs(fs), m_strFolder(std::move(strFolder)) {}

    std::string CopyPath() const { return m_strFolder + "Recovery.dpd"; }
    std::string NamePath() const { return m_strFolder + "Recovery.txt"; }
    std::string PreviousPath() const { return m_strFolder + "Recovery.previous.dpd"; }

    // The folder is made when missing; the copy, then its name (when it
    // changed), each by the save that never destroys the old file. A
    // failure is raised and leaves the files that were there whole.
    void Write(const RecoverySnapshot& snapshot);
    void Remove() noexcept;
    FoundRecovery Read();
    // The copy becomes Recovery.previous.dpd, replacing an older one.
    void KeepAsPrevious();

private:
    IFileSystem& m_fs;
    std::string m_strFolder;
    std::optional<std::string> m_strNameWritten;  // what Recovery.txt holds, when known
};

// One thread that writes or removes the copy, one job at a time: a job
// asked for while one runs waits, and replaces any job still waiting, so
// the last request always wins and no write is started twice.
class CRecoveryWriter {
public:
    // Told of the first failure of the run only, on the worker, in the
    // user's words.
    using FailureFn = std::function<void(const std::string& strWhy)>;
    CRecoveryWriter(CRecoveryFiles& files, FailureFn onFirstFailure);
    // Finishes the job at hand and any waiting one.
    ~CRecoveryWriter();
    CRecoveryWriter(const CRecoveryWriter&) = delete;
    CRecoveryWriter& operator=(const CRecoveryWriter&) = delete;

    void Write(RecoverySnapshot snapshot);
    void Remove();
    // Returns once nothing is running or waiting.
    void WaitIdle();

private:
    void Post(std::optional<RecoverySnapshot> job);
    void Run();

    CRecoveryFiles& m_files;
    FailureFn m_onFirstFailure;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bJobWaiting = false;
    bool m_bBusy = false;
    bool m_bStop = false;
    bool m_bFailureTold = false;
    std::optional<RecoverySnapshot> m_job;  // a write; none: a removal
    std::thread m_thread;
};

// When the copy is written and dropped. A change arms the one timer; when
// it goes off the copy is written, or dropped when no note is left; a save
// of the collection leaves nothing to recover.
class CRecoveryRules {
public:
    enum class Step { none, write, remove };

    // True when the timer is to be armed now (it is not running yet).
    bool OnChange();
    Step OnTimer(bool bEmpty);
    // Windows is ending the session: at once, with something unsaved.
    Step OnEndSession(bool bEmpty);
    // The collection was written to its file, or restored from a copy that
    // is current already.
    void OnSaved() { m_bUnsaved = m_bTimerArmed = false; }
    void OnRestored() { m_bUnsaved = true; }

private:
    Step Due(bool bEmpty) const;

    bool m_bUnsaved = false;
    bool m_bTimerArmed = false;
};

// What a start does with the copy it found before asking anything.
enum class RecoveryOffer {
    none,        // nothing there
    drop,        // an empty copy: nothing to recover
    keepAside,   // damaged with no note whole: kept as the previous copy, not offered
    ask,
};
RecoveryOffer OfferFor(const FoundRecovery& found);
// Whether the command line's file still opens after a restore that made
// strRestoredFile current (both full paths; Windows names ignore case).
bool OpenCommandLineFileAfterRestore(const std::string& strCommandLineFile, const std::string& strRestoredFile);
