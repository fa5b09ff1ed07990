#pragma once

#include <QDialog>

class CAddFileWorker;

// The modal dialog of a scan: starts the worker, shows the path being read,
// offers Cancel (also Esc and the close button), and closes when the worker's
// finished notice arrives. exec() returns Accepted when the scan handed its
// items over (also when a cancel came too late), Rejected when it was
// cancelled or failed (a failure has already been shown as an "ERROR" message).
class CAddFilesDlg : public QDialog {
    Q_OBJECT
public:
    CAddFilesDlg(CAddFileWorker& worker, QWidget* parent = nullptr);
    int exec() override;

private:
    CAddFileWorker& worker_;
};
