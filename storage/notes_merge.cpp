#include "storage/notes_merge.h"

#include <unordered_set>

namespace {

constexpr uint32_t kBaselineMark = 0x31425044;  // "DPB1"

struct EntryHash {
    size_t operator()(const NoteEntry& entry) const
    {
        uint64_t nDigest = DigestBytes(entry.strText.data(), entry.strText.size() * sizeof(char16_t));
        return static_cast<size_t>(DigestBytes(&entry.record, sizeof entry.record, nDigest));
    }
};

}  // namespace

uint64_t DigestBytes(const void* pData, size_t nBytes, uint64_t nDigest)
{
    for (auto p = static_cast<const uint8_t*>(pData); nBytes--; ++p)
        nDigest = (nDigest ^ *p) * 1099511628211ull;
    return nDigest;
}

uint64_t DigestRest(CFile& file)
{
    uint64_t nDigest = kDigestStart;
    int64_t nRead = 0;
    uint8_t buffer[16384];
    while (uint32_t nGot = file.Read(buffer, sizeof buffer)) {
        nDigest = DigestBytes(buffer, nGot, nDigest);
        nRead += nGot;
    }
    file.Seek(-nRead);
    return nDigest;
}

FileChange CheckNotesFile(IFileSystem& fs, const std::string& strPath, const NotesBaseline& baseline)
{
    FileChange change;
    // Opened once, without sharing: nobody changes it between the digest and the read.
    std::unique_ptr<CFile> pFile = fs.OpenForReading(strPath);
    if (!pFile || baseline.nDigest == DigestRest(*pFile))
        return change;
    change.bChanged = true;
    NotesRead read;
    try {
        CArchive ar(*pFile, CArchive::load);
        ReadNotes(ar, read);
        change.bReadable = true;
        change.notes = std::move(read.notes);
    } catch (const std::exception&) {
        // Damaged or cut short: not a file to merge with.
    }
    return change;
}

std::vector<NoteEntry> NotesToMerge(const std::vector<NoteEntry>& changed, const std::vector<NoteEntry>& onScreen,
                                    const std::vector<NoteEntry>& baseline)
{
    std::unordered_set<NoteEntry, EntryHash> known(onScreen.begin(), onScreen.end());
    known.insert(baseline.begin(), baseline.end());
    std::vector<NoteEntry> merged;
    for (const NoteEntry& entry : changed)
        if (!known.count(entry))
            merged.push_back(entry);
    return merged;
}

void WriteBaseline(CArchive& ar, const NotesBaseline& baseline)
{
    ar.WriteDword(kBaselineMark);
    ar.WriteDword(baseline.nDigest.has_value());
    uint64_t nDigest = baseline.nDigest.value_or(0);
    ar.WriteDword(static_cast<uint32_t>(nDigest));
    ar.WriteDword(static_cast<uint32_t>(nDigest >> 32));
    WriteNotes(ar, 0, baseline.notes);
}

std::shared_ptr<const NotesBaseline> ReadBaseline(CArchive& ar)
{
    try {
        uint32_t dwMark, dwPresent, dwLow, dwHigh;
        ar.ReadDword(dwMark);
        if (dwMark != kBaselineMark)
            return nullptr;
        ar.ReadDword(dwPresent);
        ar.ReadDword(dwLow);
        ar.ReadDword(dwHigh);
        NotesRead read;
        ReadNotes(ar, read);
        auto baseline = std::make_shared<NotesBaseline>();
        if (dwPresent)
            baseline->nDigest = uint64_t{dwHigh} << 32 | dwLow;
        baseline->notes = std::move(read.notes);
        return baseline;
    } catch (const std::exception&) {
        return nullptr;  // nothing known of the file: any file there counts as changed
    }
}
