#include "catalog/SetRecorder.h"

#include "catalog/Catalog.h"
#include "support/UiText.h"

namespace catalog {

bool SetRecorder::PackSaved(const DiscSet& set, uint32_t pack, std::string& message) {
    message.clear();
    if (path_.empty()) {
        message = Tr("カタログの場所がわからないため、セットを記録できませんでした");
        return false;
    }
    Catalog catalog;
    if (!catalog.Open(path_)) {
        message = catalog.Error();
        behind_ = true;
        return false;
    }
    message = catalog.Notice();
    if (behind_ || pack == 0 ? !catalog.Record(set) : !catalog.RecordPack(set, pack)) {
        if (!message.empty()) message += '\n';
        message += catalog.Error();
        behind_ = true;
        return false;
    }
    behind_ = false;
    return true;
}

}  // namespace catalog
