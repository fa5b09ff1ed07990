#pragma once

#include <string>
#include <vector>

// A registered pack size: the name shown in the toolbar and its size text.
struct PackInfo {
    std::u16string Name;
    std::u16string Size;
    bool operator==(const PackInfo& o) const { return Name == o.Name && Size == o.Size; }
};

using PackInfoList = std::vector<PackInfo>;

constexpr size_t kMaxPackInfoCount = 100;

// The seven media registered until the user saves a list of his own.
PackInfoList DefaultPackInfoList();

// The size text registered under that name (case-sensitive, first match), or
// null when no entry has it.
const std::u16string* FindPackSizeText(const PackInfoList& list, const std::u16string& name);
