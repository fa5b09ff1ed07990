#include "ui/AddFilesDlg.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "packing/CorvelinDoc.h"
#include "support/TextCodec.h"

CAddFilesDlg::CAddFilesDlg(zel::IFileSystem& fs, CCorvelinDoc& doc, CImportSettingsPtr settings,
                           std::vector<std::string> paths, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      notices_({ScanNotice::PathChanged}),
      worker_(fs, doc, std::move(settings), std::move(paths), &notices_),
      path_(new QLineEdit) {
    setWindowTitle(QStringLiteral("ファイルの追加"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("処理しています。しばらくお待ちください。")));
    path_->setObjectName(QStringLiteral("currentPath"));
    path_->setReadOnly(true);
    path_->setMinimumWidth(path_->fontMetrics().averageCharWidth() * 60);
    layout->addWidget(path_);
    auto* buttons = new QDialogButtonBox;
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddFilesDlg::reject);
    layout->addWidget(buttons);
    notices_.Connect(this, [this](const ZelNotice& notice) { OnNotice(notice); });
}

CAddFilesDlg::~CAddFilesDlg() {
    notices_.Disconnect();
    worker_.Cancel();
    worker_.Join();
}

int CAddFilesDlg::exec() {
    ended_ = false;
    if (!worker_.Start()) {
        ended_ = true;
        QMessageBox::critical(parentWidget(), QStringLiteral("ERROR"),
                              QStringLiteral("ファイルを読み込む処理を開始できませんでした。"));
        return Rejected;
    }
    const int result = QDialog::exec();
    if (!ended_) {  // the event loop was left from outside, e.g. the program quits
        worker_.Cancel();
        Finish();
        return result == Accepted && worker_.Completed() ? Accepted : Rejected;
    }
    return result;
}

void CAddFilesDlg::OnNotice(const ZelNotice& notice) {
    if (ended_) return;
    if (notice.Is(ScanNotice::PathChanged)) {
        path_->setText(QString::fromStdU16String(zel::ForDisplay(worker_.GetCurrentPath())));
        return;
    }
    Finish();
}

void CAddFilesDlg::reject() {
    if (ended_) {
        // The work has ended and decided the outcome; a cancel after it
        // (still queued, or from a key) must not turn a kept result into a
        // rejected one.
        return;
    }
    worker_.Cancel();
    Finish();
}

// Joins the worker and ends the dialog by what the scan did, not by how the
// dialog was asked to close: a cancel that came after the last path keeps the
// scan.
void CAddFilesDlg::Finish() {
    ended_ = true;
    notices_.Disconnect();
    worker_.Join();
    if (worker_.CommitTo(doc_)) {
        done(Accepted);
        return;
    }
    if (!worker_.GetErrorText().empty()) {
        QMessageBox::critical(this, QStringLiteral("ERROR"),
                              QString::fromStdU16String(zel::ForDisplay(worker_.GetErrorText())));
    }
    done(Rejected);
}

void CAddFilesDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();  // Enter does not end a scan
        return;
    }
    QDialog::keyPressEvent(event);
}
