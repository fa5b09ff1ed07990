#include "ui/AutoGroupDlg.h"

#include <QLabel>
#include <QVBoxLayout>

#include "support/TextCodec.h"

CAutoGroupDlg::CAutoGroupDlg(CPackFolderPtr scanned, QWidget* parent)
    : CWorkerDlg(std::initializer_list<AutoGroupNotice>{},
                 tr("自動グルーピングを開始できませんでした。"), parent),
      worker_(std::move(scanned), &Notices()) {
    setWindowTitle(tr("自動グルーピング"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("似た名前のファイルを探しています。しばらくお待ちください。")));
    layout->addWidget(MakeCancelButtons());
}

CAutoGroupDlg::~CAutoGroupDlg() {
    worker_.Cancel();
    worker_.Join();
}

int CAutoGroupDlg::EndWork() {
    worker_.Join();
    if (worker_.GetTable()) return Accepted;
    if (!worker_.GetErrorText().empty())
        ShowError(QString::fromStdU16String(zel::ForDisplay(worker_.GetErrorText())));
    return Rejected;
}
