#include "disc/ReservedRoom.h"

#include "model/PackItem.h"
#include "packing/DiscPaths.h"
#include "support/TextCodec.h"

namespace {

constexpr uint64_t kBlock = 2048;
// The folder's extent in both trees, a new block of the root's records in
// both, four path tables that may each grow a block, a continuation area.
constexpr uint64_t kFolderBlocks = 10;
// The first line, the SET line with a name of up to 2 KiB, and the end.
constexpr uint64_t kIndexHead = 8192;
// A PACK line: number, label, state, two times; the medium's copy carries
// no reasons.
constexpr uint64_t kPackLine = 160;
// MD5 recording, measured with xorriso 1.5.4: about 33 bytes a file and the
// session's tags; counted with room to spare.
constexpr uint64_t kMd5PerFile = 48;
constexpr uint64_t kMd5Fixed = 32 * kBlock;

uint64_t Blocks(uint64_t bytes) {
    return (bytes + kBlock - 1) / kBlock;
}

}  // namespace

uint64_t ReservedFolderBytes(uint64_t checksumListBytes, uint64_t indexBytes) {
    return (Blocks(checksumListBytes) + Blocks(indexBytes) + kFolderBlocks) * kBlock;
}

uint64_t Md5RecordBytes(uint64_t fileCount) {
    return kMd5Fixed + Blocks(fileCount * kMd5PerFile) * kBlock;
}

uint64_t ChecksumLineBound(std::string_view discPath) {
    // "\" HEX "  " path LF, every byte of the path escaped at worst.
    return 1 + 64 + 2 + 2 * discPath.size() + 1;
}

uint64_t IndexLineBound(std::string_view discPath, std::string_view diskPath) {
    // FILE, pack, the two paths escaped at worst, size, time, hash, tabs, LF.
    return 4 + 10 + 2 * discPath.size() + 2 * diskPath.size() + 20 + 20 + 64 + 7;
}

std::vector<uint64_t> PlannedReservedRoom(const CPackFolder& root,
                                          const std::vector<PackBin>& packs, bool md5) {
    const CDiscPaths discPaths(root);
    std::vector<uint64_t> sums(packs.size(), 0);
    uint64_t index = kIndexHead + kPackLine * packs.size();
    for (size_t i = 0; i < packs.size(); ++i) {
        for (const CPackItem* item : packs[i].items) {
            const std::string disc = zel::EncodeFileName(discPaths.DiscPath(*item));
            const std::string disk = zel::EncodeFileName(item->GetPath());
            sums[i] += ChecksumLineBound(disc);
            index += IndexLineBound(disc, disk);
        }
    }
    std::vector<uint64_t> room(packs.size());
    for (size_t i = 0; i < packs.size(); ++i) {
        room[i] = ReservedFolderBytes(sums[i], index);
        if (md5) room[i] += Md5RecordBytes(packs[i].items.size());
    }
    return room;
}
