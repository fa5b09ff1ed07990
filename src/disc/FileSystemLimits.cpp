#include "disc/FileSystemLimits.h"

#include <sys/vfs.h>

#include <map>
#include <string_view>

#include "support/TextCodec.h"

namespace {

constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;
constexpr long kNtfsMagic = 0x5346544e;
constexpr long kNtfs3Magic = 0x7366746e;
constexpr uint64_t kFatFileLimit = 4ULL << 30;

// A byte that is not UTF-8 is kept in the path as U+DC80..U+DCFF.
bool IsRawByte(char16_t c) {
    return c >= 0xDC80 && c <= 0xDCFF;
}

bool WindowsRefuses(char16_t c) {
    return c < 0x20 || std::u16string_view(u"\"*:<>?\\|").find(c) != std::u16string_view::npos;
}

// The case these file systems ignore: ASCII, Latin-1, Greek, Cyrillic and
// the full-width Latin letters, which covers the names people meet.
char16_t Fold(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3A9) || (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
    return c;
}

std::u16string Folded(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        c = Fold(c);
    return out;
}

std::u16string Problem(const DiscSetFile& file, std::u16string_view why) {
    return zel::ForDisplay(file.discPath) + u": " + std::u16string(why);
}

}  // namespace

TargetFileSystem TargetFileSystemOf(const std::string& folder) {
    struct statfs st;
    if (::statfs(folder.c_str(), &st) != 0) return TargetFileSystem::Other;
    switch (static_cast<long>(st.f_type)) {
        case kMsdosMagic:
            return TargetFileSystem::Fat;
        case kExfatMagic:
            return TargetFileSystem::ExFat;
        case kNtfsMagic:
        case kNtfs3Magic:
            return TargetFileSystem::Ntfs;
        default:
            return TargetFileSystem::Other;
    }
}

std::vector<std::u16string> FindUnfitFiles(TargetFileSystem fs,
                                           const std::vector<const DiscSetFile*>& files) {
    std::vector<std::u16string> problems;
    if (fs == TargetFileSystem::Other) return problems;
    const bool windowsNames = fs == TargetFileSystem::Fat || fs == TargetFileSystem::ExFat;
    // Every folder and file path folded, with the first spelling seen: the
    // file system would put "A/x" and "a/y" in one folder, "b" over "B".
    std::map<std::u16string, std::u16string> spellings;
    for (const DiscSetFile* file : files) {
        const std::u16string& path = file->discPath;
        if (fs == TargetFileSystem::Fat && file->size >= kFatFileLimit) {
            problems.push_back(Problem(*file, u"FAT32 には 4 GiB 以上のファイルを置けません"));
            continue;
        }
        bool raw = false, refused = false, trailing = false;
        for (size_t i = 0; i < path.size(); ++i) {
            const char16_t c = path[i];
            raw = raw || IsRawByte(c);
            if (c == u'/') continue;
            refused = refused || WindowsRefuses(c);
            const bool endOfName = i + 1 == path.size() || path[i + 1] == u'/';
            trailing = trailing || (endOfName && (c == u'.' || c == u' '));
        }
        if (raw) {
            problems.push_back(
                Problem(*file, u"UTF-8 でない名前はこのファイルシステムに置けません"));
        } else if (windowsNames && refused) {
            problems.push_back(
                Problem(*file,
                        u"名前にこのファイルシステムで使えない文字（\" * : < > ? \\ | "
                        u"や制御文字）があります"));
        } else if (windowsNames && trailing) {
            problems.push_back(
                Problem(*file, u"名前の末尾の点や空白はこのファイルシステムで消されます"));
        }
        if (!windowsNames) continue;
        for (size_t end = path.find(u'/', 1);; end = path.find(u'/', end + 1)) {
            const std::u16string prefix = path.substr(0, end);
            const auto [at, added] = spellings.emplace(Folded(prefix), prefix);
            if (!added && at->second != prefix) {
                problems.push_back(Problem(*file, (u"大文字と小文字だけが違う名前があります: " +
                                                   zel::ForDisplay(at->second))));
                break;
            }
            if (end == std::u16string::npos) break;
        }
    }
    return problems;
}
