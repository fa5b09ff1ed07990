#include "packing/DiscPaths.h"

#include <string_view>
#include <unordered_set>

#include "model/PackItem.h"

namespace {

std::u16string FoldAscii(ItemText text) {
    std::u16string out = text.ToString();
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return out;
}

std::u16string Numbered(std::u16string_view name, bool folder, unsigned n) {
    std::u16string suffix = u"~";
    for (char c : std::to_string(n))
        suffix += static_cast<char16_t>(c);
    const size_t dot = folder ? std::u16string_view::npos : name.rfind(u'.');
    // A leading dot starts a hidden name, not an extension.
    if (dot == std::u16string_view::npos || dot == 0) return std::u16string(name) + suffix;
    return std::u16string(name.substr(0, dot)) + suffix + std::u16string(name.substr(dot));
}

ItemText OwnName(const CPackItem& item) {
    const ItemText name = item.GetFileName();
    return name.empty() ? ItemText(u"root") : name;
}

const CPackItem* TopLevel(const CPackItem& item) {
    const CPackItem* top = &item;
    while (top->parent && top->parent->parent)
        top = top->parent;
    return top;
}

}  // namespace

CDiscPaths::CDiscPaths(const CPackFolder& root) {
    std::unordered_set<std::u16string> taken;
    for (const CPackItemPtr& child : root.children)
        taken.insert(FoldAscii(OwnName(*child)));
    // The folder a written medium keeps its checksums and index in.
    std::unordered_set<std::u16string> used = {u"_corvelin"};
    for (const CPackItemPtr& child : root.children) {
        const std::u16string base = OwnName(*child).ToString();
        std::u16string name = base;
        // A numbered name must not take the plain name of another item either.
        for (unsigned n = 2; used.count(FoldAscii(name)) != 0; ++n) {
            name = Numbered(base, child->IsFolder(), n);
            if (taken.count(FoldAscii(name)) != 0) name = base;
        }
        used.insert(FoldAscii(name));
        topNames_.emplace(child.get(), std::move(name));
    }
}

std::u16string CDiscPaths::DiscPath(const CPackItem& item) const {
    const CPackItem* top = TopLevel(item);
    std::u16string out = u"/";
    auto it = topNames_.find(top);
    (it != topNames_.end() ? ItemText(it->second) : OwnName(*top)).AppendTo(out);
    if (top == &item) return out;
    const size_t below = top->GetPath().size();
    const std::u16string path = item.GetPath();
    if (path.size() > below) {
        std::u16string_view rest = std::u16string_view(path).substr(below);
        if (rest.front() != u'/') out += u'/';
        out += rest;
    }
    return out;
}

ItemText CDiscPaths::DiscName(const CPackItem& item) const {
    if (item.parent && item.parent->parent) return item.GetFileName();
    auto it = topNames_.find(&item);
    return it != topNames_.end() ? ItemText(it->second) : OwnName(item);
}
