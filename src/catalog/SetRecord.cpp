#include "catalog/SetRecord.h"

#include "catalog/Catalog.h"

namespace catalog {

bool RecordSet(const std::string& catalogPath, const DiscSet& set, std::string& message) {
    message.clear();
    if (catalogPath.empty()) {
        message = "カタログの場所がわからないため、セットを記録できませんでした";
        return false;
    }
    Catalog catalog;
    if (!catalog.Open(catalogPath)) {
        message = catalog.Error();
        return false;
    }
    message = catalog.Notice();
    if (!catalog.Record(set)) {
        if (!message.empty()) message += '\n';
        message += catalog.Error();
        return false;
    }
    return true;
}

}  // namespace catalog
