#pragma once

#include <QDialog>
#include <QString>

#include <initializer_list>
#include <utility>

#include "ui/WorkerNotices.h"

// The modal wait on a worker thread. exec() starts the work; Cancel, Esc and
// the close button cancel it and wait for the thread. Once the thread is joined
// the dialog ends by what the work did, so a cancel that came after the work
// finished keeps its result. A failure to start is shown as an "ERROR" message.
class CWorkerDlg : public QDialog {
    Q_OBJECT
public:
    ~CWorkerDlg() override;

    int exec() override;
    void reject() override;

protected:
    // coalesced: the worker's progress notices; any other notice ends the work.
    template <class Notice>
    CWorkerDlg(std::initializer_list<Notice> coalesced, QString startFailure, QWidget* parent)
        : QDialog(parent), notices_(coalesced), startFailure_(std::move(startFailure)) {
        ConnectNotices();
    }

    // Where the worker posts. The subclass joins its thread in its destructor,
    // before this goes.
    CWorkerNotices& Notices() { return notices_; }

    virtual bool StartWork() = 0;
    virtual void CancelWork() = 0;
    // Joins the thread, shows a failure and says Accepted or Rejected by what
    // the work did.
    virtual int EndWork() = 0;
    // True when the notice was progress and the work goes on.
    virtual bool OnProgress(const ZelNotice& notice) = 0;

    void ShowError(const QString& text);
    // A "キャンセル" button that cancels through reject().
    QWidget* MakeCancelButtons();

private:
    void ConnectNotices();
    void Finish();

    CWorkerNotices notices_;
    QString startFailure_;
    bool started_ = false;
    bool ended_ = false;
};
