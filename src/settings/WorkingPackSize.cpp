#include "settings/WorkingPackSize.h"

#include <string>

#include "settings/ParsePackSize.h"
#include "support/UiText.h"

PackSizeError ResolveWorkingPackSize(const PackInfoList& list, std::u16string_view sizeText,
                                     std::u16string_view fillRateText, WorkingPackSize& out) {
    const PackInfo* registered = nullptr;
    for (const PackInfo& info : list) {
        if (info.Name == sizeText) {
            registered = &info;
            break;
        }
    }
    uint64_t fullSize = 0;
    if (!ParsePackSize(registered ? std::u16string_view(registered->Size) : sizeText, fullSize)) {
        return registered ? PackSizeError::InvalidRegisteredSize : PackSizeError::InvalidSizeText;
    }
    out.fullSize = fullSize;
    out.workingSize = ApplyFillRate(fillRateText, fullSize);
    out.capacity = registered && registered->Capacity != 0 ? registered->Capacity : fullSize;
    return PackSizeError::None;
}

std::u16string DescribePackSizeError(PackSizeError error) {
    return error == PackSizeError::None ? std::u16string()
                                        : Tr16("パックサイズに正しい値を入力してください");
}
