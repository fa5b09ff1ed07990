#include "ui/AddFilesDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "packing/CorvelinDoc.h"
#include "support/TextCodec.h"

CAddFilesDlg::CAddFilesDlg(zel::IFileSystem& fs, CCorvelinDoc& doc, CImportSettingsPtr settings,
                           std::vector<std::string> paths, QWidget* parent)
    : CWorkerDlg({ScanNotice::PathChanged}, tr("ファイルを読み込む処理を開始できませんでした。"),
                 parent),
      doc_(doc),
      worker_(fs, doc, std::move(settings), std::move(paths), &Notices()),
      path_(new QLineEdit) {
    setWindowTitle(tr("ファイルの追加"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("処理しています。しばらくお待ちください。")));
    path_->setObjectName(QStringLiteral("currentPath"));
    path_->setReadOnly(true);
    path_->setMinimumWidth(path_->fontMetrics().averageCharWidth() * 60);
    layout->addWidget(path_);
    layout->addWidget(MakeCancelButtons());
}

CAddFilesDlg::~CAddFilesDlg() {
    worker_.Cancel();
    worker_.Join();
}

bool CAddFilesDlg::OnProgress(const ZelNotice& notice) {
    if (!notice.Is(ScanNotice::PathChanged)) return false;
    path_->setText(QString::fromStdU16String(zel::ForDisplayOnOneLine(worker_.GetCurrentPath())));
    return true;
}

int CAddFilesDlg::EndWork() {
    worker_.Join();
    if (worker_.CommitTo(doc_)) return Accepted;
    if (!worker_.GetErrorText().empty())
        ShowError(QString::fromStdU16String(zel::ForDisplay(worker_.GetErrorText())));
    return Rejected;
}
