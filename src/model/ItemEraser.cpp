#include "model/ItemEraser.h"

#include "model/PackItem.h"

bool CItemEraser::VisitFolder(CPackFolder& folder) {
    folder.EraseMarked();
    return true;
}
