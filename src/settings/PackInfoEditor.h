#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/PackInfo.h"

// The pack-size manager's own copy of the registered sizes and the checks a
// new entry must pass. The list keeps registration order (that is what gets
// saved); the dialog shows it sorted by name.
class CPackInfoEditor {
public:
    enum class RegisterResult {
        Added,
        ListFull,
        EmptyName,
        InvalidSize,
        InvalidCapacity,
        DuplicateName
    };
    // The unit box's entries, in their order.
    enum Unit { UnitByte = 0, UnitKByte, UnitMByte, UnitGByte };

    explicit CPackInfoEditor(PackInfoList list) : list_(std::move(list)) {}

    const PackInfoList& List() const { return list_; }

    // Checks in this order: room (100 entries), a name, a size of decimal digits
    // that with its unit the run accepts (ParsePackSize), a capacity in bytes
    // (empty: not known) not below that size, a name not yet registered (letter
    // case counts). Appends (name, digits + unit letter, capacity) when all pass.
    RegisterResult Register(const std::u16string& name, const std::u16string& sizeDigits, int unit,
                            std::u16string_view capacityText = {});
    // Removes the first entry of that name; false when there is none.
    bool Remove(const std::u16string& name);

    // Positions of the list's entries ordered by name, letter case aside.
    std::vector<size_t> SortedByName() const;

private:
    PackInfoList list_;
};

// "K", "M", "G" or nothing (bytes; also for a unit outside the box).
const char16_t* PackUnitLetter(int unit);

struct PackInfoMessage {
    const char16_t* caption;
    std::u16string text;
};
// The warning shown for a refused entry; a null caption for Added.
PackInfoMessage RegisterMessage(CPackInfoEditor::RegisterResult result);

namespace pack_info_text {
constexpr char16_t kInformation[] = u"INFORMATION";
constexpr char16_t kError[] = u"ERROR";
std::u16string SelectToDelete();
}  // namespace pack_info_text
