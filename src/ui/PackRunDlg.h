#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

#include "packing/PackRunner.h"
#include "ui/WorkerNotices.h"

class CCorvelinDoc;
class QProgressBar;
class QPushButton;

// The modal dialog of a packing run: clears the document's cancel flag, starts
// the packing runner with the working pack size, shows a 0-100 progress bar
// and Cancel (also Esc and the close button; Enter does nothing). exec()
// returns Accepted when the run completed (also when a cancel came too late),
// Rejected when it was cancelled or failed (a failure has been shown as an
// "ERROR" message); the runner then leaves no packs behind.
class CPackRunDlg : public QDialog {
    Q_OBJECT
public:
    CPackRunDlg(CCorvelinDoc& doc, uint64_t packSize, QWidget* parent = nullptr);
    ~CPackRunDlg() override;

    int exec() override;
    void reject() override;  // Esc and the close button: cancel and wait

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnNotice(const ZelNotice& notice);
    void OnCancelClicked();
    void Finish();

    CCorvelinDoc& doc_;
    uint64_t packSize_;
    CWorkerNotices notices_;
    std::unique_ptr<CPackRunner> runner_;
    QProgressBar* progress_;
    QPushButton* cancel_;
    bool ended_ = false;
};
