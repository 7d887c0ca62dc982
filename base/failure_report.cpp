#include "base/failure_report.h"

#include "base/message_box.h"

#include <stdexcept>
#include <string>

namespace {

void ReportPlainly(HWND hWndOwner, const std::exception& failure)
{
    AppMessageBox(hWndOwner, (std::string("The operation failed: ") + failure.what()).c_str(), MB_OK | MB_ICONSTOP);
}

FailureReporter g_pfnReporter = ReportPlainly;

}  // namespace

void SetFailureReporter(FailureReporter pfnReporter)
{
    g_pfnReporter = pfnReporter ? pfnReporter : ReportPlainly;
}

void ReportFailure(HWND hWndOwner, const std::exception& failure)
{
    g_pfnReporter(hWndOwner, failure);
}

void ReportCaughtFailure(HWND hWndOwner)
{
    try {
        throw;
    } catch (const std::exception& failure) {
        ReportFailure(hWndOwner, failure);
    } catch (...) {
        ReportFailure(hWndOwner, std::runtime_error("an unexpected error occurred."));
    }
}
