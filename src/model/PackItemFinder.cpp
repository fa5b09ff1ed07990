#include "model/PackItemFinder.h"

#include "model/PackItem.h"

bool CPackItemFinder::VisitFolder(CPackFolder& folder) {
    return VisitItem(folder);
}

bool CPackItemFinder::VisitItem(CPackItem& item) {
    if (item.GetId() != wanted_) return true;
    found_ = &item;
    return false;
}
