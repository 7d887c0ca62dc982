#include "storage/notes_file.h"

#include "storage/digest.h"
#include "storage/exceptions.h"
#include "storage/notes_merge.h"

namespace {

// Passes everything on to the file, digesting the bytes written.
class CDigestingFile : public CFile {
public:
    explicit CDigestingFile(CFile& file) : m_file(file) {}
    uint32_t Read(void* pBuf, uint32_t nCount) override { return m_file.Read(pBuf, nCount); }
    void Write(const void* pBuf, uint32_t nCount) override
    {
        m_file.Write(pBuf, nCount);
        m_nDigest = DigestBytes(pBuf, nCount, m_nDigest);
    }
    void Seek(int64_t nOffset) override { m_file.Seek(nOffset); }
    uint64_t GetRemaining() override { return m_file.GetRemaining(); }
    void Flush() override { m_file.Flush(); }
    void Close() override { m_file.Close(); }
    uint64_t Digest() const { return m_nDigest; }

private:
    CFile& m_file;
    uint64_t m_nDigest = kDigestStart;
};

}  // namespace

std::string FolderOf(const std::string& strPath)
{
    size_t nLast = strPath.find_last_of("\\/:");
    return nLast == std::string::npos ? std::string() : strPath.substr(0, nLast + 1);
}

void SaveFileSafely(IFileSystem& fs, const std::string& strPath, const std::function<void(CFile&)>& write)
{
    std::string strTempPath;
    std::unique_ptr<CFile> pFile;
    auto discard = [&] {
        pFile.reset();  // a file must be let go before it can be removed
        if (!strTempPath.empty())
            fs.Remove(strTempPath);
    };
    try {
        pFile = fs.CreateTempFile(FolderOf(strPath), strTempPath);
        write(*pFile);
        pFile->Flush();
        pFile->Close();
        pFile.reset();
        const bool bHadOld = fs.Exists(strPath);
        try {
            fs.Replace(strTempPath, strPath);
        } catch (CException& e) {
            if (!bHadOld || fs.Exists(strPath))
                throw;
            // Stopped half-way: the old file is gone or moved aside, and the
            // new one is the only copy of the notes. Never removed.
            try {
                fs.Move(strTempPath, strPath);
                return;
            } catch (const std::exception&) {
            }
            e.m_strKeptAs = strTempPath;
            strTempPath.clear();
            throw;
        }
    } catch (CException& e) {
        discard();
        e.m_strFileName = strPath;
        throw;
    } catch (...) {
        discard();
        throw;
    }
}

uint64_t SaveNotesFile(IFileSystem& fs, const std::string& strPath, int32_t nShowHiddenMode,
                       const std::vector<NoteEntry>& notes)
{
    if (notes.size() > kMaxNotesInFile) {
        CTooManyNotesException e(notes.size());
        e.m_strFileName = strPath;
        throw e;
    }
    uint64_t nDigest = 0;
    SaveFileSafely(fs, strPath, [&](CFile& file) {
        CDigestingFile digesting(file);
        CArchive ar(digesting, CArchive::store);
        WriteNotes(ar, nShowHiddenMode, notes);
        ar.Close();
        nDigest = digesting.Digest();
    });
    return nDigest;
}

std::unique_ptr<CFile> OpenNotesFile(IFileSystem& fs, const std::string& strPath)
{
    std::unique_ptr<CFile> pFile = fs.OpenForReading(strPath);
    if (pFile && pFile->GetRemaining() > kMaxNotesFileBytes)
        throw CArchiveException(CArchiveException::genericException);
    return pFile;
}

LoadOutcome LoadNotesFile(IFileSystem& fs, const std::string& strPath, INotesSink& sink, std::optional<uint64_t>* pDigest)
{
    try {
        std::unique_ptr<CFile> pFile = OpenNotesFile(fs, strPath);
        if (!pFile)
            return LoadOutcome::missing;
        if (pDigest)
            *pDigest = DigestRest(*pFile);
        CArchive ar(*pFile, CArchive::load);
        ReadNotes(ar, sink);
        const bool bWhole = EndsAfterNotes(ar);
        ar.Close();
        pFile->Close();
        return bWhole ? LoadOutcome::whole : LoadOutcome::notWhole;
    } catch (CException& e) {
        e.m_strFileName = strPath;
        throw;
    }
}
