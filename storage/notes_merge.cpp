#include "storage/notes_merge.h"

#include "storage/digest.h"
#include "storage/notes_file.h"

namespace {

constexpr uint32_t kBaselineMark = 0x31425044;       // "DPB1": an older copy's
constexpr uint32_t kBaselineShortMark = 0x32425044;  // "DPB2": with the mode and the short file

constexpr uint32_t kNoMark = 0;             // the file ended there
constexpr uint32_t kCutMark = 0xFFFFFFFF;   // it ended inside the mark

uint32_t ReadMark(CArchive& ar)
{
    uint8_t mark[4];
    switch (ar.ReadBlock(mark, sizeof mark)) {
    case 0: return kNoMark;
    case sizeof mark: return uint32_t{mark[0]} | uint32_t{mark[1]} << 8 | uint32_t{mark[2]} << 16 | uint32_t{mark[3]} << 24;
    default: return kCutMark;
    }
}

// The block after the mark; null when it is damaged.
std::shared_ptr<const NotesBaseline> ReadBaselineBody(CArchive& ar, uint32_t dwMark, ShortFile* pShortFile)
{
    try {
        uint32_t dwPresent, dwLow, dwHigh;
        ar.ReadDword(dwPresent);
        ar.ReadDword(dwLow);
        ar.ReadDword(dwHigh);
        ShortFile shortFile;
        auto baseline = std::make_shared<NotesBaseline>();
        if (dwMark == kBaselineShortMark) {
            uint32_t dwHeld, dwShown, dwNotWhole;
            ar.ReadDword(baseline->nMode);
            ar.ReadDword(dwHeld);
            ar.ReadDword(dwShown);
            ar.ReadDword(dwNotWhole);
            shortFile = {dwHeld, dwShown, dwNotWhole != 0};
        }
        NotesRead read;
        ReadNotes(ar, read);
        if (dwPresent)
            baseline->nDigest = uint64_t{dwHigh} << 32 | dwLow;
        baseline->notes = std::move(read.notes);
        if (pShortFile)
            *pShortFile = shortFile;
        return baseline;
    } catch (const std::exception&) {
        return nullptr;  // nothing known of the file: any file there counts as changed
    }
}

}  // namespace

FileChange CheckNotesFile(IFileSystem& fs, const std::string& strPath, const NotesBaseline& baseline)
{
    FileChange change;
    try {
        // Opened once, shared with readers only: nobody changes it between the digest and the read.
        std::unique_ptr<CFile> pFile = OpenNotesFile(fs, strPath);
        if (!pFile)
            return change;
        change.nDigest = DigestRest(*pFile);
        if (baseline.nDigest == change.nDigest)
            return change;
        change.bChanged = true;
        NotesRead read;
        CArchive ar(*pFile, CArchive::load);
        ReadNotes(ar, read);
        change.bReadable = EndsAfterNotes(ar);
        change.notes = std::move(read.notes);
        change.nMode = read.nMode.value_or(0);
    } catch (const std::exception&) {
        // Held by another program, damaged or cut short: there, and not a file to merge with.
        change.bChanged = true;
    }
    if (!change.bReadable)
        change.notes.clear();
    return change;
}

void WriteBaseline(CArchive& ar, const NotesBaseline& baseline, const ShortFile& shortFile)
{
    ar.WriteDword(kBaselineShortMark);
    ar.WriteDword(baseline.nDigest.has_value());
    uint64_t nDigest = baseline.nDigest.value_or(0);
    ar.WriteDword(static_cast<uint32_t>(nDigest));
    ar.WriteDword(static_cast<uint32_t>(nDigest >> 32));
    ar.WriteDword(static_cast<uint32_t>(baseline.nMode));
    ar.WriteDword(static_cast<uint32_t>(shortFile.nHeld));
    ar.WriteDword(static_cast<uint32_t>(shortFile.nShown));
    ar.WriteDword(shortFile.bNotReadWhole);
    WriteNotes(ar, baseline.nMode, baseline.notes);
}

std::shared_ptr<const NotesBaseline> ReadBaseline(CArchive& ar, ShortFile* pShortFile)
{
    const uint32_t dwMark = ReadMark(ar);
    if (dwMark != kBaselineMark && dwMark != kBaselineShortMark)
        return nullptr;
    return ReadBaselineBody(ar, dwMark, pShortFile);
}

bool EndsAfterNotes(CArchive& ar)
{
    uint8_t byte;
    switch (const uint32_t dwMark = ReadMark(ar)) {
    case kNoMark:
        return true;
    case kBaselineMark:
    case kBaselineShortMark:
        return ReadBaselineBody(ar, dwMark, nullptr) && ar.ReadBlock(&byte, 1) == 0;
    default:
        return false;
    }
}
