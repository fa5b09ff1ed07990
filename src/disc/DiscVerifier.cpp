#include "disc/DiscVerifier.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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
#include "support/UiText.h"

namespace {

constexpr size_t kChunk = 1 << 20;
constexpr size_t kMaxChecksumList = size_t{1} << 30;
constexpr size_t kMaxListed = 50;

// The files of an image or a drive, read through their extents on a
// descriptor of its own, so that the kernel reads ahead for each reader.
// An image that is not in the page cache is read past it (O_DIRECT): the
// kernel then neither fills the cache nor copies out of it, which would
// cost about as much processor time as the hashing itself.
class ImageReader {
public:
    ImageReader(const std::string& path, bool direct)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | (direct ? O_DIRECT : 0))),
          openError_(errno),
          buffer_(static_cast<char*>(std::aligned_alloc(kAlign, kChunk))),
          direct_(direct) {
        if (fd_ < 0 && direct && errno == EINVAL) {  // a file system without it
            fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            openError_ = errno;
            direct_ = false;
        }
        if (fd_ >= 0) ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    ~ImageReader() {
        if (fd_ >= 0) ::close(fd_);
    }
    ImageReader(const ImageReader&) = delete;
    ImageReader& operator=(const ImageReader&) = delete;

    // 0 or the errno of the open.
    int OpenError() const {
        if (!buffer_) return ENOMEM;
        return fd_ >= 0 ? 0 : openError_;
    }

    // Hashes or collects the file's bytes; 0 or an errno (EIO for a short read).
    int Read(const ImageFileLayout& file, Sha256* hash, std::string* bytes,
             const std::atomic<bool>* cancel, const std::function<void(uint64_t)>& advanced) {
        if (const int error = OpenError()) return error;
        for (const ImageExtent& extent : file.extents) {
            uint64_t offset = extent.block * ImageLayout::kBlock;
            uint64_t left = extent.size;
            while (left > 0) {
                if (cancel && cancel->load()) return ECANCELED;
                // Reads past the cache start and end on whole pages.
                const uint64_t start = direct_ ? offset / kAlign * kAlign : offset;
                const size_t skip = static_cast<size_t>(offset - start);
                size_t want = static_cast<size_t>(std::min<uint64_t>(left + skip, kChunk));
                if (direct_) want = (want + kAlign - 1) / kAlign * kAlign;
                const ssize_t got = ::pread(fd_, buffer_.get(), want, static_cast<off_t>(start));
                if (got < 0 && errno == EINTR) continue;
                if (got < 0 && errno == EINVAL && direct_) {
                    // Not for this file after all: through the cache then.
                    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_DIRECT);
                    direct_ = false;
                    continue;
                }
                if (got < 0) return errno;
                if (static_cast<size_t>(got) <= skip) return EIO;
                const size_t useful =
                    static_cast<size_t>(std::min<uint64_t>(static_cast<size_t>(got) - skip, left));
                const char* data = buffer_.get() + skip;
                if (hash) hash->Update(data, useful);
                if (bytes) bytes->append(data, useful);
                if (advanced) advanced(useful);
                offset += useful;
                left -= useful;
            }
        }
        return 0;
    }

private:
    struct Free {
        void operator()(char* p) const { std::free(p); }
    };
    static constexpr size_t kAlign = 4096;

    int fd_;
    int openError_;
    std::unique_ptr<char, Free> buffer_;
    bool direct_;
};

// Whether most of the file is in the page cache, as after it was written or
// read a moment ago; a file that cannot be asked counts as cached.
bool MostlyCached(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    struct stat st;
    bool cached = true;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        const size_t size = static_cast<size_t>(st.st_size);
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
        if (map != MAP_FAILED) {
            const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
            std::vector<unsigned char> resident((size + page - 1) / page);
            if (::mincore(map, size, resident.data()) == 0) {
                size_t in = 0;
                for (unsigned char r : resident)
                    in += r & 1;
                cached = in * 2 >= resident.size();
            }
            ::munmap(map, size);
        }
    }
    ::close(fd);
    return cached;
}

// An image file is read by as many threads as there are processors, each on
// the next file in block order: a cached image is hashed on every core, and a
// cold one is still read nearly straight through. A drive gets one reader, as
// its head would otherwise go back and forth between two files.
bool IsImageFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ParseList(const std::string& text, std::vector<ChecksumEntry>& entries, VerifyResult& result) {
    size_t badLine = 0;
    if (ParseChecksumList(text, entries, badLine)) return true;
    result.error = Tr16Format("チェックサムの一覧 {file} の {line} 行目を読めません。",
                              fmt::arg("file", kChecksumFile), fmt::arg("line", badLine));
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
        result.error = Tr16("イメージを読めませんでした。\n") + zel::DecodeFileName(error);
        return result;
    }
    std::vector<std::unique_ptr<ImageReader>> readers;
    const bool imageFile = IsImageFile(path);
    const unsigned count = imageFile ? std::max(1u, std::thread::hardware_concurrency()) : 1;
    // Past the cache only for an image file: a drive reads ahead for itself.
    const bool direct = imageFile && !MostlyCached(path);
    for (unsigned i = 0; i < count; ++i) {
        readers.push_back(std::make_unique<ImageReader>(path, direct));
        if (const int error = readers.back()->OpenError()) {
            result.error =
                Tr16("イメージを開けませんでした。\n") + zel::Utf8ToUtf16(zel::ErrorText(error));
            return result;
        }
    }
    std::string listText;
    const ImageFileLayout* listFile = layout.Find(kChecksumFile);
    if (!listFile || listFile->Size() > kMaxChecksumList) {
        result.error =
            Tr16Format("チェックサムの一覧 {file} がありません。Corvelin が書いたディスクですか？",
                       fmt::arg("file", kChecksumFile));
        return result;
    }
    std::vector<ChecksumEntry> entries;
    const int readError = readers[0]->Read(*listFile, nullptr, &listText, cancel, {});
    if (readError != 0 || !ParseList(listText, entries, result)) {
        if (readError != 0)
            result.error = Tr16("チェックサムの一覧を読めませんでした。\n") +
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
        result.error =
            Tr16Format("チェックサムの一覧 {file} を読めませんでした: {reason}",
                       fmt::arg("file", kChecksumFile), fmt::arg("reason", zel::ErrorText(error)));
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
    out += Tr16Format("{title} ({count} 件):\n", fmt::arg("title", title),
                      fmt::arg("count", paths.size()));
    for (size_t i = 0; i < paths.size() && i < kMaxListed; ++i)
        out += u"  /" + zel::ForDisplay(zel::DecodeFileName(paths[i])) + u"\n";
    if (paths.size() > kMaxListed)
        out += Tr16Format("  ほか {count} 件\n", fmt::arg("count", paths.size() - kMaxListed));
}

}  // namespace

VerifyResult VerifyMedium(const std::string& path, const std::atomic<bool>* cancel,
                          const DiscProgressSink& progress, DiscProgress base) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        VerifyResult result;
        result.error = Tr16("検証するディスクまたはイメージが見つかりません。\n") +
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
            return Tr16("検証を中止しました。\n");
        case VerifyResult::Outcome::Ok:
            return Tr16Format("{count} 個のファイルがすべてチェックサムと一致しました。\n",
                              fmt::arg("count", result.checked));
        case VerifyResult::Outcome::Differs:
            break;
    }
    std::u16string out;
    AppendPaths(Tr("見つからないファイル"), result.missing, out);
    AppendPaths(Tr("内容が異なるファイル"), result.changed, out);
    AppendPaths(Tr("読めないファイル"), result.unreadable, out);
    return out;
}
