// A tree built from the input is packed and exported; the export read back
// must list every file once with its path bytes, size, group and pack, and the
// packs must keep groups whole, respect the limit and be first-fit.

#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "FuzzCheck.h"
#include "packing/CorvelinDoc.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace {

constexpr size_t kMaxItems = 128;

struct Line {
    std::string path;
    std::string size;
    std::string group;
    uint64_t pack;
};

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(
            text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + separator.size();
    }
}

bool IsDecimal(const std::string& text) {
    return !text.empty() && text.size() <= 20 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           (text == "0" || text[0] != '0');
}

std::string ReadAll(int fd) {
    std::string text;
    FUZZ_CHECK(lseek(fd, 0, SEEK_SET) == 0);
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        FUZZ_CHECK(n >= 0);
        if (n == 0) return text;
        text.append(buffer, static_cast<size_t>(n));
    }
}

bool PathLess(std::u16string_view a, std::u16string_view b) {
    const int c = ComparePathsNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
}

std::vector<Line> ParseExport(const std::string& text) {
    std::vector<Line> lines;
    if (text.empty()) return lines;
    FUZZ_CHECK(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
    for (const std::string& raw : Split(text.substr(0, text.size() - 2), "\r\n")) {
        FUZZ_CHECK(raw.find_first_of("\r\n") == std::string::npos);
        const std::vector<std::string> fields = Split(raw, "\t");
        FUZZ_CHECK(fields.size() == 5 && fields[4].empty());
        FUZZ_CHECK(IsDecimal(fields[1]));
        FUZZ_CHECK(fields[2].empty() || IsDecimal(fields[2]));
        FUZZ_CHECK(IsDecimal(fields[3]));
        lines.push_back(Line{fields[0], fields[1], fields[2], std::stoull(fields[3])});
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    CCorvelinDoc doc;
    const uint64_t limit = in.ConsumeBool() ? in.ConsumeIntegralInRange<uint64_t>(0, 5000)
                                            : in.ConsumeIntegral<uint64_t>();
    // High item numbers make the packing index its files in a sorted table
    // instead of an array; numbers stay below the 32-bit signed limit it needs.
    if (in.ConsumeBool()) doc.nextItemId = in.ConsumeIntegralInRange<uint32_t>(1, 0x7FFFFF00);
    const uint32_t groups = in.ConsumeIntegralInRange<uint32_t>(0, 6);
    for (uint32_t g = 0; g < groups; ++g)
        doc.NewGroup();

    // Folders with the raw bytes of their paths; the root's path is empty.
    std::vector<std::pair<CPackFolder*, std::string>> folders{{&doc.root, ""}};
    std::vector<CPackItem*> files;
    std::map<const CPackItem*, std::string> pathBytes;
    while (in.remaining_bytes() > 0 && files.size() + folders.size() < kMaxItems) {
        const uint8_t kind = in.ConsumeIntegral<uint8_t>();
        const std::string name = in.ConsumeRandomLengthString(40);
        // A scan never takes such names: they would break the export's lines.
        if (name.find_first_of("\t\r\n") != std::string::npos) continue;
        auto& [parent, parentBytes] =
            folders[in.ConsumeIntegralInRange<size_t>(0, folders.size() - 1)];
        const std::string bytes = parentBytes + "/" + name;
        const std::u16string path = zel::DecodeFileName(bytes);
        if (kind & 1) {
            auto folder = CPackFolder::Create(doc.nextItemId++, path, 0);
            CPackFolder* raw = folder.get();
            parent->AppendChild(folder);
            folders.emplace_back(raw, bytes);
            continue;
        }
        const uint64_t fileSize = (kind & 2) ? in.ConsumeIntegral<uint64_t>()
                                             : in.ConsumeIntegralInRange<uint64_t>(0, 3000);
        auto item = CPackItem::Create(doc.nextItemId++, path, fileSize);
        // Now and then a group number the counter never handed out.
        if (kind & 4) item->group = (kind >> 4) % (groups + 2);
        files.push_back(item.get());
        pathBytes[item.get()] = bytes;
        parent->AppendChild(item);
    }
    // Some folders grouped whole, as the group command does.
    for (size_t f = 1; f < folders.size() && in.remaining_bytes() > 0; ++f) {
        const uint8_t choice = in.ConsumeIntegral<uint8_t>();
        if (choice % 4 == 0) doc.SetItemGroup(choice / 4 % (groups + 1), folders[f].first->GetId());
    }

    FUZZ_CHECK(doc.Pack(limit));
    FUZZ_CHECK(doc.packResults.size() == doc.packs.size());

    const int fd = memfd_create("fuzz_export", 0);
    FUZZ_CHECK(fd >= 0);
    std::string message;
    FUZZ_CHECK(doc.ExportPacksToDescriptor(fd, "memfd", message, zel::IFileSystem::Default()));
    const std::string text = ReadAll(fd);
    close(fd);
    const std::vector<Line> lines = ParseExport(text);
    FUZZ_CHECK(lines.size() == files.size());

    // Every file exactly once, with its own fields.
    using Key = std::tuple<std::string, std::string, std::string>;
    std::map<Key, int> expected;
    for (const CPackItem* file : files) {
        const std::string encoded = zel::EncodeFileName(file->GetPath());
        if (file->GetPath().size() <= kMaxPathUnits) FUZZ_CHECK(encoded == pathBytes[file]);
        const std::string group = file->group == NoGroup ? "" : std::to_string(file->group + 1);
        ++expected[Key{encoded, std::to_string(file->GetSize()), group}];
    }
    for (const Line& line : lines) {
        int& count = expected[Key{line.path, line.size, line.group}];
        FUZZ_CHECK(count > 0);
        --count;
    }

    // Packs numbered from 1 without gaps; in each, paths in path order; a group
    // in one pack; several entries only below the limit; and first fit: no entry
    // that opened a pack would have fitted in an earlier one.
    std::map<std::string, uint64_t> groupPack;
    std::vector<unsigned __int128> used(doc.packs.size() + 1, 0);
    std::vector<unsigned __int128> largest(doc.packs.size() + 1, 0);
    std::vector<std::map<std::string, unsigned __int128>> entries(doc.packs.size() + 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const uint64_t previous = i == 0 ? 1 : lines[i - 1].pack;
        FUZZ_CHECK(line.pack == previous || line.pack == previous + 1);
        FUZZ_CHECK(line.pack >= 1 && line.pack <= doc.packs.size());
        if (i > 0 && line.pack == previous) {
            FUZZ_CHECK(
                !PathLess(zel::DecodeFileName(line.path), zel::DecodeFileName(lines[i - 1].path)));
        }
        if (!line.group.empty()) {
            auto [at, inserted] = groupPack.emplace(line.group, line.pack);
            FUZZ_CHECK(inserted || at->second == line.pack);
        }
        const uint64_t fileSize = std::stoull(line.size);
        used[line.pack] += fileSize;
        // A single file is its own entry; a group's files make one.
        const std::string entry = line.group.empty() ? "file" + std::to_string(i) : line.group;
        entries[line.pack][entry] += fileSize;
    }
    FUZZ_CHECK(lines.empty() || lines.back().pack == doc.packs.size());
    for (size_t k = 1; k < entries.size(); ++k) {
        FUZZ_CHECK(!entries[k].empty());
        if (entries[k].size() > 1) FUZZ_CHECK(used[k] < limit);
        for (const auto& entry : entries[k])
            largest[k] = std::max(largest[k], entry.second);
    }
    for (size_t j = 2; j < entries.size(); ++j) {
        for (size_t i = 1; i < j; ++i)
            FUZZ_CHECK(used[i] + largest[j] >= limit);
    }
    return 0;
}
