#include "model/ItemText.h"

#include <algorithm>
#include <cstring>

namespace {

// Calls f with the text's units as a pointer of their own width.
template <class F>
decltype(auto) WithUnits(ItemText text, F&& f) {
    if (text.IsNarrow()) return f(text.NarrowUnits());
    return f(text.WideUnits());
}

template <class A, class B>
int CompareUnits(const A* a, size_t aSize, const B* b, size_t bSize) {
    const size_t n = std::min(aSize, bSize);
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = a[i];
        const char16_t y = b[i];
        if (x != y) return x < y ? -1 : 1;
    }
    if (aSize == bSize) return 0;
    return aSize < bSize ? -1 : 1;
}

char16_t Fold(char16_t u) {
    return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u + 32) : u;
}

template <class A, class B>
int CompareUnitsNoCase(const A* a, size_t aSize, const B* b, size_t bSize) {
    const size_t n = std::min(aSize, bSize);
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = Fold(a[i]);
        const char16_t y = Fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (aSize == bSize) return 0;
    return aSize < bSize ? -1 : 1;
}

}  // namespace

bool ItemText::FitsNarrow(std::u16string_view text) {
    char16_t high = 0;
    for (const char16_t u : text)
        high |= u;
    return high < 0x100;
}

void ItemText::CopyNarrow(std::u16string_view text, unsigned char* out) {
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<unsigned char>(text[i]);
}

ItemText ItemText::substr(size_t pos, size_t count) const {
    pos = std::min<size_t>(pos, size_);
    count = std::min<size_t>(count, size_ - pos);
    if (narrow_) return Narrow(NarrowUnits() + pos, count);
    return ItemText(std::u16string_view(WideUnits() + pos, count));
}

size_t ItemText::rfind(char16_t unit) const {
    if (narrow_) {
        if (unit > 0xFF || size_ == 0) return npos;
        const void* at = memrchr(data_, unit, size_);
        return at ? static_cast<size_t>(static_cast<const unsigned char*>(at) - NarrowUnits())
                  : npos;
    }
    for (size_t i = size_; i-- > 0;) {
        if ((*this)[i] == unit) return i;
    }
    return npos;
}

void ItemText::AppendTo(std::u16string& out) const {
    if (!narrow_) {
        out.append(WideUnits(), size_);
        return;
    }
    const size_t at = out.size();
    out.resize(at + size_);
    std::copy(NarrowUnits(), NarrowUnits() + size_, out.begin() + static_cast<ptrdiff_t>(at));
}

std::u16string ItemText::ToString() const {
    std::u16string out;
    AppendTo(out);
    return out;
}

int ItemText::Compare(ItemText other) const {
    return WithUnits(*this, [&](const auto* a) {
        return WithUnits(other,
                         [&](const auto* b) { return CompareUnits(a, size_, b, other.size_); });
    });
}

bool operator==(ItemText a, ItemText b) {
    if (a.size_ != b.size_) return false;
    if (a.size_ == 0) return true;
    if (a.narrow_ == b.narrow_) return std::memcmp(a.data_, b.data_, a.Bytes()) == 0;
    return a.Compare(b) == 0;
}

int ComparePathsNoCase(ItemText a, ItemText b) {
    return WithUnits(a, [&](const auto* x) {
        return WithUnits(
            b, [&](const auto* y) { return CompareUnitsNoCase(x, a.size(), y, b.size()); });
    });
}
