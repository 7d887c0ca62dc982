// Time to save and open 1,000 notes through the real path (safe save,
// archive, layout; loader and sink) against writing and reading the same
// bytes with one WriteFile and one ReadFile call.
#include "bench/timing.h"
#include "storage/archive.h"
#include "storage/memory_file.h"
#include "storage/file_win.h"
#include "storage/notes_file.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

CWinFileSystem g_fs;

struct CountingSink : INotesSink {
    size_t nNotes = 0;
    size_t nTextBytes = 0;
    void OnShowHiddenMode(int32_t) override {}
    void OnNote(const std::u16string& strText, const NoteRecord&) override
    {
        ++nNotes;
        nTextBytes += strText.size();
    }
};

template <typename F>
double Time(F f)
{
    double t0 = Now();
    f();
    return (Now() - t0) * 1000.0;
}

bool WriteOnce(const std::string& strPath, const std::vector<uint8_t>& bytes, bool bFlush)
{
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    BOOL bOk = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr);
    if (bFlush)
        bOk = bOk && FlushFileBuffers(h);
    return CloseHandle(h) && bOk && dwWritten == bytes.size();
}

size_t ReadOnce(const std::string& strPath, std::vector<uint8_t>& buf)
{
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    DWORD dwRead = 0;
    buf.resize(GetFileSize(h, nullptr));
    ReadFile(h, buf.data(), static_cast<DWORD>(buf.size()), &dwRead, nullptr);
    CloseHandle(h);
    return dwRead;
}

}  // namespace

int main()
{
    InstallCodePage(kAnsiCodePage);  // as the program does: texts cost their conversions
    std::vector<NoteEntry> notes(1000);
    for (size_t i = 0; i < notes.size(); ++i) {
        std::string text = "Note " + std::to_string(i) + ": " + std::string(i % 140, 'a' + i % 26);
        notes[i].strText.assign(text.begin(), text.end());
        notes[i].record.m_nLeft = static_cast<int32_t>(i);
        notes[i].record.m_nRight = static_cast<int32_t>(i + 126);
    }
    CMemFile image;
    {
        CArchive ar(image, CArchive::store);
        WriteNotes(ar, 0, notes);
    }
    const std::vector<uint8_t>& bytes = image.Data();

    char szDir[MAX_PATH];
    GetTempPathA(MAX_PATH, szDir);
    const std::string strPath = std::string(szDir) + "dp_bench.dpd";
    const std::string strRaw = std::string(szDir) + "dp_bench_raw.dpd";
    const int nRuns = 101;

    // Interleaved, so that whatever else the machine does falls on all alike.
    std::vector<double> save, rawWrite, rawWriteFlush, open, rawRead;
    std::vector<uint8_t> buf;
    for (int i = 0; i < nRuns; ++i) {
        save.push_back(Time([&] { SaveNotesFile(g_fs, strPath, 0, notes); }));
        rawWrite.push_back(Time([&] { WriteOnce(strRaw, bytes, false); }));
        rawWriteFlush.push_back(Time([&] { WriteOnce(strRaw, bytes, true); }));
        open.push_back(Time([&] {
            CountingSink sink;
            LoadNotesFile(g_fs, strPath, sink);
        }));
        rawRead.push_back(Time([&] { ReadOnce(strRaw, buf); }));
    }
    double dSave = Median(save), dRawWrite = Median(rawWrite), dRawWriteFlush = Median(rawWriteFlush);
    double dOpen = Median(open), dRawRead = Median(rawRead);
    CountingSink check;
    LoadNotesFile(g_fs, strPath, check);

    std::printf("notes file: %zu notes, %zu bytes (read back %zu notes; raw copy %s)\n", notes.size(),
                bytes.size(), check.nNotes, ReadOnce(strPath, buf) == bytes.size() && buf == bytes ? "identical" : "DIFFERS");
    std::printf("save (temp file, archive, flush, replace): %8.3f ms\n", dSave);
    std::printf("one WriteFile:                             %8.3f ms  ratio %.2f\n", dRawWrite, dSave / dRawWrite);
    std::printf("one WriteFile + FlushFileBuffers:          %8.3f ms  ratio %.2f\n", dRawWriteFlush, dSave / dRawWriteFlush);
    std::printf("open (loader, archive, sink):              %8.3f ms\n", dOpen);
    std::printf("one ReadFile:                              %8.3f ms  ratio %.2f\n", dRawRead, dOpen / dRawRead);
    DeleteFileA(strPath.c_str());
    DeleteFileA(strRaw.c_str());
    return 0;
}
