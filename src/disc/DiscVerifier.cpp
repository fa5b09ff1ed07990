#include "disc/DiscVerifier.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <thread>

#include <fmt/format.h>

#include "disc/ChecksumList.h"
#include "disc/FileHasher.h"
#include "disc/ImageLayout.h"
#include "disc/Sha256.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace {

constexpr size_t kChunk = 1 << 20;
constexpr size_t kMaxChecksumList = size_t{1} << 30;
constexpr size_t kMaxListed = 50;

// The files of an image or a drive, read through their extents on a
// descriptor of its own, so that the kernel reads ahead for each reader.
class ImageReader {
public:
    explicit ImageReader(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), buffer_(new char[kChunk]) {
        if (fd_ >= 0) ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    ~ImageReader() {
        if (fd_ >= 0) ::close(fd_);
    }
    ImageReader(const ImageReader&) = delete;
    ImageReader& operator=(const ImageReader&) = delete;

    // 0 or the errno of the open.
    int OpenError() const { return fd_ >= 0 ? 0 : openError_; }

    // Hashes or collects the file's bytes; 0 or an errno (EIO for a short read).
    int Read(const ImageFileLayout& file, Sha256* hash, std::string* bytes,
             const std::atomic<bool>* cancel, const std::function<void(uint64_t)>& advanced) {
        if (fd_ < 0) return openError_;
        for (const ImageExtent& extent : file.extents) {
            uint64_t offset = extent.block * ImageLayout::kBlock;
            uint64_t left = extent.size;
            while (left > 0) {
                if (cancel && cancel->load()) return ECANCELED;
                const size_t want = static_cast<size_t>(std::min<uint64_t>(left, kChunk));
                const ssize_t got = ::pread(fd_, buffer_.get(), want, static_cast<off_t>(offset));
                if (got < 0 && errno == EINTR) continue;
                if (got < 0) return errno;
                if (got == 0) return EIO;
                if (hash) hash->Update(buffer_.get(), static_cast<size_t>(got));
                if (bytes) bytes->append(buffer_.get(), static_cast<size_t>(got));
                if (advanced) advanced(static_cast<uint64_t>(got));
                offset += static_cast<uint64_t>(got);
                left -= static_cast<uint64_t>(got);
            }
        }
        return 0;
    }

private:
    int fd_;
    int openError_ = errno;
    std::unique_ptr<char[]> buffer_;
};

// An image file is read by as many threads as there are processors, each on
// the next file in block order: a cached image is hashed on every core, and a
// cold one is still read nearly straight through. A drive gets one reader, as
// its head would otherwise go back and forth between two files.
unsigned Readers(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 1;
    return std::max(1u, std::thread::hardware_concurrency());
}

bool ParseList(const std::string& text, std::vector<ChecksumEntry>& entries, VerifyResult& result) {
    size_t badLine = 0;
    if (ParseChecksumList(text, entries, badLine)) return true;
    result.error = zel::Utf8ToUtf16(
        fmt::format("チェックサムの一覧 {} の {} 行目を読めません。", kChecksumFile, badLine));
    return false;
}

void Finish(VerifyResult& result) {
    if (result.outcome == VerifyResult::Outcome::Cancelled) return;
    const bool differs =
        !result.missing.empty() || !result.changed.empty() || !result.unreadable.empty();
    result.outcome = differs ? VerifyResult::Outcome::Differs : VerifyResult::Outcome::Ok;
}

void Sort(std::vector<ChecksumEntry>& entries, const ImageLayout& layout) {
    // In block order, so that a drive or a cold image is read straight through.
    auto firstBlock = [&](const ChecksumEntry& entry) {
        const ImageFileLayout* file = layout.Find(entry.path);
        return file && !file->extents.empty() ? file->extents.front().block : 0;
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const ChecksumEntry& a, const ChecksumEntry& b) {
                         return firstBlock(a) < firstBlock(b);
                     });
}

