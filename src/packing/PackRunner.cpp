#include "packing/PackRunner.h"

#include <exception>

#include "packing/CorvelinDoc.h"
#include "packing/PackImageSizes.h"
#include "support/ZelDebugLog.h"

void CPackRunner::Cancel() {
    doc_.cancelFlag.store(1);
    ZEL_DEBUG_LOG("packing cancel!");
}

uint32_t CPackRunner::Run() {
    outcome_ = Outcome::NotRun;
    error_.clear();
    images_.clear();
    try {
        bool completed = false;
        if (fit_) {
            CImageFitter fitter(doc_, *fit_);
            completed = fitter.Run([this](uint64_t limit) { return doc_.Pack(limit, target_); });
            images_ = fitter.Images();
        } else {
            completed = doc_.Pack(packSize_, target_);
            if (completed && estimateUdf_)
                images_ = EstimatePackImages(doc_.root, doc_.packs, *estimateUdf_);
        }
        if (completed) {
            outcome_ = Outcome::Completed;
            Notify(PackNotice::Completed);
            return 0;
        }
        outcome_ = Outcome::Cancelled;
        images_.clear();
        doc_.ReleasePacks();
        Notify(PackNotice::Cancelled);
        return 0;
    } catch (const std::exception& e) {
        error_ = e.what();
    } catch (...) {
        error_ = "unknown exception";
    }
    // An exception must never leave this thread: it would end the process.
    outcome_ = Outcome::Failed;
    ZEL_DEBUG_LOG("packing failed: {}", error_);
    images_.clear();
    doc_.ReleasePacks();
    try {
        Notify(PackNotice::Failed);
    } catch (...) {
        // The target cannot be told; the owner still learns it from GetOutcome.
    }
    return 1;
}

void CPackRunner::Notify(PackNotice notice) {
    if (target_) target_->Post(notice);
}
