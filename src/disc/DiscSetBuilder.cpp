#include "disc/DiscSetBuilder.h"

#include <sys/stat.h>

#include <cerrno>
#include <ctime>

#include "disc/SetFileStore.h"
#include "model/PackItem.h"
#include "packing/DiscPaths.h"
#include "packing/GraftListWriter.h"
#include "support/TextCodec.h"

int StatSource(const std::string& path, uint64_t& size, int64_t& mtimeNs) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    size = static_cast<uint64_t>(st.st_size);
    mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return 0;
}

DiscSet BuildDiscSet(const CPackFolder& root, const std::vector<PackBin>& packs,
                     const DiscSetHeader& header) {
    DiscSet set;
    set.id = NewSetId();
    set.name = header.name;
    set.createdAt = header.now;
    set.packSize = header.packSize;
    set.medium = header.medium;
    set.capacity = header.capacity;
    set.target = header.target;
    CDiscPaths discPaths(root);
    for (size_t i = 0; i < packs.size(); ++i) {
        DiscSetPack pack;
        pack.number = static_cast<uint32_t>(i + 1);
        pack.label = zel::U16(CGraftListWriter::VolumeLabel(i + 1, packs.size()));
        set.packs.push_back(std::move(pack));
        for (const CPackItem* item : packs[i].items) {
            DiscSetFile file;
            file.pack = static_cast<uint32_t>(i + 1);
            file.discPath = discPaths.DiscPath(*item);
            file.diskPath = item->GetPath();
            file.size = item->GetSize();
            uint64_t size = 0;
            // A file gone already is reported when its pack is written.
            StatSource(zel::EncodeFileName(file.diskPath), size, file.mtimeNs);
            set.files.push_back(std::move(file));
        }
    }
    return set;
}

std::u16string DefaultSetName(const CPackFolder& root, int64_t now) {
    std::u16string name;
    if (!root.children.empty()) name = root.children.front()->GetFileName().ToString();
    const std::time_t when = static_cast<std::time_t>(now);
    std::tm local{};
    localtime_r(&when, &local);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &local);
    return name.empty() ? zel::U16(date) : name + u" " + zel::U16(date);
}
