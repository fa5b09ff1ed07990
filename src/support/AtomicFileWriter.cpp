#include "support/AtomicFileWriter.h"

#include <sys/stat.h>

#include <cerrno>
#include <random>

namespace zel {
namespace {

constexpr size_t kBufferSize = 1 << 20;
constexpr int kTempAttempts = 100;

std::string TempName(const std::string& path) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 rng{std::random_device{}()};
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
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

}  // namespace

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
    const int statError = fs_.Lstat(path, st);
    if (statError != 0 && statError != ENOENT) return Fail(statError, "stat");
    const bool replace = statError == ENOENT || st.kind == FileKind::Regular;
    if (!replace) {
        // A link, FIFO or device: written where it is, never replaced.
        inPlace_ = true;
        const int error = fs_.OpenForWrite(path, false, 0666, fd_);
        if (error != 0) return Fail(error, "open");
        open_ = true;
        return true;
    }

    int error = EEXIST;
    for (int attempt = 0; attempt < kTempAttempts && error == EEXIST; ++attempt) {
        tempPath_ = TempName(path);
        error = fs_.OpenForWrite(tempPath_, true, 0666, fd_);
    }
    if (error != 0) {
        tempPath_.clear();
        return Fail(error, "create");
    }
    open_ = true;
    if (statError == 0) {
        // The new file keeps the permissions of the one it replaces.
        const int modeError = fs_.SetMode(fd_, st.mode & 07777);
        if (modeError != 0) {
            Fail(modeError, "chmod");
            Abort();
            return false;
        }
    }
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

}  // namespace zel
