#pragma once

#include <QDialog>

#include <cstdint>

class CCorvelinDoc;

// The modal dialog of a packing run: clears the document's cancel flag, starts
// the packing runner with the working pack size, shows a 0-100 progress bar
// and Cancel (also Esc and the close button). exec() returns Accepted when the
// run completed, Rejected when it was cancelled or failed (a failure has
// already been shown as an "ERROR" message); partial packs are then released.
class CPackRunDlg : public QDialog {
    Q_OBJECT
public:
    CPackRunDlg(CCorvelinDoc& doc, uint64_t packSize, QWidget* parent = nullptr);
    int exec() override;

private:
    CCorvelinDoc& doc_;
    uint64_t packSize_;
};
