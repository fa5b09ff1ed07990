// The folder target of CDiscSetWriter: a pack's files copied into a folder
// the user names, usually the root of an external disk, with the same
// reserved folder a disc gets.
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <set>

#include <fmt/format.h>

#include "disc/DiscSetBuilder.h"
#include "disc/DiscSetWriter.h"
#include "disc/DiscVerifier.h"
#include "disc/FileSystemLimits.h"
#include "disc/FolderCopier.h"
#include "disc/SetIndexFormat.h"
#include "disc/Sha256.h"
#include "support/AtomicFileWriter.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace {

constexpr size_t kMaxListed = 20;
// Files copied between two syncs: one sync per file would cost a journal
// commit each, several times the copying of a pack of small files.
constexpr uint64_t kBatchBytes = 512ULL << 20;
constexpr size_t kBatchFiles = 4096;

std::u16string U8(const std::string& text) {
    return zel::Utf8ToUtf16(text);
}

std::u16string Listed(const std::u16string& heading, const std::vector<std::u16string>& lines) {
    std::u16string text = heading;
    for (size_t i = 0; i < lines.size() && i < kMaxListed; ++i)
        text += u"\n" + lines[i];
    if (lines.size() > kMaxListed)
        text +=
            U8("\n" + TrFormat("ほか {count} 件", fmt::arg("count", lines.size() - kMaxListed)));
    return text;
}

uint64_t RoundUp(uint64_t bytes, uint64_t block) {
    return block == 0 ? bytes : (bytes + block - 1) / block * block;
}

std::u16string Shown(const std::string& path) {
    return zel::ForDisplay(zel::DecodeFileName(path));
}

// A reserved folder left by this very set (a pack written again) may be
// replaced; one of another set or of unknown origin is the user's.
bool ReservedIsOurs(const std::string& folder, const std::string& setId, bool& present) {
    struct stat st;
    const std::string index = folder + "/" + kIndexFile;
    const std::string sums = folder + "/" + kChecksumFile;
    present = ::lstat(index.c_str(), &st) == 0 || ::lstat(sums.c_str(), &st) == 0;
    if (!present) return true;
    std::string text;
    if (zel::IFileSystem::Default().ReadFile(index, 64u << 20, text) != 0) return false;
    DiscSet other;
    std::u16string error;
    return ReadSetIndex(text, other, error) && other.id == setId;
}

// "/a/b": absolute, no empty, "." or ".." component, outside _CORVELIN.
bool IsPlainDiscPath(const std::u16string& path) {
    if (path.size() < 2 || path[0] != u'/' || path.back() == u'/') return false;
    for (size_t start = 1; start <= path.size();) {
        size_t end = path.find(u'/', start);
        if (end == std::u16string::npos) end = path.size();
        const std::u16string_view name(path.data() + start, end - start);
        if (name.empty() || name == u"." || name == u"..") return false;
        if (start == 1 && end < path.size() &&
            ::strcasecmp(zel::Utf16ToUtf8(std::u16string(name)).c_str(), kReservedFolder) == 0)
            return false;
        start = end + 1;
    }
    return true;
}

int MakeFolders(const std::string& root, const std::string& relative, std::set<std::string>& made) {
    for (size_t at = relative.find('/', 1); at != std::string::npos;
         at = relative.find('/', at + 1)) {
        const std::string folder = root + relative.substr(0, at);
        if (!made.insert(folder).second) continue;
        if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return errno;
    }
    return 0;
}

}  // namespace

