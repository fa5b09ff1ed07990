#include "ui/PackRunDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "packing/CorvelinDoc.h"

CPackRunDlg::CPackRunDlg(CCorvelinDoc& doc, uint64_t packSize, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      packSize_(packSize),
      notices_({PackNotice::Progress}),
      progress_(new QProgressBar),
      cancel_(new QPushButton(QStringLiteral("Cancel"))) {
    setWindowTitle(QStringLiteral("実行"));
    // No close box: Cancel is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("処理しています。しばらくお待ちください。")));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setMinimumWidth(progress_->fontMetrics().averageCharWidth() * 40);
    layout->addWidget(progress_);
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setAutoDefault(false);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, &CPackRunDlg::OnCancelClicked);
    notices_.Connect(this, [this](const ZelNotice& notice) { OnNotice(notice); });
}

CPackRunDlg::~CPackRunDlg() {
    notices_.Disconnect();
    if (runner_) {
        runner_->Cancel();
        runner_->Join();
    }
}

int CPackRunDlg::exec() {
    ended_ = false;
    // Cleared here, before the thread exists, so that a cancel given at any
    // moment of the run is seen.
    doc_.cancelFlag.store(0);
    runner_ = std::make_unique<CPackRunner>(doc_, packSize_, &notices_);
    if (!runner_->Start()) {
        ended_ = true;
        runner_.reset();
        QMessageBox::critical(parentWidget(), QStringLiteral("ERROR"),
                              QStringLiteral("パックを作成する処理を開始できませんでした。"));
        return Rejected;
    }
    const int result = QDialog::exec();
    if (!ended_) {  // the event loop was left from outside, e.g. the program quits
        runner_->Cancel();
        Finish();
        return this->result();
    }
    return result;
}

void CPackRunDlg::OnNotice(const ZelNotice& notice) {
    if (ended_) return;
    if (notice.Is(PackNotice::Progress)) {
        // The bar never moves back.
        if (notice.value > progress_->value() && notice.value <= 100) {
            progress_->setValue(static_cast<int>(notice.value));
        }
        return;
    }
    Finish();
}

void CPackRunDlg::OnCancelClicked() {
    // The run stops at its next check and its end notice closes the dialog.
    cancel_->setEnabled(false);
    if (runner_) runner_->Cancel();
}

void CPackRunDlg::reject() {
    if (ended_) {
        // The work has ended and decided the outcome; a cancel after it
        // (still queued, or from a key) must not turn a kept result into a
        // rejected one.
        return;
    }
    if (runner_) runner_->Cancel();
    Finish();
}

// Joins the runner and ends the dialog by what the run did: a cancel that came
// after the packing completed keeps the packs.
void CPackRunDlg::Finish() {
    ended_ = true;
    notices_.Disconnect();
    runner_->Join();
    const CPackRunner::Outcome outcome = runner_->GetOutcome();
    const std::string error = runner_->Error();
    runner_.reset();
    if (outcome == CPackRunner::Outcome::Failed) {
        QMessageBox::critical(this, QStringLiteral("ERROR"),
                              error.empty()
                                  ? QStringLiteral("パックの作成中にエラーが発生しました。")
                                  : QString::fromStdString(error));
    }
    done(outcome == CPackRunner::Outcome::Completed ? Accepted : Rejected);
}

void CPackRunDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();  // Enter does not end a run
        return;
    }
    QDialog::keyPressEvent(event);
}
