#include "model/PackItemTraverser.h"

bool CPackItemTraverser::VisitFolder(CPackFolder&) {
    return true;
}
bool CPackItemTraverser::VisitItem(CPackItem&) {
    return true;
}
void CPackItemTraverser::EnterFolder(CPackFolder&) {}
void CPackItemTraverser::LeaveFolder(CPackFolder&) {}
