#include "support/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "support/TextCodec.h"

namespace zel {
namespace {

constexpr size_t kBufferSize = 1 << 20;
constexpr int kTempAttempts = 100;

constexpr int kMaxLinks = 40;  // as the kernel's own limit when following links
constexpr size_t kNameMax = 255;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TempName(const std::string& path) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 rng{std::random_device{}()};
    const std::string folder = FolderOf(path);
    std::string name = path.substr(folder.size());
    // "." + name + ".XXXXXX" must still be a valid name: shorten a long one.
    if (name.size() + 8 > kNameMax) name.resize(kNameMax - 8);
    std::string temp = folder + "." + name + ".";
    std::uniform_int_distribution<size_t> pick(0, sizeof kChars - 2);
    for (int i = 0; i < 6; ++i)
        temp.push_back(kChars[pick(rng)]);
    return temp;
}

// Special files that cannot be synced say so with one of these; their data is
// not lost by it.
bool SyncNotSupported(int error) {
    return error == EINVAL || error == EROFS || error == ENOTSUP;
}

// What stands behind /proc and /dev (standard output, a ">>" redirection's
// file) is written in place, whatever kind of file it turns out to be.
bool IsSystemPath(const std::string& path) {
    return path.rfind("/proc/", 0) == 0 || path.rfind("/dev/", 0) == 0;
}

// The descriptor a path names ("/dev/stdout", "/proc/self/fd/3"), or -1.
// Opening such a path anew would start at offset 0 and truncate a file that a
// ">>" redirection appends to; its descriptor is written instead.
int DescriptorOf(const std::string& path) {
    if (path == "/dev/stdout") return 1;
    if (path == "/dev/stderr") return 2;
    for (const std::string& prefix : {std::string("/dev/fd/"), std::string("/proc/self/fd/"),
                                      "/proc/" + std::to_string(::getpid()) + "/fd/"}) {
        if (path.rfind(prefix, 0) != 0 || path.size() == prefix.size()) continue;
        const std::string number = path.substr(prefix.size());
        if (number.find_first_not_of("0123456789") != std::string::npos || number.size() > 9) {
            return -1;
        }
        const int fd = std::stoi(number);
        return ::fcntl(fd, F_GETFD) >= 0 ? fd : -1;
    }
    return -1;
}

}  // namespace

// Follows path's chain of links. Returns true with target set to the regular
// file (or missing name) to replace, or false when the chain ends in a FIFO, a
// device, a folder or anything in /proc or /dev, which are written in place.
// error is set when a step could not be read.
bool AtomicFileWriter::FindReplaceable(const std::string& path, std::string& target, FileStat& st,
                                       int& statError, int& descriptor) {
    target = path;
    for (int step = 0; step <= kMaxLinks; ++step) {
        if ((descriptor = DescriptorOf(target)) >= 0) return false;
        statError = fs_.Lstat(target, st);
        if (statError == ENOENT) return step == 0;  // a dangling link is written in place
        if (statError != 0) return false;
        if (st.kind == FileKind::Regular) return true;
        if (st.kind != FileKind::Symlink || IsSystemPath(target)) return false;
        std::string text;
        if ((statError = fs_.ReadLink(target, text)) != 0) return false;
        if (!text.empty() && text[0] == '/') {
            target = text;
        } else {
            target = FolderOf(target);
            target += text;
        }
        if ((descriptor = DescriptorOf(target)) >= 0 || IsSystemPath(target)) return false;
    }
    statError = ELOOP;
    return false;
}

AtomicFileWriter::AtomicFileWriter(IFileSystem& fs) : fs_(fs) {}

AtomicFileWriter::~AtomicFileWriter() {
    if (open_) Abort();
}

bool AtomicFileWriter::Fail(int error, const char* step) {
    if (error_ == 0) {
        error_ = error != 0 ? error : EIO;
        step_ = step;
    }
    return false;
}

