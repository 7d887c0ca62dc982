// The words a failed notes-file step shows: each failure kind says what
// happened and whether the file on disk is untouched, naming the file.
#include "storage/exceptions.h"
#include "storage/failure_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>

namespace {

template <typename E>
std::unique_ptr<std::exception> Named(E e, const char* name)
{
    e.m_strFileName = name;
    return std::make_unique<E>(e);
}

}  // namespace

TEST(FailureText, EachKindOfFailureHasItsOwnWords)
{
    const std::string kLeft = ".\r\nThe file on disk was left as it was.";
    const std::string kBusy = " could not be written: access was denied or another program is using it" + kLeft;
    const std::string kMemory = "Out of memory: the operation could not be completed.";
    const struct { std::unique_ptr<std::exception> failure; std::string expected; bool bOutOfMemory; } rows[] = {
        {Named(CArchiveException(CArchiveException::endOfFile), "C:\\a.dpd"),
         "\"C:\\a.dpd\" ends too early: it is damaged or is not a notes file.\r\n"
         "The notes read before the damage are kept.", false},
        {Named(CArchiveException(CArchiveException::genericException), ""),
         "The notes file is damaged or is not a notes file.\r\nThe notes read before the damage are kept.", false},
        {Named(CArchiveException(CArchiveException::badSchema), "b.dpd"),
         "\"b.dpd\" is damaged or is not a notes file.\r\nThe notes read before the damage are kept.", false},
        {Named(CTooManyNotesException(65536), "n.dpd"),
         "\"n.dpd\" was not saved: a notes file holds at most 65,535 notes, and there are 65536" + kLeft, false},
        {Named(CFileException(CFileException::diskFull, 112), "d.dpd"), "\"d.dpd\" could not be saved: the disk is full" + kLeft, false},
        {Named(CFileException(CFileException::sharingViolation, 32), "s.dpd"), "\"s.dpd\"" + kBusy, false},
        {Named(CFileException(CFileException::accessDenied, 5), "r.dpd"), "\"r.dpd\"" + kBusy, false},
        {Named(CFileException(CFileException::badPath, 3), "x\\y.dpd"),
         "\"x\\y.dpd\" could not be read or written (system error 3).\r\n"
         "A file on disk that could not be written was left as it was.", false},
        {std::make_unique<CMemoryException>(), kMemory, true},
        {std::make_unique<std::bad_alloc>(), kMemory, true},
        {std::make_unique<std::runtime_error>("boom"), "The operation failed: boom", false},
    };
    for (const auto& row : rows) {
        FailureMessage message = DescribeFailure(*row.failure);
        EXPECT_EQ(message.strText, row.expected);
        EXPECT_EQ(message.bOutOfMemory, row.bOutOfMemory) << row.expected;
    }
}
