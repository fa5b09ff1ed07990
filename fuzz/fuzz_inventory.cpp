// Inventory lists (--from-list) as anyone may write them: whatever the bytes,
// the tree is sound and does not depend on where the reads split the list.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "intake/ImportSettingsFile.h"
#include "intake/InventoryReader.h"

namespace {

// Every item as "path=size" ("path/" for a folder), checking on the way that
// a path is its folder's path and its own name and stays within the limit.
void Walk(const CPackFolder& folder, std::vector<std::u16string>& out) {
    for (const CPackItemPtr& child : folder.children) {
        const std::u16string path = child->GetPath();
        FUZZ_CHECK(path.size() <= kMaxPathUnits);
        FUZZ_CHECK(child->parent == &folder);
        const std::u16string name = child->GetFileName().ToString();
        FUZZ_CHECK(path.size() >= name.size() &&
                   path.compare(path.size() - name.size(), name.size(), name) == 0);
        if (const CPackFolder* sub = child->AsFolder()) {
            out.push_back(path + u"/");
            Walk(*sub, out);
        } else {
            const std::string digits = std::to_string(child->GetSize());
            out.push_back(path + u"=" + std::u16string(digits.begin(), digits.end()));
        }
    }
}

std::vector<std::u16string> Read(std::string_view list, char separator, size_t split,
                                 uint64_t& problems) {
    CInventoryReader reader(MakeDefaultImportSettings(), separator, 1);
    reader.Feed(list.substr(0, split));
    reader.Feed(list.substr(split));
    reader.Finish();
    problems = reader.ProblemCount();
    std::vector<std::u16string> tree;
    if (const CPackFolderPtr result = reader.TakeResult()) Walk(*result, tree);
    return tree;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const char separator = (data[0] & 1) ? '\n' : '\0';
    const std::string_view list(reinterpret_cast<const char*>(data + 2), size - 2);
    const size_t split = list.empty() ? 0 : data[1] % (list.size() + 1);
    uint64_t wholeProblems = 0;
    uint64_t splitProblems = 0;
    const std::vector<std::u16string> whole = Read(list, separator, list.size(), wholeProblems);
    const std::vector<std::u16string> pieces = Read(list, separator, split, splitProblems);
    FUZZ_CHECK(whole == pieces);
    FUZZ_CHECK(wholeProblems == splitProblems);
    return 0;
}
