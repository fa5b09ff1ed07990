#include "ui/WorkerDlg.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>

CWorkerDlg::~CWorkerDlg() {
    notices_.Disconnect();
}

void CWorkerDlg::ConnectNotices() {
    notices_.Connect(this, [this](const ZelNotice& notice) {
        if (!ended_ && !OnProgress(notice)) Finish();
    });
}

int CWorkerDlg::exec() {
    started_ = true;
    ended_ = false;
    if (!StartWork()) {
        ended_ = true;
        QMessageBox::critical(parentWidget(), QStringLiteral("ERROR"), startFailure_);
        return Rejected;
    }
    const int result = QDialog::exec();
    if (!ended_) {
        // The event loop was left from outside (the program quits): nothing may
        // follow that would open another window.
        CancelWork();
        Finish();
        return Rejected;
    }
    return result;
}

void CWorkerDlg::reject() {
    // Once the work has ended it has decided the outcome; a cancel after it
    // (still queued, or from a key) must not turn a kept result into a
    // rejected one.
    if (ended_) return;
    // Closed before it ran: there is no work to cancel or end.
    if (!started_) {
        QDialog::reject();
        return;
    }
    CancelWork();
    Finish();
}

void CWorkerDlg::Finish() {
    ended_ = true;
    notices_.Disconnect();
    done(EndWork());
}

QWidget* CWorkerDlg::MakeCancelButtons() {
    auto* buttons = new QDialogButtonBox;
    QPushButton* cancel = buttons->addButton(tr("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &CWorkerDlg::reject);
    return buttons;
}

void CWorkerDlg::ShowError(const QString& text) {
    QMessageBox::critical(this, QStringLiteral("ERROR"), text);
}
