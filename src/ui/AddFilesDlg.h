#pragma once

#include <memory>
#include <string>
#include <vector>

#include "intake/AddFileWorker.h"
#include "ui/WorkerDlg.h"

class CCorvelinDoc;
class QLineEdit;
namespace zel {
class IFileSystem;
}

// The modal dialog of a scan: shows the path being read. exec() returns
// Accepted when every path was walked (also when a cancel came too late to
// stop it) and the new items are in the document; Rejected when the scan was
// cancelled or failed (a failure has been shown as an "ERROR" message), the
// document then unchanged.
class CAddFilesDlg : public CWorkerDlg {
    Q_OBJECT
public:
    // paths: absolute raw-byte paths in drop order.
    CAddFilesDlg(zel::IFileSystem& fs, CCorvelinDoc& doc, CImportSettingsPtr settings,
                 std::vector<std::string> paths, QWidget* parent = nullptr);
    ~CAddFilesDlg() override;

    // Before exec: options such as read-ahead; after it: GetResult, GetSkipped.
    CAddFileWorker& Worker() { return worker_; }
    const CAddFileWorker& Worker() const { return worker_; }

protected:
    bool StartWork() override { return worker_.Start(); }
    void CancelWork() override { worker_.Cancel(); }
    int EndWork() override;
    bool OnProgress(const ZelNotice& notice) override;

private:
    CCorvelinDoc& doc_;
    CAddFileWorker worker_;
    QLineEdit* path_;
};
