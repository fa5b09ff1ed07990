#include "ui/AddFilesDlg.h"

#include "intake/AddFileWorker.h"

CAddFilesDlg::CAddFilesDlg(CAddFileWorker& worker, QWidget* parent)
    : QDialog(parent), worker_(worker) {}

int CAddFilesDlg::exec() {
    worker_.Start();
    worker_.Join();
    return worker_.Completed() ? Accepted : Rejected;
}
