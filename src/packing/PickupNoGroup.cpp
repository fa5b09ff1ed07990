#include "packing/PickupNoGroup.h"

#include "model/PackItem.h"

bool CPickupNoGroup::VisitItem(CPackItem& item) {
    if (item.group != NoGroup) return true;
    entries_->push_back(
        PackEntry::ForFile(&item, item.GetSize(), static_cast<uint32_t>(entries_->size())));
    return true;
}
