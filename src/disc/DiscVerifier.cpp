#include "disc/DiscVerifier.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <fmt/format.h>

#include "disc/ChecksumList.h"
#include "disc/ImageLayout.h"
#include "disc/Sha256.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace {

constexpr size_t kChunk = 1 << 20;
constexpr size_t kMaxChecksumList = size_t{1} << 30;
constexpr size_t kMaxListed = 50;

// The files of an image or a drive, read through their extents.
class ImageReader {
public:
    explicit ImageReader(int fd) : fd_(fd), buffer_(new char[kChunk]) {}

    // Hashes or collects the file's bytes; 0 or an errno (EIO for a short read).
    int Read(const ImageFileLayout& file, Sha256* hash, std::string* bytes,
             const std::atomic<bool>* cancel, ProgressMeter* meter) {
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
                if (meter) meter->Advance(static_cast<uint64_t>(got));
                offset += static_cast<uint64_t>(got);
                left -= static_cast<uint64_t>(got);
            }
        }
        return 0;
    }

private:
    int fd_;
    std::unique_ptr<char[]> buffer_;
};

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
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.error = u"イメージを開けませんでした。\n" + zel::Utf8ToUtf16(zel::ErrorText(errno));
        return result;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    ImageReader reader(fd);
    std::string listText;
    const ImageFileLayout* listFile = layout.Find(kChecksumFile);
    if (!listFile || listFile->Size() > kMaxChecksumList) {
        ::close(fd);
        result.error = zel::Utf8ToUtf16(
            fmt::format("チェックサムの一覧 {} がありません。Corvelin が書いたディスクですか？",
                        kChecksumFile));
        return result;
    }
    std::vector<ChecksumEntry> entries;
    int readError = reader.Read(*listFile, nullptr, &listText, cancel, nullptr);
    if (readError != 0 || !ParseList(listText, entries, result)) {
        ::close(fd);
        if (readError != 0)
            result.error = u"チェックサムの一覧を読めませんでした。\n" +
                           zel::Utf8ToUtf16(zel::ErrorText(readError));
        return result;
    }
    Sort(entries, layout);
    base.phase = DiscPhase::Verifying;
    base.total = 0;
    for (const ChecksumEntry& entry : entries)
        if (const ImageFileLayout* file = layout.Find(entry.path)) base.total += file->Size();
    ProgressMeter meter(base, progress);
    Sha256 hash;
    for (const ChecksumEntry& entry : entries) {
        const ImageFileLayout* file = layout.Find(entry.path);
        if (!file) {
            result.missing.push_back(entry.path);
            continue;
        }
        readError = reader.Read(*file, &hash, nullptr, cancel, &meter);
        if (readError == ECANCELED) {
            result.outcome = VerifyResult::Outcome::Cancelled;
            break;
        }
        const std::string hex = hash.FinishHex();
        ++result.checked;
        result.bytes += file->Size();
        if (readError != 0) {
            result.unreadable.push_back(entry.path);
        } else if (hex != entry.hex) {
            result.changed.push_back(entry.path);
        }
    }
    ::close(fd);
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
