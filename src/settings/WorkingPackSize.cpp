#include "settings/WorkingPackSize.h"

#include <string>

#include "settings/ParsePackSize.h"

PackSizeError ResolveWorkingPackSize(const PackInfoList& list, std::u16string_view sizeText,
                                     std::u16string_view fillRateText, WorkingPackSize& out) {
    const std::u16string* registered = FindPackSizeText(list, std::u16string(sizeText));
    uint64_t fullSize = 0;
    if (!ParsePackSize(registered ? std::u16string_view(*registered) : sizeText, fullSize)) {
        return registered ? PackSizeError::InvalidRegisteredSize : PackSizeError::InvalidSizeText;
    }
    out.fullSize = fullSize;
    out.workingSize = ApplyFillRate(fillRateText, fullSize);
    return PackSizeError::None;
}

std::u16string_view DescribePackSizeError(PackSizeError error) {
    return error == PackSizeError::None ? std::u16string_view()
                                        : u"パックサイズに正しい値を入力してください";
}
