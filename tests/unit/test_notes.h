#pragma once
// What the notes-file tests share: bytes, notes compared whole, and a sink
// that keeps what the reader hands it.
#include "storage/notes_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline bool operator==(const NoteEntry& a, const NoteEntry& b)
{
    return a.strText == b.strText && a.record == b.record;
}

// The failure of type E that f raised; none if it raised none.
template <typename E, typename F>
std::optional<E> Raised(F&& f)
{
    try {
        f();
    } catch (const E& e) {
        return e;
    }
    return std::nullopt;
}

struct NotesSink : INotesSink {
    std::vector<int32_t> modes;
    std::vector<NoteEntry> notes;
    void OnShowHiddenMode(int32_t nMode) override { modes.push_back(nMode); }
    void OnNote(const std::u16string& strText, const NoteRecord& r) override { notes.push_back({strText, r}); }
};
