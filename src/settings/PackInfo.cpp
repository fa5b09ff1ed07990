#include "settings/PackInfo.h"

PackInfoList DefaultPackInfoList() {
    return {
        {u"Blu-ray(25GB)", u"25000M"},
        {u"Blu-ray DL(50GB)", u"50000M"},
        {u"Blu-ray XL(100GB)", u"100000M"},
        {u"DVD(4.7GB)", u"4700M"},
        {u"DVD DL(8.5GB)", u"8500M"},
        {u"CD(700MB)", u"700M"},
        {u"CD(650MB)", u"650M"},
    };
}

const std::u16string* FindPackSizeText(const PackInfoList& list, const std::u16string& name) {
    for (const PackInfo& info : list) {
        if (info.Name == name) return &info.Size;
    }
    return nullptr;
}
