#include "packing/GraftListWriter.h"

#include <cerrno>

#include <fmt/format.h>

#include "model/PackItem.h"
#include "support/AtomicFileWriter.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace {

size_t Digits(size_t count) {
    size_t digits = 2;
    for (size_t limit = 100; count >= limit && digits < 20; limit *= 10)
        ++digits;
    return digits;
}

std::string ShellQuote(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

bool HasLineBreak(std::string_view bytes) {
    return bytes.find_first_of("\r\n") != std::string_view::npos;
}

constexpr size_t kMaxRefusedShown = 20;
// As many links in a row as the kernel follows before it gives up (ELOOP).
constexpr int kMaxLinkHops = 40;

// The file a path names at the end of its links, joined as the kernel joins
// them (a relative target from the link's folder); the path itself when it is
// no link. A link that dangles now yields its missing target, so that the
// image maker reports it instead of storing a link.
std::string LinkTarget(const std::string& path, zel::IFileSystem& fs) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        zel::FileStat st;
        std::string target;
        if (fs.Lstat(current, st) != 0 || st.kind != zel::FileKind::Symlink ||
            fs.ReadLink(current, target) != 0 || target.empty()) {
            return current;
        }
        if (target.front() == '/') {
            current = target;
        } else {
            current.erase(current.rfind('/') + 1);  // to its folder, or empty
            current += target;
        }
    }
    return current;
}

}  // namespace

std::string EscapeGraftPath(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 8);
    for (char c : bytes) {
        if (c == '\\' || c == '=') out += '\\';
        out += c;
    }
    return out;
}

CGraftListWriter::CGraftListWriter(const CPackFolder& root, const std::vector<PackBin>& packs)
    : packs_(packs), discPaths_(root) {}

std::string CGraftListWriter::ListName(size_t pack, size_t count) {
    return fmt::format("pack{:0{}}.lst", pack, Digits(count));
}

std::string CGraftListWriter::VolumeLabel(size_t pack, size_t count) {
    return fmt::format("PACK_{:0{}}", pack, Digits(count));
}

std::string CGraftListWriter::ImageCommand(const std::string& folder, size_t pack, size_t count) {
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    const std::string list = ListName(pack, count);
    const std::string image = list.substr(0, list.size() - 4) + ".iso";
    // -iso-level 3 lets files of 4 GiB and more span several extents.
    return fmt::format(
        "xorrisofs -r -J -joliet-long -iso-level 3 -V {} -o {} -graft-points "
        "-path-list {}",
        VolumeLabel(pack, count), ShellQuote(base + image), ShellQuote(base + list));
}

bool CGraftListWriter::BuildList(size_t pack, std::string& out, std::vector<std::string>& refused,
                                 zel::IFileSystem& fs) const {
    out.clear();
    bool ok = true;
    for (const CPackItem* item : packs_.at(pack - 1).items) {
        const std::string disc = zel::EncodeFileName(discPaths_.DiscPath(*item));
        const std::string path = zel::EncodeFileName(item->GetPath());
        const std::string disk = LinkTarget(path, fs);
        if (HasLineBreak(disc) || HasLineBreak(disk)) {
            refused.push_back(path);
            ok = false;
            continue;
        }
        out += EscapeGraftPath(disc);
        out += '=';
        out += EscapeGraftPath(disk);
        out += '\n';
    }
    return ok;
}

bool CGraftListWriter::Write(const std::string& folder, std::string& message,
                             zel::IFileSystem& fs) const {
    message.clear();
    const size_t count = packs_.size();
    std::vector<std::string> lists(count);
    std::vector<std::string> refused;
    for (size_t pack = 1; pack <= count; ++pack)
        BuildList(pack, lists[pack - 1], refused, fs);
    if (!refused.empty()) {
        message =
            fmt::format("改行を含む名前はリストに書けないため、リストを作成しませんでした ({} 件):",
                        refused.size());
        for (size_t i = 0; i < refused.size() && i < kMaxRefusedShown; ++i)
            message += "\n  " + zel::Utf16ToUtf8(zel::ForDisplay(zel::DecodeFileName(refused[i])));
        return false;
    }

    zel::FileStat st;
    if (fs.Stat(folder, st) != 0) {
        const int error = fs.MakeFolder(folder, 0777);
        if (error != 0 && error != EEXIST) {
            message =
                "フォルダを作成できませんでした: " + folder + " (" + zel::ErrorText(error) + ")";
            return false;
        }
    } else if (st.kind != zel::FileKind::Directory) {
        message = "フォルダではありません: " + folder;
        return false;
    }
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (size_t pack = 1; pack <= count; ++pack) {
        const std::string path = base + ListName(pack, count);
        zel::AtomicFileWriter writer(fs);
        bool ok = writer.Open(path);
        if (ok) ok = writer.Write(lists[pack - 1]);
        if (ok) ok = writer.Commit();
        if (!ok) {
            message = writer.AbortWithMessage(path);
            return false;
        }
    }
    return true;
}
