#include "recovery/recovery_writer.h"

#include "storage/failure_text.h"

CRecoveryWriter::CRecoveryWriter(CRecoveryFiles& files, FailureFn onFirstFailure)
    : m_files(files), m_onFirstFailure(std::move(onFirstFailure)), m_thread([this] { Run(); })
{
}

CRecoveryWriter::~CRecoveryWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void CRecoveryWriter::Write(RecoverySnapshot snapshot)
{
    Post(std::move(snapshot));
}

void CRecoveryWriter::Remove()
{
    Post(std::nullopt);
}

void CRecoveryWriter::Post(std::optional<RecoverySnapshot> job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_job = std::move(job);
        m_bJobWaiting = true;
    }
    m_changed.notify_all();
}

void CRecoveryWriter::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_bJobWaiting && !m_bBusy; });
}

void CRecoveryWriter::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_bJobWaiting || m_bStop; });
        if (!m_bJobWaiting)
            return;  // stopping, with nothing left to do
        std::optional<RecoverySnapshot> job = std::move(m_job);
        m_bJobWaiting = false;
        m_bBusy = true;
        lock.unlock();
        std::string strWhy;
        try {
            if (job)
                m_files.Write(*job);
            else
                m_files.Remove();
        } catch (const std::exception& failure) {
            strWhy = DescribeFailure(failure).strText;
        }
        lock.lock();
        m_bBusy = false;
        bool bTell = !strWhy.empty() && !m_bFailureTold;
        m_bFailureTold = m_bFailureTold || bTell;
        if (bTell && m_onFirstFailure) {
            lock.unlock();
            m_onFirstFailure(strWhy);
            lock.lock();
        }
        m_changed.notify_all();
    }
}
