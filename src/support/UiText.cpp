#include "support/UiText.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "support/UiLanguage.h"

// The compiled po/en.po (a GNU .mo file), generated into the build.
extern const unsigned char kEnglishCatalog[];
extern const std::size_t kEnglishCatalogSize;

namespace {

using Catalog = std::unordered_map<std::string_view, const char*>;

std::uint32_t Word(std::size_t offset, bool swapped) {
    std::uint32_t value = 0;
    if (offset + 4 > kEnglishCatalogSize) return 0;
    std::memcpy(&value, kEnglishCatalog + offset, 4);
    return swapped ? __builtin_bswap32(value) : value;
}

// The .mo layout: a magic number, the entry count, and two tables of
// (length, offset) pairs for the originals and the translations; every string
// is NUL-terminated in place. The empty original carries the header.
Catalog Load() {
    Catalog catalog;
    const std::uint32_t magic = Word(0, false);
    const bool swapped = magic == 0xde120495;
    if (!swapped && magic != 0x950412de) return catalog;
    const std::uint32_t count = Word(8, swapped);
    const std::uint32_t originals = Word(12, swapped);
    const std::uint32_t translations = Word(16, swapped);
    const auto* bytes = reinterpret_cast<const char*>(kEnglishCatalog);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t keyLength = Word(originals + 8 * i, swapped);
        const std::uint32_t keyAt = Word(originals + 8 * i + 4, swapped);
        const std::uint32_t textLength = Word(translations + 8 * i, swapped);
        const std::uint32_t textAt = Word(translations + 8 * i + 4, swapped);
        if (keyLength == 0 || std::size_t(keyAt) + keyLength >= kEnglishCatalogSize ||
            std::size_t(textAt) + textLength >= kEnglishCatalogSize)
            continue;
        catalog.emplace(std::string_view(bytes + keyAt, keyLength), bytes + textAt);
    }
    return catalog;
}

const Catalog& English() {
    static const Catalog catalog = Load();
    return catalog;
}

}  // namespace

const char* TranslatedText(const char* japanese) {
    if (CurrentUiLanguage() == UiLanguage::Japanese) return japanese;
    const auto& catalog = English();
    const auto found = catalog.find(japanese);
    return found == catalog.end() ? japanese : found->second;
}

void ForEachEnglishText(
    const std::function<void(std::string_view japanese, std::string_view english)>& visit) {
    for (const auto& [japanese, english] : English())
        visit(japanese, english);
}
