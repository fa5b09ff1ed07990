#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "packing/ImageFitter.h"
#include "packing/PackNotice.h"
#include "support/IZelPostTarget.h"
#include "support/ZelMfcThread.h"

class CCorvelinDoc;

// Runs the document's packing on a worker thread and ends with one notice:
// PackNotice::Completed, Cancelled or Failed. A cancelled or failed run leaves
// no packs behind (partial packs would point at a state the list never showed).
// The owner clears the document's cancelFlag before Start, so that a cancel
// given while the thread starts is never lost; the document is the runner's
// alone until Join.
class CPackRunner : public ZelMfcThread {
public:
    enum class Outcome { NotRun, Completed, Cancelled, Failed };

    CPackRunner(CCorvelinDoc& doc, uint64_t packSize, IZelPostTarget* target)
        : doc_(doc), packSize_(packSize), target_(target) {}
    // Joins here: the base destructor would run too late, after Run's object is gone.
    ~CPackRunner() override { Join(); }

    // Before Start: pack against images (CImageFitter) instead of packSize's
    // bytes; Images then holds each pack's estimate.
    void FitImages(const ImageFitGoal& goal) { fit_ = goal; }
    // Before Start: a run by bytes estimates every pack's image as well.
    void EstimateImages(bool udf) { estimateUdf_ = udf; }

    // Any thread: asks the packing to stop at its next check (the document's
    // cancelFlag). A run that has already completed stays completed.
    void Cancel();

    // Valid after Join.
    Outcome GetOutcome() const { return outcome_; }
    const std::string& Error() const { return error_; }
    const std::vector<uint64_t>& Images() const { return images_; }

protected:
    uint32_t Run() override;

private:
    void Notify(PackNotice notice);

    CCorvelinDoc& doc_;
    uint64_t packSize_;
    IZelPostTarget* target_;
    std::optional<ImageFitGoal> fit_;
    std::optional<bool> estimateUdf_;
    std::vector<uint64_t> images_;
    Outcome outcome_ = Outcome::NotRun;
    std::string error_;
};
