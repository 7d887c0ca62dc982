#include "tests/e2e/harness.h"

#include <filesystem>

namespace e2e {
namespace {

void CleanUp(const std::string& dir)
{
    CleanProgramKeys();
    std::error_code ignored;
    std::filesystem::remove_all(RecoveryFolder(), ignored);  // a killed program leaves it for the next start
    if (!dir.empty())
        std::filesystem::remove_all(dir, ignored);
}

}  // namespace

std::string Screenshot(const std::string& name)
{
    std::string shot = "/tmp/driftpad-e2e-" + name + ".png";
    UnixSpawn({"import", "-window", "root", shot}, true);
    return shot;
}

void CleanTest::SetUp()
{
    CleanUp("");
    dir = TempDir();
    notesFile = dir + "\\notes.dpd";
}

void CleanTest::TearDown()
{
    if (HasFailure()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::printf("screenshot: %s\n", Screenshot(std::string(info->test_suite_name()) + "." + info->name()).c_str());
    }
    EndRun();
    CleanUp(dir);
}

std::string CleanTest::Save()
{
    DeleteFileA(notesFile.c_str());
    RunCommand(ID_SAVE);
    return ReadFileBytes(notesFile);
}

void DriftpadTest::SetUp()
{
    // A program left over from an earlier test would hold the single-instance mutex.
    for (HWND w = FindWindowA("#32770", "Driftpad: Options"); w; w = FindWindowA("#32770", "Driftpad: Options")) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!h)
            break;
        TerminateProcess(h, 99);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
    CleanTest::SetUp();
}

HWND DriftpadTest::StartApp(const std::string& arguments)
{
    EXPECT_TRUE(app.Start(arguments));
    HWND controller = app.Controller();
    EXPECT_NE(nullptr, controller);
    // Start-up done: the command-line file is loaded and the loop waits for input.
    WaitForInputIdle(app.Process(), 5000);
    return controller;
}

}  // namespace e2e
