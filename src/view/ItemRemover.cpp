#include "view/ItemRemover.h"

#include "model/PackItem.h"

bool CItemRemover::VisitItem(CPackItem& item) {
    item.eraseMark = 1;
    return true;
}

bool CItemRemover::VisitFolder(CPackFolder& folder) {
    folder.eraseMark = 1;
    return false;
}
