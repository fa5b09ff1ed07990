#pragma once

#include "intake/AutoGroupWorker.h"
#include "ui/WorkerDlg.h"

// The modal dialog while automatic grouping looks for similar names on its own
// thread. exec() returns Accepted with GetTable() holding the candidates,
// Rejected after a cancel or a failure (a failure has been shown as an "ERROR"
// message).
class CAutoGroupDlg : public CWorkerDlg {
    Q_OBJECT
public:
    CAutoGroupDlg(CPackFolderPtr scanned, QWidget* parent = nullptr);
    ~CAutoGroupDlg() override;

    const AutoGroupTablePtr& GetTable() const { return worker_.GetTable(); }

protected:
    bool StartWork() override { return worker_.Start(); }
    void CancelWork() override { worker_.Cancel(); }
    int EndWork() override;
    bool OnProgress(const ZelNotice&) override { return false; }

private:
    CAutoGroupWorker worker_;
};
