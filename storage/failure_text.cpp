#include "storage/failure_text.h"

#include "storage/exceptions.h"

#include <new>

namespace {

// The file by its name when the failure knows it.
std::string Named(const CException& e, const std::string& what)
{
    std::string text = e.m_strFileName.empty() ? std::string("The notes file") : "\"" + e.m_strFileName + "\"";
    return text + what;
}

std::string FileFailureText(const CFileException& e)
{
    switch (e.m_cause) {
    case CFileException::diskFull:
        return Named(e, " could not be saved: the disk is full.\r\nThe file on disk was left as it was.");
    case CFileException::accessDenied:
    case CFileException::sharingViolation:
    case CFileException::lockViolation:
        return Named(e, " could not be read or written: access was denied or another program is using it.\r\n"
                        "The file on disk was left as it was.");
    default:
        return Named(e, " could not be read or written (system error " + std::to_string(e.m_lOsError)
                            + ").\r\nA file on disk that could not be written was left as it was.");
    }
}

}  // namespace

FailureMessage DescribeFailure(const std::exception& failure)
{
    if (dynamic_cast<const CMemoryException*>(&failure) || dynamic_cast<const std::bad_alloc*>(&failure))
        return {"Out of memory: the operation could not be completed.", true};
    if (auto* e = dynamic_cast<const CException*>(&failure); e && !e->m_strKeptAs.empty())
        return {Named(*e, " could not be replaced: Windows stopped half-way, and the old file is gone or renamed.\r\n"
                          "The notes were written to \"" + e->m_strKeptAs + "\": rename it to keep them.")};
    if (auto* e = dynamic_cast<const CArchiveException*>(&failure)) {
        if (e->m_cause == CArchiveException::endOfFile)
            return {Named(*e, " ends too early: it is damaged or is not a notes file.\r\n"
                              "The notes read before the damage are kept.")};
        return {Named(*e, " is damaged or is not a notes file.\r\nThe notes read before the damage are kept.")};
    }
    if (auto* e = dynamic_cast<const CTooManyNotesException*>(&failure))
        return {Named(*e, " was not saved: a notes file holds at most 65,535 notes, and there are "
                              + std::to_string(e->m_nCount) + ".\r\nThe file on disk was left as it was.")};
    if (auto* e = dynamic_cast<const CFileException*>(&failure))
        return {FileFailureText(*e)};
    if (auto* e = dynamic_cast<const CException*>(&failure))
        return {Named(*e, ": the operation failed.")};
    return {std::string("The operation failed: ") + failure.what()};
}
