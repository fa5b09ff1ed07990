#include "settings/PackInfo.h"

// Blank media as recorders report them. Where a kind comes in "+" and "-"
// formats, the smaller holds, so that an image checked against it fits both:
// DVD+R 4,700,372,992 and DVD-R 4,707,319,808; DVD-R DL 8,543,666,176 and
// DVD+R DL 8,547,991,552. BD-R 25,025,314,816, BD-R DL 50,050,629,632, BD-R XL
// (three layers) 100,103,356,416; CD 80 min 737,280,000, CD 74 min 681,984,000.
PackInfoList DefaultPackInfoList() {
    return {
        {u"Blu-ray(25GB)", u"25000M", 25025314816ull},
        {u"Blu-ray DL(50GB)", u"50000M", 50050629632ull},
        {u"Blu-ray XL(100GB)", u"100000M", 100103356416ull},
        {u"DVD(4.7GB)", u"4700M", 4700372992ull},
        {u"DVD DL(8.5GB)", u"8500M", 8543666176ull},
        {u"CD(700MB)", u"700M", 737280000ull},
        {u"CD(650MB)", u"650M", 681984000ull},
    };
}

uint64_t DefaultCapacity(const std::u16string& name, const std::u16string& size) {
    for (const PackInfo& info : DefaultPackInfoList()) {
        if (info.Name == name && info.Size == size) return info.Capacity;
    }
    return 0;
}

bool ParseCapacity(std::u16string_view text, uint64_t& out) {
    uint64_t value = 0;
    bool digitBefore = false;
    for (char16_t c : text) {
        if (c == u',' && digitBefore) continue;
        if (c < u'0' || c > u'9') return false;
        const uint64_t digit = c - u'0';
        if (value > (UINT64_MAX - digit) / 10) return false;
        value = value * 10 + digit;
        digitBefore = true;
    }
    if (!text.empty() && text.back() == u',') return false;
    out = value;
    return true;
}

const std::u16string* FindPackSizeText(const PackInfoList& list, const std::u16string& name) {
    for (const PackInfo& info : list) {
        if (info.Name == name) return &info.Size;
    }
    return nullptr;
}
