#include "storage/notes_file.h"

#include "storage/exceptions.h"

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
        fs.Replace(strTempPath, strPath);
    } catch (CException& e) {
        discard();
        e.m_strFileName = strPath;
        throw;
    } catch (...) {
        discard();
        throw;
    }
}

void SaveNotesFile(IFileSystem& fs, const std::string& strPath, int32_t nShowHiddenMode,
                   const std::vector<NoteEntry>& notes)
{
    if (notes.size() > kMaxNotesInFile) {
        CTooManyNotesException e(notes.size());
        e.m_strFileName = strPath;
        throw e;
    }
    SaveFileSafely(fs, strPath, [&](CFile& file) {
        CArchive ar(file, CArchive::store);
        WriteNotes(ar, nShowHiddenMode, notes);
        ar.Close();
    });
}

bool LoadNotesFile(IFileSystem& fs, const std::string& strPath, INotesSink& sink)
{
    std::unique_ptr<CFile> pFile = fs.OpenForReading(strPath);
    if (!pFile)
        return false;
    try {
        CArchive ar(*pFile, CArchive::load);
        ReadNotes(ar, sink);
        ar.Close();
        pFile->Close();
    } catch (CException& e) {
        e.m_strFileName = strPath;
        throw;
    }
    return true;
}
