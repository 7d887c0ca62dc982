#include "storage/notes_layout.h"

#include "storage/exceptions.h"

namespace {

void PutInt32(uint8_t* p, int32_t n)
{
    auto u = static_cast<uint32_t>(n);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}

int32_t GetInt32(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                uint32_t{p[3]} << 24);
}

}  // namespace

bool operator==(const NoteRecord& a, const NoteRecord& b)
{
    return a.m_nLeft == b.m_nLeft && a.m_nTop == b.m_nTop && a.m_nRight == b.m_nRight &&
           a.m_nBottom == b.m_nBottom && a.m_bAlarmEnabled == b.m_bAlarmEnabled &&
           a.m_nAlarmTime == b.m_nAlarmTime && a.m_bAlwaysOnTop == b.m_bAlwaysOnTop &&
           a.m_bHidden == b.m_bHidden;
}

void NoteRecord::Serialize(CArchive& ar)
{
    // The rectangle travels as one 16-byte block, as the window system's RECT.
    uint8_t rect[16];
    if (ar.IsStoring()) {
        PutInt32(rect, m_nLeft);
        PutInt32(rect + 4, m_nTop);
        PutInt32(rect + 8, m_nRight);
        PutInt32(rect + 12, m_nBottom);
        ar.WriteBlock(rect, sizeof rect);
        ar.WriteDword(static_cast<uint32_t>(m_bAlarmEnabled));
        ar.WriteDword(static_cast<uint32_t>(m_nAlarmTime));
        ar.WriteDword(static_cast<uint32_t>(m_bAlwaysOnTop));
        ar.WriteDword(static_cast<uint32_t>(m_bHidden));
    } else {
        if (ar.ReadBlock(rect, sizeof rect) != sizeof rect)
            throw CArchiveException(CArchiveException::endOfFile);
        m_nLeft = GetInt32(rect);
        m_nTop = GetInt32(rect + 4);
        m_nRight = GetInt32(rect + 8);
        m_nBottom = GetInt32(rect + 12);
        ar.ReadDword(m_bAlarmEnabled);
        ar.ReadDword(m_nAlarmTime);
        ar.ReadDword(m_bAlwaysOnTop);
        ar.ReadDword(m_bHidden);
    }
}

void WriteNotes(CArchive& ar, int32_t nShowHiddenMode, const std::vector<NoteEntry>& notes)
{
    // A count cut to 16 bits would make the file read back short.
    if (notes.size() > kMaxNotesInFile)
        throw CTooManyNotesException(notes.size());
    ar.WriteDword(static_cast<uint32_t>(nShowHiddenMode));
    ar.WriteDword(0);  // reserved
    ar.WriteWord(static_cast<uint16_t>(notes.size()));
    for (const NoteEntry& note : notes) {
        ar.WriteString(note.strText);
        NoteRecord record = note.record;
        record.Serialize(ar);
    }
}

void ReadNotes(CArchive& ar, INotesSink& sink)
{
    int32_t nMode;
    ar.ReadDword(nMode);
    sink.OnShowHiddenMode(nMode);
    uint32_t dwReserved;
    ar.ReadDword(dwReserved);
    uint16_t nCount;
    ar.ReadWord(nCount);
    sink.OnNoteCount(nCount);
    for (uint32_t i = 0; i < nCount; ++i) {
        std::u16string strText;
        ar.ReadString(strText, kMaxNoteTextBytes);
        NoteRecord record;
        record.Serialize(ar);
        sink.OnNote(strText, record);
    }
}
