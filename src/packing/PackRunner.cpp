#include "packing/PackRunner.h"

#include <exception>

#include "packing/CorvelinDoc.h"
#include "support/ZelDebugLog.h"

uint32_t CPackRunner::Run() {
    outcome_ = Outcome::NotRun;
    error_.clear();
    try {
        const bool completed = doc_.Pack(packSize_, target_);
        outcome_ = completed ? Outcome::Completed : Outcome::Cancelled;
        Notify(completed ? WM_APP : WM_APP + 1);
        return 0;
    } catch (const std::exception& e) {
        error_ = e.what();
    } catch (...) {
        error_ = "unknown exception";
    }
    // An exception must never leave this thread: it would end the process.
    outcome_ = Outcome::Failed;
    ZEL_DEBUG_LOG("packing failed: {}", error_);
    doc_.ReleasePacks();
    try {
        Notify(kPackRunFailed);
    } catch (...) {
        // The target cannot be told; the owner still learns it from GetOutcome.
    }
    return 1;
}

void CPackRunner::Notify(uint32_t message) {
    if (target_) target_->Post(message, 0, 0);
}
