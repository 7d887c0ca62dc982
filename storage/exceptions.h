#pragma once
// Failures raised while a notes file is read or written. They travel out of
// the archive to the window-message dispatch, which reports them once.
#include <cstddef>
#include <exception>
#include <string>

class CException : public std::exception {
public:
    const char* what() const noexcept override { return "Driftpad failure"; }
    // File the failure concerns; filled in by whoever knows it.
    std::string m_strFileName;
    // A save that stopped half-way, with the old file gone: where the notes
    // written are kept instead.
    std::string m_strKeptAs;
};

class CArchiveException : public CException {
public:
    enum { none = 0, genericException = 1, readOnly = 2, endOfFile = 3,
           writeOnly = 4, badIndex = 5, badClass = 6, badSchema = 7 };
    explicit CArchiveException(int cause) : m_cause(cause) {}
    int m_cause;
};

class CFileException : public CException {
public:
    enum { none = 0, genericException = 1, fileNotFound = 2, badPath = 3,
           tooManyOpenFiles = 4, accessDenied = 5, invalidFile = 6,
           removeCurrentDir = 7, directoryFull = 8, badSeek = 9,
           hardIO = 10, sharingViolation = 11, lockViolation = 12,
           diskFull = 13, endOfFile = 14 };
    CFileException(int cause, long osError) : m_cause(cause), m_lOsError(osError) {}
    int m_cause;
    long m_lOsError;
};

class CMemoryException : public CException {};

// A save refused because the notes file counts its notes in 16 bits.
class CTooManyNotesException : public CException {
public:
    explicit CTooManyNotesException(size_t count) : m_nCount(count) {}
    size_t m_nCount;
};
