#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <cstdint>

// A registered pack size: the name shown in the toolbar, its size text and the
// bytes a blank medium of that kind really holds (0 when not known), against
// which the image of a pack is checked.
struct PackInfo {
    std::u16string Name;
    std::u16string Size;
    uint64_t Capacity = 0;
    bool operator==(const PackInfo& o) const {
        return Name == o.Name && Size == o.Size && Capacity == o.Capacity;
    }
};

using PackInfoList = std::vector<PackInfo>;

constexpr size_t kMaxPackInfoCount = 100;

// The seven media registered until the user saves a list of his own.
PackInfoList DefaultPackInfoList();

// The capacity of the default entry with that name and size text, else 0; what
// a profile written before capacities existed gets for its entries.
uint64_t DefaultCapacity(const std::u16string& name, const std::u16string& size);

// A capacity as typed or stored: decimal digits, "," allowed between them as
// shown in the list, that fit 64 bits. Empty reads as 0 (not known).
bool ParseCapacity(std::u16string_view text, uint64_t& out);

// The size text registered under that name (case-sensitive, first match), or
// null when no entry has it.
const std::u16string* FindPackSizeText(const PackInfoList& list, const std::u16string& name);
