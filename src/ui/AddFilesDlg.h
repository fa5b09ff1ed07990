#pragma once

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

#include "intake/AddFileWorker.h"
#include "ui/WorkerNotices.h"

class CCorvelinDoc;
class QLineEdit;
namespace zel {
class IFileSystem;
}

// The modal dialog of a scan: creates and starts the worker, shows the path
// being read, offers Cancel (also Esc and the close button; Enter does
// nothing). exec() returns Accepted when every path was walked (also when a
// cancel came too late to stop it) and the new items are in the document;
// Rejected when the scan was cancelled or failed (a failure has been shown as
// an "ERROR" message), the document then unchanged.
class CAddFilesDlg : public QDialog {
    Q_OBJECT
public:
    // paths: absolute raw-byte paths in drop order.
    CAddFilesDlg(zel::IFileSystem& fs, CCorvelinDoc& doc, CImportSettingsPtr settings,
                 std::vector<std::string> paths, QWidget* parent = nullptr);
    ~CAddFilesDlg() override;

    int exec() override;
    void reject() override;  // Cancel, Esc, the close button

    // Before exec: options such as read-ahead; after it: GetResult, GetSkipped.
    CAddFileWorker& Worker() { return worker_; }
    const CAddFileWorker& Worker() const { return worker_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnNotice(const ZelNotice& notice);
    void Finish();

    CCorvelinDoc& doc_;
    CWorkerNotices notices_;  // before worker_: it outlives the worker's thread
    CAddFileWorker worker_;
    QLineEdit* path_;
    bool ended_ = false;
};
