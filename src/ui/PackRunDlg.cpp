#include "ui/PackRunDlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "packing/CorvelinDoc.h"

CPackRunDlg::CPackRunDlg(CCorvelinDoc& doc, uint64_t packSize, std::optional<ImageFitGoal> fit,
                         QWidget* parent)
    : CWorkerDlg({PackNotice::Progress}, tr("パックを作成する処理を開始できませんでした。"),
                 parent),
      doc_(doc),
      packSize_(packSize),
      fit_(fit),
      progress_(new QProgressBar),
      cancel_(new QPushButton(QStringLiteral("Cancel"))) {
    setWindowTitle(tr("実行"));
    // No close box: Cancel is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("処理しています。しばらくお待ちください。")));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setMinimumWidth(progress_->fontMetrics().averageCharWidth() * 40);
    layout->addWidget(progress_);
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setAutoDefault(false);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, &CPackRunDlg::OnCancelClicked);
}

CPackRunDlg::~CPackRunDlg() {
    if (runner_) {
        runner_->Cancel();
        runner_->Join();
    }
}

bool CPackRunDlg::StartWork() {
    // Cleared here, before the thread exists, so that a cancel given at any
    // moment of the run is seen.
    doc_.cancelFlag.store(0);
    runner_ = std::make_unique<CPackRunner>(doc_, packSize_, &Notices());
    if (fit_) {
        runner_->FitImages(*fit_);
    } else {
        runner_->EstimateImages(false);
    }
    if (runner_->Start()) return true;
    runner_.reset();
    return false;
}

void CPackRunDlg::CancelWork() {
    if (runner_) runner_->Cancel();
}

bool CPackRunDlg::OnProgress(const ZelNotice& notice) {
    if (!notice.Is(PackNotice::Progress)) return false;
    // The bar never moves back.
    if (notice.value > progress_->value() && notice.value <= 100)
        progress_->setValue(static_cast<int>(notice.value));
    return true;
}

void CPackRunDlg::OnCancelClicked() {
    // The run stops at its next check and its end notice closes the dialog.
    cancel_->setEnabled(false);
    CancelWork();
}

// A cancel that came after the packing completed keeps the packs.
int CPackRunDlg::EndWork() {
    runner_->Join();
    const CPackRunner::Outcome outcome = runner_->GetOutcome();
    const std::string error = runner_->Error();
    images_ = runner_->Images();
    runner_.reset();
    if (outcome == CPackRunner::Outcome::Failed) {
        ShowError(error.empty() ? tr("パックの作成中にエラーが発生しました。")
                                : QString::fromStdString(error));
    }
    return outcome == CPackRunner::Outcome::Completed ? Accepted : Rejected;
}
