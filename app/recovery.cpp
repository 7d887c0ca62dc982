#include "app/recovery.h"

#include "storage/archive.h"
#include "storage/exceptions.h"
#include "storage/failure_text.h"
#include "storage/notes_file.h"

#include <cctype>

namespace {

struct CollectingSink : INotesSink {
    explicit CollectingSink(RecoverySnapshot& copy) : m_copy(copy) {}
    void OnShowHiddenMode(int32_t nMode) override { m_copy.nShowHiddenMode = nMode; }
    void OnNote(const std::u16string& strText, const NoteRecord& record) override { m_copy.notes.push_back({strText, record}); }
    RecoverySnapshot& m_copy;
};

// A path is far shorter; a longer file is not ours.
constexpr uint32_t kMaxNameBytes = 32768;

}  // namespace

void CRecoveryFiles::Write(const RecoverySnapshot& snapshot)
{
    m_fs.MakeFolder(m_strFolder);
    SaveNotesFile(m_fs, CopyPath(), snapshot.nShowHiddenMode, snapshot.notes);
    // The copy first: should the name fail, a restore saves the notes into
    // the file named before, which loses nothing.
    if (m_strNameWritten == snapshot.strFileName)
        return;
    m_strNameWritten.reset();
    SaveFileSafely(m_fs, NamePath(), [&](CFile& file) {
        file.Write(snapshot.strFileName.data(), static_cast<uint32_t>(snapshot.strFileName.size()));
    });
    m_strNameWritten = snapshot.strFileName;
}

void CRecoveryFiles::Remove() noexcept
{
    m_fs.Remove(CopyPath());
    m_fs.Remove(NamePath());
    m_strNameWritten.reset();
}

FoundRecovery CRecoveryFiles::Read()
{
    FoundRecovery found;
    CollectingSink sink(found.copy);
    try {
        found.bPresent = LoadNotesFile(m_fs, CopyPath(), sink);
    } catch (const std::exception&) {
        found.bPresent = found.bDamaged = true;
    }
    if (std::unique_ptr<CFile> pName = m_fs.OpenForReading(NamePath())) {
        try {
            char buffer[4096];
            uint32_t nGot;
            while ((nGot = pName->Read(buffer, sizeof buffer)) > 0 && found.copy.strFileName.size() < kMaxNameBytes)
                found.copy.strFileName.append(buffer, nGot);
        } catch (const std::exception&) {
            found.copy.strFileName.clear();  // a cut name would point at another file
        }
        if (found.copy.strFileName.size() >= kMaxNameBytes)
            found.copy.strFileName.clear();
    }
    return found;
}

void CRecoveryFiles::KeepAsPrevious()
{
    m_fs.Replace(CopyPath(), PreviousPath());
    m_fs.Remove(NamePath());
    m_strNameWritten.reset();
}

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

bool CRecoveryRules::OnChange()
{
    m_bUnsaved = true;
    if (m_bTimerArmed)
        return false;
    m_bTimerArmed = true;
    return true;
}

CRecoveryRules::Step CRecoveryRules::OnTimer(bool bEmpty)
{
    m_bTimerArmed = false;
    return Due(bEmpty);
}

CRecoveryRules::Step CRecoveryRules::OnEndSession(bool bEmpty)
{
    return Due(bEmpty);
}

CRecoveryRules::Step CRecoveryRules::Due(bool bEmpty) const
{
    if (!m_bUnsaved)
        return Step::none;
    return bEmpty ? Step::remove : Step::write;
}

RecoveryOffer OfferFor(const FoundRecovery& found)
{
    if (!found.bPresent)
        return RecoveryOffer::none;
    if (!found.copy.notes.empty())
        return RecoveryOffer::ask;
    return found.bDamaged ? RecoveryOffer::keepAside : RecoveryOffer::drop;
}

bool OpenCommandLineFileAfterRestore(const std::string& strCommandLineFile, const std::string& strRestoredFile)
{
    // An empty command line would make the restored file's name current no more.
    if (strCommandLineFile.empty())
        return false;
    if (strCommandLineFile.size() != strRestoredFile.size())
        return true;
    for (size_t i = 0; i < strCommandLineFile.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(strCommandLineFile[i]))
            != std::tolower(static_cast<unsigned char>(strRestoredFile[i])))
            return true;
    }
    return false;
}
