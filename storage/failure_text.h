#pragma once
// What the user is told when a notes-file step fails.
#include <exception>
#include <string>

struct FailureMessage {
    std::string strText;
    // Out of memory: said plainly, and above every window (MB_SYSTEMMODAL).
    bool bOutOfMemory = false;
};

FailureMessage DescribeFailure(const std::exception& failure);
