#pragma once
// The base of every end-to-end test: a clean registry, a fresh folder, and
// the program ended at the end; a screenshot when the test failed.
#include <gtest/gtest.h>

#include "tests/e2e/harness/files.h"
#include "tests/e2e/harness/program.h"

namespace e2e {

class DriftpadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the program and waits for its controller and start-up to end.
    HWND StartApp(const std::string& arguments = "");
    // Starts on dir\notes.dpd (written first if bytes are given), so that
    // Save writes there without asking.
    HWND StartWithFile(const std::string& bytes = "");
    // Save from the tray; the bytes of dir\notes.dpd afterwards.
    std::string Save();

    App app;
    std::string dir;  // a fresh folder for this test's files
    std::string notesFile;
};

}  // namespace e2e
