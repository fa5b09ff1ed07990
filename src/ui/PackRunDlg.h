#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "packing/PackRunner.h"
#include "ui/WorkerDlg.h"

class CCorvelinDoc;
class QProgressBar;
class QPushButton;

// The modal dialog of a packing run: clears the document's cancel flag, starts
// the packing runner with the working pack size and shows a 0-100 progress
// bar. Its Cancel button stops the run and lets the run's end close the
// dialog. exec() returns Accepted when the run completed (also when a cancel
// came too late), Rejected when it was cancelled or failed (a failure has been
// shown as an "ERROR" message); the runner then leaves no packs behind.
class CPackRunDlg : public CWorkerDlg {
    Q_OBJECT
public:
    // With fit, the run packs against images (CImageFitter) instead of
    // packSize; either way each pack's image is estimated (Images).
    CPackRunDlg(CCorvelinDoc& doc, uint64_t packSize, std::optional<ImageFitGoal> fit = {},
                QWidget* parent = nullptr);
    ~CPackRunDlg() override;

    // After a completed run: each pack's estimated image.
    const std::vector<uint64_t>& Images() const { return images_; }

protected:
    bool StartWork() override;
    void CancelWork() override;
    int EndWork() override;
    bool OnProgress(const ZelNotice& notice) override;

private:
    void OnCancelClicked();

    CCorvelinDoc& doc_;
    uint64_t packSize_;
    std::optional<ImageFitGoal> fit_;
    std::vector<uint64_t> images_;
    std::unique_ptr<CPackRunner> runner_;
    QProgressBar* progress_;
    QPushButton* cancel_;
};
