#include "packing/DiscPaths.h"

#include <string_view>
#include <unordered_set>

#include "model/PackItem.h"

namespace {

std::u16string FoldAscii(std::u16string_view text) {
    std::u16string out(text);
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

// The whole last component of the path (GetName drops the extension).
std::u16string_view FileName(const CPackItem& item) {
    std::u16string_view path = item.GetPath();
    while (path.size() > 1 && path.back() == u'/')
        path.remove_suffix(1);
    const size_t slash = path.rfind(u'/');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string DiscName(const CPackItem& item) {
    std::u16string_view name = FileName(item);
    return name.empty() ? u"root" : std::u16string(name);
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
        taken.insert(FoldAscii(DiscName(*child)));
    std::unordered_set<std::u16string> used;
    for (const CPackItemPtr& child : root.children) {
        const std::u16string base = DiscName(*child);
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
    out += it != topNames_.end() ? it->second : DiscName(*top);
    const std::u16string& topPath = top->GetPath();
    const std::u16string& path = item.GetPath();
    if (top != &item && path.size() > topPath.size()) {
        std::u16string_view rest = std::u16string_view(path).substr(topPath.size());
        if (rest.front() != u'/') out += u'/';
        out += rest;
    }
    return out;
}
