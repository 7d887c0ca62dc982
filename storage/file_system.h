#pragma once
#include "storage/file.h"

#include <memory>
#include <string>

// The few file-system operations a save and a load need.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // Creates a new, empty, uniquely named file in strFolder ("" = the
    // current folder), open for writing; raises CFileException on failure.
    virtual std::unique_ptr<CFile> CreateTempFile(const std::string& strFolder,
                                                  std::string& strTempPath) = 0;
    // Opens an existing file for reading, sharing it with other readers
    // only; nullptr when there is no such file. Any other failure (a file
    // that another program holds, no access) is raised as CFileException:
    // such a file is there, and must not be taken for gone.
    virtual std::unique_ptr<CFile> OpenForReading(const std::string& strPath) = 0;
    // Puts strFrom in the place of strTo (which may or may not exist) in one
    // step; raises CFileException on failure. Windows can stop half-way,
    // with strTo gone or moved aside: Exists then tells.
    virtual void Replace(const std::string& strFrom, const std::string& strTo) = 0;
    // A plain rename over whatever is at strTo; raises CFileException.
    virtual void Move(const std::string& strFrom, const std::string& strTo) = 0;
    virtual bool Exists(const std::string& strPath) noexcept = 0;
    // Makes a folder and the missing ones above it; raises CFileException
    // when it is still missing afterwards.
    virtual void MakeFolder(const std::string& strFolder) = 0;
    // Best effort: used to clean up after a failure and to drop a file
    // whose content is no longer wanted.
    virtual void Remove(const std::string& strPath) noexcept = 0;
};
