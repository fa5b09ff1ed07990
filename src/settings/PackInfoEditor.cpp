#include "settings/PackInfoEditor.h"

#include <algorithm>

#include "settings/ParsePackSize.h"
#include "support/UiText.h"

namespace {

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

// Letter case aside first, then code units, so that names differing only in
// case still keep a fixed order.
bool NameLess(const std::u16string& a, const std::u16string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = FoldAscii(a[i]);
        const char16_t y = FoldAscii(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

const char16_t* PackUnitLetter(int unit) {
    switch (unit) {
        case CPackInfoEditor::UnitKByte:
            return u"K";
        case CPackInfoEditor::UnitMByte:
            return u"M";
        case CPackInfoEditor::UnitGByte:
            return u"G";
        default:
            return u"";
    }
}

CPackInfoEditor::RegisterResult CPackInfoEditor::Register(const std::u16string& name,
                                                          const std::u16string& sizeDigits,
                                                          int unit,
                                                          std::u16string_view capacityText) {
    if (list_.size() >= kMaxPackInfoCount) return RegisterResult::ListFull;
    if (name.empty()) return RegisterResult::EmptyName;
    for (char16_t c : sizeDigits) {
        if (c < u'0' || c > u'9') return RegisterResult::InvalidSize;
    }
    // What the run would refuse (nothing, 0, a leading zero, beyond 64 bits)
    // is refused here, while the user can still mend it.
    const std::u16string size = sizeDigits + PackUnitLetter(unit);
    uint64_t bytes = 0;
    if (!ParsePackSize(size, bytes)) return RegisterResult::InvalidSize;
    uint64_t capacity = 0;
    if (!ParseCapacity(capacityText, capacity)) return RegisterResult::InvalidCapacity;
    if (capacity != 0 && capacity < bytes) return RegisterResult::InvalidCapacity;
    if (FindPackSizeText(list_, name)) return RegisterResult::DuplicateName;
    list_.push_back({name, size, capacity});
    return RegisterResult::Added;
}

bool CPackInfoEditor::Remove(const std::u16string& name) {
    const auto found = std::find_if(list_.begin(), list_.end(),
                                    [&](const PackInfo& info) { return info.Name == name; });
    if (found == list_.end()) return false;
    list_.erase(found);
    return true;
}

std::vector<size_t> CPackInfoEditor::SortedByName() const {
    std::vector<size_t> order(list_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return NameLess(list_[a].Name, list_[b].Name); });
    return order;
}

PackInfoMessage RegisterMessage(CPackInfoEditor::RegisterResult result) {
    using R = CPackInfoEditor::RegisterResult;
    switch (result) {
        case R::ListFull:
            return {pack_info_text::kInformation, Tr16("これ以上登録することが出来ません。")};
        case R::EmptyName:
            return {pack_info_text::kInformation, Tr16("名前を入力してください。")};
        case R::InvalidSize:
            return {pack_info_text::kError, Tr16("無効なサイズです")};
        case R::InvalidCapacity:
            return {pack_info_text::kError, Tr16("無効な容量です")};
        case R::DuplicateName:
            return {pack_info_text::kInformation, Tr16("すでにその名前で登録されています。")};
        case R::Added:
            break;
    }
    return {nullptr, {}};
}

namespace pack_info_text {
std::u16string SelectToDelete() {
    return Tr16("リストから削除したいアイテムを選択してください");
}
}  // namespace pack_info_text
