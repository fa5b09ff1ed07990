#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A view of an item's text: UTF-16 code units, or one byte per unit where
// every unit is below 256. Most names are ASCII; held as bytes they take half
// the room, and at ten million files the names are half of the tree.
//
// Reads as UTF-16 wherever it is read: units compare, index and append by
// their UTF-16 value, whatever the width they are held in.
class ItemText {
public:
    static constexpr size_t npos = std::u16string_view::npos;

    constexpr ItemText() = default;
    // NOLINTNEXTLINE(google-explicit-constructor): any UTF-16 text reads as one
    ItemText(std::u16string_view wide)
        : data_(wide.data()), size_(static_cast<uint32_t>(wide.size())), narrow_(false) {}
    // NOLINTNEXTLINE(google-explicit-constructor)
    ItemText(const std::u16string& wide) : ItemText(std::u16string_view(wide)) {}
    // NOLINTNEXTLINE(google-explicit-constructor)
    ItemText(const char16_t* wide) : ItemText(std::u16string_view(wide)) {}
    static ItemText Narrow(const unsigned char* units, size_t size) {
        ItemText text;
        text.data_ = units;
        text.size_ = static_cast<uint32_t>(size);
        text.narrow_ = true;
        return text;
    }

    // Whether every unit of text is below 256, so that it can be held narrow.
    static bool FitsNarrow(std::u16string_view text);
    // Writes text's units, each below 256, one byte each.
    static void CopyNarrow(std::u16string_view text, unsigned char* out);

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool IsNarrow() const { return narrow_; }
    const void* Data() const { return data_; }
    const unsigned char* NarrowUnits() const { return static_cast<const unsigned char*>(data_); }
    const char16_t* WideUnits() const { return static_cast<const char16_t*>(data_); }
    // Bytes the units take where they are held.
    size_t Bytes() const { return narrow_ ? size_ : size_ * sizeof(char16_t); }

    char16_t operator[](size_t i) const { return narrow_ ? NarrowUnits()[i] : WideUnits()[i]; }
    char16_t back() const { return (*this)[size_ - 1]; }
    ItemText substr(size_t pos, size_t count = npos) const;
    size_t rfind(char16_t unit) const;

    void AppendTo(std::u16string& out) const;
    std::u16string ToString() const;

    // By unit value, as std::u16string_view::compare.
    int Compare(ItemText other) const;
    friend bool operator==(ItemText a, ItemText b);
    friend bool operator!=(ItemText a, ItemText b) { return !(a == b); }
    friend bool operator<(ItemText a, ItemText b) { return a.Compare(b) < 0; }

private:
    // Texts of items are a few hundred units at most.
    const void* data_ = nullptr;
    uint32_t size_ = 0;
    bool narrow_ = false;
};

// Path order: ASCII A-Z folded to a-z, then UTF-16 code units by value.
int ComparePathsNoCase(ItemText a, ItemText b);

// The same for a text held narrow or wide.
namespace std {
template <>
struct hash<ItemText> {
    size_t operator()(ItemText text) const {
        uint64_t h = 0xCBF29CE484222325ull;
        for (size_t i = 0; i < text.size(); ++i)
            h = (h ^ text[i]) * 0x100000001B3ull;
        return static_cast<size_t>(h);
    }
};
}  // namespace std
