#include "ui/PackRunDlg.h"

#include "packing/CorvelinDoc.h"

CPackRunDlg::CPackRunDlg(CCorvelinDoc& doc, uint64_t packSize, QWidget* parent)
    : QDialog(parent), doc_(doc), packSize_(packSize) {}

int CPackRunDlg::exec() {
    doc_.cancelFlag.store(0);
    return doc_.Pack(packSize_) ? Accepted : Rejected;
}
