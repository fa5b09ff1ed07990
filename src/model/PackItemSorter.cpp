#include "model/PackItemSorter.h"

#include "model/PackItem.h"

bool CPackItemSorter::VisitFolder(CPackFolder& folder) {
    folder.SortChildren();
    return true;
}
