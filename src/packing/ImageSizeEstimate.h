#pragma once

#include <cstdint>
#include <forward_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/ItemText.h"

// What the image of one pack will take: ISO 9660 level 3 with Rock Ridge and
// long Joliet names, as "xorrisofs -r -J -joliet-long -iso-level 3" lays it
// out with its default padding. Files are rounded up to 2,048-byte blocks; every
// folder gets its directory records in both trees, packed so that no record
// crosses a block, plus its path-table entries and Rock Ridge continuation
// areas; the volume descriptors, system area and padding are fixed. Names
// that clash in a tree get the digits the image maker numbers them with; where
// a length depends on how it shortens a name, the longest it can become is
// counted, so the estimate errs only on the large side. With udf,
// the structures of a UDF bridge (one file entry block per file and folder,
// the identifiers of each folder and the fixed descriptors) are added.
class CImageSizeEstimate {
public:
    static constexpr uint64_t kBlock = 2048;

    static constexpr uint32_t kRoot = 0;

    explicit CImageSizeEstimate(bool udf = false) : udf_(udf) {}

    // Empty again, keeping the room its lists took: an estimate of every
    // pack of a large run makes one per pack.
    void Clear();
    // Room for this many folders and files.
    void Reserve(size_t entries) { entries_.reserve(entries); }

    // A file at discPath ("/A/b/c.txt", file-name escapes allowed).
    void AddFile(std::u16string_view discPath, uint64_t size);
    // A folder named name in the folder numbered parent (kRoot or a number
    // AddFolder gave), and a file in a folder. The names are not copied: they
    // must outlive the estimate.
    uint32_t AddFolder(uint32_t parent, ItemText name);
    void AddFileTo(uint32_t folder, ItemText name, uint64_t size);

    // What an entry's records take, worked out from its name alone: a folder
    // found in many packs is measured once (Measure) and added with it.
    struct Shape {
        uint16_t isoNameLength;
        uint16_t isoLength;
        uint16_t continuation;
        uint16_t dot;  // of the ISO name, kNoDot for none
    };
    static constexpr uint16_t kNoDot = 0xFFFF;
    static Shape Measure(ItemText name, bool folder);
    uint32_t AddFolder(uint32_t parent, ItemText name, const Shape& shape);

    uint64_t Blocks() const;

    // What one file adds to an image, folders aside: its blocks and its records
    // in both trees. The weight of a file when packing against images.
    static uint64_t FileCost(ItemText name, uint64_t size);
    uint64_t Bytes() const { return Blocks() * kBlock; }

private:
    // Entries of every folder in one list: a pack may hold a folder per file,
    // and a list of its own for each would cost more than the folder itself.
    // What the blocks depend on is worked out when an entry comes, while its
    // name is at hand: counting the blocks then reads names only to sort them.
    struct Entry {
        ItemText name;
        uint64_t size;
        uint32_t parent;  // the folder that holds it
        bool folder;
        uint16_t isoNameLength;
        uint16_t isoLength;
        uint16_t continuation;
        uint16_t dot;
    };

    void Push(ItemText name, uint64_t size, uint32_t parent, bool folder, const Shape& shape);

    uint32_t FolderIndex(std::u16string_view path);
    std::u16string_view Keep(std::u16string_view text);

    bool udf_;
    std::vector<Entry> entries_;
    uint32_t folderCount_ = 1;  // the root is folder 0
    // What AddFile was given: the folders' paths and the names they hold.
    std::unordered_map<std::u16string, uint32_t> index_;
    std::forward_list<std::u16string> kept_;
    uint64_t dataBlocks_ = 0;
};
