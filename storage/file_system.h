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
    // Opens an existing file for reading, exclusively; nullptr if it cannot.
    virtual std::unique_ptr<CFile> OpenForReading(const std::string& strPath) = 0;
    // Puts strFrom in the place of strTo (which may or may not exist) in one
    // step; raises CFileException on failure, leaving strTo as it was.
    virtual void Replace(const std::string& strFrom, const std::string& strTo) = 0;
    // Makes a folder and the missing ones above it; raises CFileException
    // when it is still missing afterwards.
    virtual void MakeFolder(const std::string& strFolder) = 0;
    // Best effort: used to clean up after a failure and to drop a file
    // whose content is no longer wanted.
    virtual void Remove(const std::string& strPath) noexcept = 0;
};
