#pragma once

#include <cstdint>
#include <string>

#include "support/IZelPostTarget.h"
#include "support/ZelMfcThread.h"

class CCorvelinDoc;

// Posted instead of the end notices when the packing threw: the partial results
// are already released, and Error() holds the reason once the owner has joined.
constexpr uint32_t kPackRunFailed = WM_APP + 3;

// Runs the document's packing on a worker thread and tells the target how it
// ended: WM_APP (completed), WM_APP + 1 (cancelled) or kPackRunFailed. The
// owner clears the document's cancelFlag before Start, so that a cancel given
// while the thread starts is never lost.
class CPackRunner : public ZelMfcThread {
public:
    enum class Outcome { NotRun, Completed, Cancelled, Failed };

    CPackRunner(CCorvelinDoc& doc, uint64_t packSize, IZelPostTarget* target)
        : doc_(doc), packSize_(packSize), target_(target) {}
    // Joins here: the base destructor would run too late, after Run's object is gone.
    ~CPackRunner() override { Join(); }

    // Valid after Join.
    Outcome GetOutcome() const { return outcome_; }
    const std::string& Error() const { return error_; }

protected:
    uint32_t Run() override;

private:
    void Notify(uint32_t message);

    CCorvelinDoc& doc_;
    uint64_t packSize_;
    IZelPostTarget* target_;
    Outcome outcome_ = Outcome::NotRun;
    std::string error_;
};
