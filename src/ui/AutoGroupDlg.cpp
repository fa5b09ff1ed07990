#include "ui/AutoGroupDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/TextCodec.h"

CAutoGroupDlg::CAutoGroupDlg(CPackFolderPtr scanned, QWidget* parent)
    : QDialog(parent),
      notices_(std::initializer_list<AutoGroupNotice>{}),
      worker_(std::move(scanned), &notices_) {
    setWindowTitle(QStringLiteral("自動グルーピング"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("似た名前のファイルを探しています。しばらくお待ちください。")));
    auto* buttons = new QDialogButtonBox;
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAutoGroupDlg::reject);
    layout->addWidget(buttons);
    notices_.Connect(this, [this](const ZelNotice&) {
        if (!ended_) Finish();
    });
}

CAutoGroupDlg::~CAutoGroupDlg() {
    notices_.Disconnect();
    worker_.Cancel();
    worker_.Join();
}

int CAutoGroupDlg::exec() {
    ended_ = false;
    if (!worker_.Start()) {
        ended_ = true;
        QMessageBox::critical(parentWidget(), QStringLiteral("ERROR"),
                              QStringLiteral("自動グルーピングを開始できませんでした。"));
        return Rejected;
    }
    const int result = QDialog::exec();
    if (!ended_) {  // the event loop was left from outside, e.g. the program quits
        worker_.Cancel();
        Finish();
        return Rejected;
    }
    return result;
}

void CAutoGroupDlg::reject() {
    if (ended_) {
        // The work has ended and decided the outcome; a cancel after it
        // (still queued, or from a key) must not turn a kept result into a
        // rejected one.
        return;
    }
    worker_.Cancel();
    Finish();
}

// Ends by what the worker did: a cancel that came after it finished keeps its
// candidates.
void CAutoGroupDlg::Finish() {
    ended_ = true;
    notices_.Disconnect();
    worker_.Join();
    if (worker_.GetTable()) {
        done(Accepted);
        return;
    }
    if (!worker_.GetErrorText().empty()) {
        QMessageBox::critical(this, QStringLiteral("ERROR"),
                              QString::fromStdU16String(zel::ForDisplay(worker_.GetErrorText())));
    }
    done(Rejected);
}
