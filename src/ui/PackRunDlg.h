#pragma once

#include <cstdint>
#include <memory>

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
    CPackRunDlg(CCorvelinDoc& doc, uint64_t packSize, QWidget* parent = nullptr);
    ~CPackRunDlg() override;

protected:
    bool StartWork() override;
    void CancelWork() override;
    int EndWork() override;
    bool OnProgress(const ZelNotice& notice) override;

private:
    void OnCancelClicked();

    CCorvelinDoc& doc_;
    uint64_t packSize_;
    std::unique_ptr<CPackRunner> runner_;
    QProgressBar* progress_;
    QPushButton* cancel_;
};
