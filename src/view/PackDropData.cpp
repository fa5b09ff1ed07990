#include "view/PackDropData.h"

#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "support/TextCodec.h"
#include "view/ListRows.h"
#include "view/PackListView.h"

namespace {

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

}  // namespace

std::string FileUrl(std::u16string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    const std::string bytes = zel::EncodeFileName(path);
    std::string url = "file://";
    url.reserve(url.size() + bytes.size() * 3);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (Unreserved(c)) {
            url += ch;
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

std::optional<std::string> MakePackDropData(const CCorvelinDoc& doc, size_t packIndex) {
    if (packIndex >= doc.packs.size()) return std::nullopt;
    std::string list;
    for (const CPackItem* item : doc.packs[packIndex].items) {
        list += FileUrl(item->GetPath());
        list += "\r\n";
    }
    return list;
}

std::optional<size_t> DragPackIndex(const CPackListView& view, size_t row) {
    if (view.Mode() != ListMode::Packed || row >= view.Rows().Count()) return std::nullopt;
    const PackResult* pack = view.Rows().Pack(row);
    if (!pack || view.Rows().Row(row).kind != RowKind::PackHeader || pack->number == 0)
        return std::nullopt;
    const size_t index = pack->number - 1;
    if (index >= view.Doc().packs.size()) return std::nullopt;
    return index;
}
