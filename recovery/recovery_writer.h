#pragma once
// The one worker that writes or removes the recovery copy, off the user
// interface's thread.
#include "recovery/recovery_files.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

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