VerifyResult VerifyImage(const std::string& path, const std::atomic<bool>* cancel,
                         const DiscProgressSink& progress, DiscProgress base) {
    VerifyResult result;
    ImageLayout layout;
    std::string error;
    if (!layout.Load(path, error, cancel)) {
        if (cancel && cancel->load()) {
            result.outcome = VerifyResult::Outcome::Cancelled;
            return result;
        }
        result.error = u"イメージを読めませんでした。\n" + zel::DecodeFileName(error);
        return result;
    }
    std::vector<std::unique_ptr<ImageReader>> readers;
    for (unsigned i = 0, count = Readers(path); i < count; ++i) {
        readers.push_back(std::make_unique<ImageReader>(path));
        if (const int error = readers.back()->OpenError()) {
            result.error =
                u"イメージを開けませんでした。\n" + zel::Utf8ToUtf16(zel::ErrorText(error));
            return result;
        }
    }
    std::string listText;
    const ImageFileLayout* listFile = layout.Find(kChecksumFile);
    if (!listFile || listFile->Size() > kMaxChecksumList) {
        result.error = zel::Utf8ToUtf16(
            fmt::format("チェックサムの一覧 {} がありません。Corvelin が書いたディスクですか？",
                        kChecksumFile));
        return result;
    }
    std::vector<ChecksumEntry> entries;
    const int readError = readers[0]->Read(*listFile, nullptr, &listText, cancel, {});
    if (readError != 0 || !ParseList(listText, entries, result)) {
        if (readError != 0)
            result.error = u"チェックサムの一覧を読めませんでした。\n" +
                           zel::Utf8ToUtf16(zel::ErrorText(readError));
        return result;
    }
    Sort(entries, layout);
    base.phase = DiscPhase::Verifying;
    base.total = 0;
    std::vector<const ImageFileLayout*> files;
    for (const ChecksumEntry& entry : entries) {
        files.push_back(layout.Find(entry.path));
        if (files.back()) base.total += files.back()->Size();
    }
    ProgressMeter meter(base, progress);
    const std::atomic<bool> never{false};
    std::vector<std::string> hexes;
    std::vector<int> errors;
    HashEachOptions options;
    options.threads = static_cast<unsigned>(readers.size());
    options.stopAtFailure = false;
    HashEach(
        entries.size(),
        [&](size_t index, unsigned worker, std::string& hex, const std::atomic<bool>& stop,
            const std::function<void(uint64_t)>& advanced) {
            if (!files[index]) return ENOENT;
            Sha256 hash;
            const int error = readers[worker]->Read(*files[index], &hash, nullptr, &stop, advanced);
            if (error == 0) hex = hash.FinishHex();
            return error;
        },
        hexes, errors, cancel ? *cancel : never, [&](uint64_t done) { meter.Set(done); }, options);
    // In the list's block order, as one reader would have found them.
    for (size_t i = 0; i < entries.size(); ++i) {
        if (errors[i] == ECANCELED) {
            result.outcome = VerifyResult::Outcome::Cancelled;
            break;
        }
        if (!files[i]) {
            result.missing.push_back(entries[i].path);
            continue;
        }
        ++result.checked;
        result.bytes += files[i]->Size();
        if (errors[i] != 0) {
            result.unreadable.push_back(entries[i].path);
        } else if (hexes[i] != entries[i].hex) {
            result.changed.push_back(entries[i].path);
        }
    }
    meter.Finish();
    Finish(result);
    return result;
}

VerifyResult VerifyFolder(const std::string& root, const std::atomic<bool>* cancel,
                          const DiscProgressSink& progress, DiscProgress base) {
    VerifyResult result;
    std::string listText;
    const int error = zel::IFileSystem::Default().ReadFile(root + "/" + kChecksumFile,
                                                           kMaxChecksumList, listText);
    if (error != 0) {
        result.error = zel::Utf8ToUtf16(fmt::format("チェックサムの一覧 {} を読めませんでした: {}",
                                                    kChecksumFile, zel::ErrorText(error)));
        return result;
    }
    std::vector<ChecksumEntry> entries;
    if (!ParseList(listText, entries, result)) return result;
    base.phase = DiscPhase::Verifying;
    base.total = 0;
    for (const ChecksumEntry& entry : entries) {
        struct stat st;
        if (::stat((root + "/" + entry.path).c_str(), &st) == 0)
            base.total += static_cast<uint64_t>(st.st_size);
    }
    ProgressMeter meter(base, progress);
    for (const ChecksumEntry& entry : entries) {
        std::string hex;
        const int hashError = HashFile(root + "/" + entry.path, hex, cancel, [&](uint64_t bytes) {
            meter.Advance(bytes);
            result.bytes += bytes;
        });
        if (hashError == ECANCELED) {
            result.outcome = VerifyResult::Outcome::Cancelled;
            break;
        }
        ++result.checked;
        if (hashError == ENOENT || hashError == ENOTDIR) {
            result.missing.push_back(entry.path);
        } else if (hashError != 0) {
            result.unreadable.push_back(entry.path);
        } else if (hex != entry.hex) {
            result.changed.push_back(entry.path);
        }
    }
    meter.Finish();
    Finish(result);
    return result;
}

void AppendPaths(const char* title, const std::vector<std::string>& paths, std::u16string& out) {
    if (paths.empty()) return;
    out += zel::Utf8ToUtf16(fmt::format("{} ({} 件):\n", title, paths.size()));
    for (size_t i = 0; i < paths.size() && i < kMaxListed; ++i)
        out += u"  /" + zel::ForDisplay(zel::DecodeFileName(paths[i])) + u"\n";
    if (paths.size() > kMaxListed)
        out += zel::Utf8ToUtf16(fmt::format("  ほか {} 件\n", paths.size() - kMaxListed));
}

}  // namespace

VerifyResult VerifyMedium(const std::string& path, const std::atomic<bool>* cancel,
                          const DiscProgressSink& progress, DiscProgress base) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        VerifyResult result;
        result.error = u"検証するディスクまたはイメージが見つかりません。\n" +
                       zel::DecodeFileName(path) + u"\n" + zel::Utf8ToUtf16(zel::ErrorText(errno));
        return result;
    }
    if (S_ISDIR(st.st_mode)) return VerifyFolder(path, cancel, progress, base);
    return VerifyImage(path, cancel, progress, base);
}

std::u16string DescribeVerifyResult(const VerifyResult& result) {
    switch (result.outcome) {
        case VerifyResult::Outcome::NotChecked:
            return result.error;
        case VerifyResult::Outcome::Cancelled:
            return u"検証を中止しました。\n";
        case VerifyResult::Outcome::Ok:
            return zel::Utf8ToUtf16(fmt::format(
                "{} 個のファイルがすべてチェックサムと一致しました。\n", result.checked));
        case VerifyResult::Outcome::Differs:
            break;
    }
    std::u16string out;
    AppendPaths("見つからないファイル", result.missing, out);
    AppendPaths("内容が異なるファイル", result.changed, out);
    AppendPaths("読めないファイル", result.unreadable, out);
    return out;
}
