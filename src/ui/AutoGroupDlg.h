#pragma once

#include <QDialog>

#include "intake/AutoGroupWorker.h"
#include "ui/WorkerNotices.h"

// The modal dialog while automatic grouping looks for similar names on its own
// thread; Cancel (also Esc and the close button) stops it at once. exec()
// returns Accepted with GetTable() holding the candidates, Rejected after a
// cancel or a failure (a failure has been shown as an "ERROR" message).
class CAutoGroupDlg : public QDialog {
    Q_OBJECT
public:
    CAutoGroupDlg(CPackFolderPtr scanned, QWidget* parent = nullptr);
    ~CAutoGroupDlg() override;

    int exec() override;
    void reject() override;
    const AutoGroupTablePtr& GetTable() const { return worker_.GetTable(); }

private:
    void Finish();

    CWorkerNotices notices_;
    CAutoGroupWorker worker_;
    bool ended_ = false;
};