bool AtomicFileWriter::Open(const std::string& path) {
    if (open_) Abort();
    path_ = path;
    tempPath_.clear();
    buffer_.clear();
    error_ = 0;
    step_.clear();
    inPlace_ = false;
    ownsFd_ = true;
    fd_ = -1;

    FileStat st;
    int statError = 0;
    std::string target;
    int descriptor = -1;
    if (!FindReplaceable(path, target, st, statError, descriptor)) {
        if (descriptor >= 0) {
            const bool opened = OpenDescriptor(descriptor);
            path_ = path;
            return opened;
        }
        if (statError != 0 && statError != ENOENT) return Fail(statError, "stat");
        return OpenInPlace(path);
    }
    path_ = target;
    const bool exists = statError == 0;
    // A rename needs only a writable folder: never let it replace a file this
    // process could not have written.
    if (exists) {
        if (const int error = fs_.CheckWritable(target)) return Fail(error, "open");
    }

    int error = EEXIST;
    for (int attempt = 0; attempt < kTempAttempts && error == EEXIST; ++attempt) {
        tempPath_ = TempName(target);
        error = fs_.OpenForWrite(tempPath_, true, 0666, fd_);
    }
    if (error != 0) {
        tempPath_.clear();
        // A writable file in a folder that takes no new names: the one way
        // left is to truncate and write it where it is.
        if (exists && (error == EACCES || error == EPERM) && OpenInPlace(target)) return true;
        error_ = 0;
        return Fail(error, "create");
    }
    open_ = true;
    if (exists) {
        // The new file keeps the owner, group and permissions of the one it
        // replaces; a process that may not give it away keeps it as its own.
        // The mode comes last: a change of owner clears set-id bits.
        const int ownerError = fs_.SetOwner(fd_, st.owner, st.group);
        const int modeError =
            ownerError == 0 || ownerError == EPERM ? fs_.SetMode(fd_, st.mode & 07777) : ownerError;
        if (modeError != 0) {
            Fail(modeError, ownerError != 0 && ownerError != EPERM ? "chown" : "chmod");
            Abort();
            return false;
        }
    }
    return true;
}

bool AtomicFileWriter::OpenInPlace(const std::string& path) {
    inPlace_ = true;
    const int error = fs_.OpenForWrite(path, false, 0666, fd_);
    if (error != 0) return Fail(error, "open");
    open_ = true;
    return true;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
    if (!open_) return Fail(EBADF, "write");
    if (error_ != 0) return false;
    if (buffer_.size() + bytes.size() > kBufferSize) {
        if (!Flush()) return false;
        if (bytes.size() >= kBufferSize) {
            const int error = fs_.WriteAll(fd_, bytes.data(), bytes.size());
            return error == 0 || Fail(error, "write");
        }
    }
    buffer_.append(bytes);
    return true;
}

bool AtomicFileWriter::Flush() {
    if (buffer_.empty()) return true;
    const int error = fs_.WriteAll(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
    return error == 0 || Fail(error, "write");
}

bool AtomicFileWriter::OpenDescriptor(int fd) {
    if (open_) Abort();
    path_.clear();
    tempPath_.clear();
    buffer_.clear();
    error_ = 0;
    step_.clear();
    inPlace_ = true;
    ownsFd_ = false;
    fd_ = fd;
    if (fd < 0) return Fail(EBADF, "open");
    open_ = true;
    return true;
}

bool AtomicFileWriter::Commit() {
    if (!open_) return Fail(EBADF, "commit");
    if (error_ == 0 && Flush()) {
        const int syncError = fs_.Sync(fd_);
        if (syncError != 0 && !(inPlace_ && SyncNotSupported(syncError))) Fail(syncError, "sync");
    }
    if (error_ != 0) {
        Abort();
        return false;
    }
    const int closeError = ownsFd_ ? fs_.Close(fd_) : 0;
    fd_ = -1;
    if (closeError != 0) {
        Fail(closeError, "close");
        Abort();
        return false;
    }
    if (!inPlace_) {
        const int renameError = fs_.Rename(tempPath_, path_);
        if (renameError != 0) {
            Fail(renameError, "rename");
            Abort();
            return false;
        }
        tempPath_.clear();
    }
    open_ = false;
    return true;
}

void AtomicFileWriter::Abort() {
    if (fd_ >= 0) {
        if (ownsFd_) fs_.Close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        fs_.Remove(tempPath_);
        tempPath_.clear();
    }
    buffer_.clear();
    open_ = false;
}

bool WriteFileAtomically(IFileSystem& fs, const std::string& path, std::string_view contents,
                         int& error) {
    AtomicFileWriter writer(fs);
    const bool ok = writer.Open(path) && writer.Write(contents) && writer.Commit();
    error = ok ? 0 : writer.Error();
    return ok;
}

std::string AtomicFileWriter::AbortWithMessage(const std::string& path) {
    const int error = error_;
    Abort();
    std::string message =
        "ファイルに書き込めませんでした。\n" + Utf16ToUtf8(ForDisplay(DecodeFileName(path)));
    if (error != 0) message += "\n" + ErrorText(error);
    return message;
}

}  // namespace zel
