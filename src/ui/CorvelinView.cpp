#include "ui/CorvelinView.h"

CCorvelinView::CCorvelinView(CCorvelinDoc& doc, SettingsStore& settings, CorvelinSys& sys,
                             QWidget* parent)
    : QTableView(parent), doc_(doc), settings_(settings), sys_(sys) {}

CCorvelinView::~CCorvelinView() = default;

void CCorvelinView::SetToolbarTexts(std::function<QString()> packSizeText,
                                    std::function<QString()> fillRateText) {
    packSizeText_ = std::move(packSizeText);
    fillRateText_ = std::move(fillRateText);
}

void CCorvelinView::DropPaths(const std::vector<std::string>&, bool) {}
bool CCorvelinView::CanRun() const {
    return false;
}
bool CCorvelinView::CanBack() const {
    return false;
}
bool CCorvelinView::CanExport() const {
    return false;
}
bool CCorvelinView::CanNewGroup() const {
    return false;
}
bool CCorvelinView::CanAddToGroup() const {
    return false;
}
bool CCorvelinView::CanRemoveFromGroup() const {
    return false;
}
bool CCorvelinView::CanGroupEach() const {
    return false;
}
bool CCorvelinView::CanGroupSubfolders() const {
    return false;
}
void CCorvelinView::OnRun() {}
void CCorvelinView::OnBack() {}
void CCorvelinView::OnNewGroup() {}
void CCorvelinView::OnAddToGroup() {}
void CCorvelinView::OnRemoveFromGroup() {}
void CCorvelinView::OnGroupEach() {}
void CCorvelinView::OnGroupSubfolders() {}
void CCorvelinView::OnDocumentReset() {}
void CCorvelinView::OnSettingsChanged() {}
