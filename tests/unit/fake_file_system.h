#pragma once
// A file system for tests of saving: files in a map, the steps taken in a
// log, one step made to fail or to wait on request, and a disk that can run
// out of room.
#include "storage/exceptions.h"
#include "storage/file_system.h"
#include "storage/memory_file.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class CFakeFileSystem : public IFileSystem {
public:
    std::map<std::string, std::vector<uint8_t>> m_files;
    std::vector<std::string> m_steps;
    size_t m_nFailAtStep = 0;  // 1-based; 0: no step fails
    size_t m_nDiskRoom = SIZE_MAX;
    std::set<std::string> m_held;  // files another program holds: there, and not to be opened
    long m_nHalfReplace = 0;       // 1176: the replace ends with the old file gone; 1177: renamed aside
    std::function<void()> m_onStep;  // called at each step, on the thread that takes it

    void Step(const char* pszStep, int nCause)
    {
        if (m_onStep)
            m_onStep();
        m_steps.push_back(pszStep);
        if (m_steps.size() == m_nFailAtStep)
            throw CFileException(nCause, 0);
    }

    // Each write lands in m_files at once, so bytes written too late show too.
    struct CFakeFile : CMemFile {
        CFakeFile(CFakeFileSystem& fs, std::string strName) : m_fs(fs), m_strName(std::move(strName)) {}
        void Write(const void* pBuf, uint32_t nCount) override
        {
            m_fs.Step("write", CFileException::hardIO);
            size_t nRoom = m_fs.m_nDiskRoom - std::min(m_fs.m_nDiskRoom, Data().size());
            CMemFile::Write(pBuf, static_cast<uint32_t>(std::min<size_t>(nCount, nRoom)));
            m_fs.m_files[m_strName] = Data();
            if (nCount > nRoom)
                throw CFileException(CFileException::diskFull, 112);
        }
        void Flush() override { m_fs.Step("flush", CFileException::hardIO); }
        void Close() override { m_fs.Step("close", CFileException::hardIO); }
        CFakeFileSystem& m_fs;
        std::string m_strName;
    };

    std::unique_ptr<CFile> CreateTempFile(const std::string& strFolder, std::string& strTempPath) override
    {
        Step("create", CFileException::accessDenied);
        strTempPath = strFolder + "~dp" + std::to_string(m_files.size()) + ".tmp";
        m_files[strTempPath];
        return std::make_unique<CFakeFile>(*this, strTempPath);
    }
    std::unique_ptr<CFile> OpenForReading(const std::string& strPath) override
    {
        if (m_held.count(strPath))
            throw CFileException(CFileException::sharingViolation, 32);
        return m_files.count(strPath) ? std::make_unique<CMemFile>(m_files[strPath]) : nullptr;
    }
    void Replace(const std::string& strFrom, const std::string& strTo) override
    {
        if (m_nHalfReplace && m_files.count(strTo)) {
            if (m_nHalfReplace == 1177)
                m_files[strTo + ".aside"] = m_files[strTo];
            m_files.erase(strTo);
            throw CFileException(CFileException::genericException, m_nHalfReplace);
        }
        Step("replace", CFileException::sharingViolation);
        m_files[strTo] = m_files.at(strFrom);
        m_files.erase(strFrom);
    }
    void Move(const std::string& strFrom, const std::string& strTo) override
    {
        Step("move", CFileException::accessDenied);
        m_files[strTo] = m_files.at(strFrom);
        m_files.erase(strFrom);
    }
    bool Exists(const std::string& strPath) noexcept override { return m_files.count(strPath) > 0; }
    void MakeFolder(const std::string&) override { Step("folder", CFileException::accessDenied); }
    void Remove(const std::string& strPath) noexcept override { m_files.erase(strPath); }
};