CDiscSetWriter::PackOutcome CDiscSetWriter::WriteToFolder(
    DiscSetPack& pack, const std::vector<DiscSetFile*>& files, const std::string& sums,
    const std::string& index, const DiscWriteOptions& options, IDiscWriterHost& host,
    const std::atomic<bool>& cancel) {
    const uint32_t count = static_cast<uint32_t>(set_.packs.size());
    // The set file keeps the checksums from here on: a resume tells a file
    // copied complete from anything else by them.
    if (!Save()) return PackOutcome::Stopped;
    const std::vector<const DiscSetFile*> constFiles(files.begin(), files.end());
    // A set file is text anyone can edit: a path that leaves the folder or
    // lands in the reserved one is refused before anything is asked.
    for (const DiscSetFile* file : files)
        if (!IsPlainDiscPath(file->discPath)) {
            Fail(pack, Tr16("セットのパスが正しくありません: ") + zel::ForDisplay(file->discPath));
            return PackOutcome::Failed;
        }

    std::string folder;
    std::vector<size_t> toCopy;
    std::u16string problem;
    for (;;) {
        folder.clear();
        const MediumAnswer answer = host.AskForFolder(pack.number, count, problem, folder);
        if (answer != MediumAnswer::Go) {
            if (!problem.empty()) Fail(pack, problem);
            if (answer == MediumAnswer::Stop) return PackOutcome::Stopped;
            return answer == MediumAnswer::Redo ? PackOutcome::Redo : PackOutcome::Skipped;
        }
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        struct stat st;
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            problem = Tr16("フォルダーが見つかりません: ") + Shown(folder);
            continue;
        }
        const std::vector<std::u16string> unfit =
            FindUnfitFiles(TargetFileSystemOf(folder), constFiles);
        if (!unfit.empty()) {
            problem = Listed(Tr16("このフォルダーのファイルシステムに置けないファイルがあります:"),
                             unfit);
            continue;
        }
        // Files already there: complete copies of this pack are kept, anything
        // else is the user's and stays untouched.
        std::vector<std::u16string> clashes;
        toCopy.clear();
        for (size_t i = 0; i < files.size(); ++i) {
            const std::string target = folder + zel::EncodeFileName(files[i]->discPath);
            struct stat there;
            if (::lstat(target.c_str(), &there) != 0) {
                // ENOTDIR: a file of the user's where the pack wants a folder.
                if (errno == ENOENT) {
                    toCopy.push_back(i);
                } else {
                    clashes.push_back(zel::ForDisplay(files[i]->discPath));
                }
                continue;
            }
            std::string hex;
            if (!S_ISREG(there.st_mode) || static_cast<uint64_t>(there.st_size) != files[i]->size ||
                HashFile(target, hex, &cancel) != 0 || hex != files[i]->sha256)
                clashes.push_back(zel::ForDisplay(files[i]->discPath));
            if (cancel.load()) {
                Fail(pack, Tr16("中止しました。"));
                return PackOutcome::Cancelled;
            }
        }
        bool reservedPresent = false;
        if (!ReservedIsOurs(folder, set_.id, reservedPresent))
            clashes.push_back(zel::DecodeFileName(std::string("/") + kReservedFolder));
        if (!clashes.empty()) {
            problem = Listed(
                Tr16("フォルダーに同じ名前の別のファイルがあります（上書きしません）:"), clashes);
            continue;
        }
        struct statvfs fsInfo;
        if (::statvfs(folder.c_str(), &fsInfo) == 0) {
            const uint64_t block = fsInfo.f_bsize;
            uint64_t need = RoundUp(sums.size(), block) + RoundUp(index.size(), block);
            for (size_t i : toCopy)
                need += RoundUp(files[i]->size, block);
            const uint64_t free = static_cast<uint64_t>(fsInfo.f_bavail) * fsInfo.f_frsize;
            if (need > free) {
                problem = Tr16Format(
                    "フォルダーの空き容量が足りません（必要 {needed} バイト、空き {free} "
                    "バイト）。",
                    fmt::arg("needed", need), fmt::arg("free", free));
                continue;
            }
        }
        break;
    }

    DiscProgress writing;
    writing.phase = DiscPhase::Writing;
    writing.pack = pack.number;
    writing.packCount = count;
    for (size_t i : toCopy)
        writing.total += files[i]->size;
    const DiscProgressSink sink = [&host](const DiscProgress& p) { host.Progress(p); };
    ProgressMeter meter(writing, sink);
    std::set<std::string> folders;
    // The set's own name in each temporary name: a leftover is known as this
    // set's, and the next run of the set takes it away.
    const std::string tempPrefix = "/.cv-" + set_.id.substr(0, 12) + "-";
    struct Pending {
        size_t index;
        std::string temp, target;
    };
    std::vector<Pending> pending;
    uint64_t pendingBytes = 0;
    std::vector<std::u16string> changed;
    std::string failedPath;
    // Syncs a batch, then names its files. A source that changed after it was
    // hashed would not match its checksum: its copy never gets a name.
    const auto nameBatch = [&]() -> int {
        int error = pending.empty() ? 0 : SyncFileSystem(folder);
        if (error != 0) failedPath = folder;
        for (const Pending& p : pending) {
            uint64_t size = 0;
            int64_t mtimeNs = 0;
            const DiscSetFile& file = *files[p.index];
            if (error == 0 && (StatSource(zel::EncodeFileName(file.diskPath), size, mtimeNs) != 0 ||
                               size != file.size || mtimeNs != file.mtimeNs)) {
                changed.push_back(zel::ForDisplay(file.diskPath));
            } else if (error == 0) {
                error = RenameWithoutReplacing(p.temp, p.target);
                if (error != 0) failedPath = p.target;
            }
            ::unlink(p.temp.c_str());
        }
        pending.clear();
        pendingBytes = 0;
        return error;
    };
    for (size_t i : toCopy) {
        const DiscSetFile& file = *files[i];
        const std::string relative = zel::EncodeFileName(file.discPath);
        const std::string target = folder + relative;
        const std::string parent = target.substr(0, target.rfind('/'));
        const std::string temp = parent + tempPrefix + std::to_string(i) + ".tmp";
        int error = MakeFolders(folder, relative, folders);
        failedPath = target;
        if (error == 0)
            error = CopyToTemporary(zel::EncodeFileName(file.diskPath), temp, cancel,
                                    [&meter](uint64_t bytes) { meter.Advance(bytes); });
        if (error == 0) {
            pending.push_back({i, temp, target});
            pendingBytes += file.size;
            if (pendingBytes >= kBatchBytes || pending.size() >= kBatchFiles) error = nameBatch();
        }
        if (error != 0) {
            for (const Pending& p : pending)
                ::unlink(p.temp.c_str());
            if (error == ECANCELED) {
                Fail(pack, Tr16("中止しました。"));
                return PackOutcome::Cancelled;
            }
            Fail(pack, U8(Tr("コピーできませんでした: ") + zel::ErrorText(error) + "\n") +
                           Shown(failedPath));
            return PackOutcome::Failed;
        }
    }
    if (const int error = nameBatch(); error != 0) {
        Fail(pack,
             U8(Tr("コピーできませんでした: ") + zel::ErrorText(error) + "\n") + Shown(failedPath));
        return PackOutcome::Failed;
    }
    meter.Finish();
    if (!changed.empty()) {
        Fail(pack, Listed(Tr16("書き込み中に変わったファイルがあります:"), changed));
        return PackOutcome::Failed;
    }

    DiscSet medium = set_;
    for (DiscSetPack& other : medium.packs)
        other.reason.clear();
    const int64_t writtenAt = static_cast<int64_t>(std::time(nullptr));
    medium.packs[pack.number - 1].state = DiscPackState::Written;
    medium.packs[pack.number - 1].writtenAt = writtenAt;
    const std::string reserved = folder + "/" + kReservedFolder;
    int error = ::mkdir(reserved.c_str(), 0755) == 0 || errno == EEXIST ? 0 : errno;
    if (error == 0 && !zel::WriteFileAtomically(zel::IFileSystem::Default(),
                                                folder + "/" + kChecksumFile, sums, error))
        error = error == 0 ? EIO : error;
    if (error == 0 &&
        !zel::WriteFileAtomically(zel::IFileSystem::Default(), folder + "/" + kIndexFile,
                                  WriteSetIndex(medium, false), error))
        error = error == 0 ? EIO : error;
    if (error == 0) error = SyncFileSystem(folder);
    if (error != 0) {
        Fail(pack, U8(Tr("チェックサムと目録を書けませんでした: ") + zel::ErrorText(error)));
        return PackOutcome::Failed;
    }
    pack.state = DiscPackState::Written;
    pack.reason.clear();
    pack.writtenAt = writtenAt;
    pack.verifiedAt = 0;
    if (!Save()) return PackOutcome::Stopped;
    host.SetSaved(set_, pack.number);

    if (options.verify) {
        DiscProgress verifying;
        verifying.pack = pack.number;
        verifying.packCount = count;
        return VerifyWritten(pack, folder, verifying, host, cancel);
    }
    return PackOutcome::Written;
}
