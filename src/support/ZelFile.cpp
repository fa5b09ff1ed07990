#include "support/ZelFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

ZelFile::~ZelFile() {
    Close();
}

void ZelFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool ZelFile::OpenRead(const std::string& path) {
    Close();
    // Opened non-blocking so that a FIFO without a writer cannot hang the caller,
    // then switched back so that reads behave as usual.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    return true;
}

bool ZelFile::OpenWrite(const std::string& path) {
    Close();
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    fd_ = fd;
    return true;
}

uint32_t ZelFile::Read(void* buffer, uint32_t size) {
    lastCount_ = 0;
    if (fd_ < 0 || size == 0) return 0;
    auto* out = static_cast<char*>(buffer);
    while (lastCount_ < size) {
        const ssize_t n = ::read(fd_, out + lastCount_, size - lastCount_);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return lastCount_ = 0;
        if (n == 0) break;
        lastCount_ += static_cast<uint32_t>(n);
    }
    return lastCount_;
}

uint32_t ZelFile::Write(const void* buffer, uint32_t size) {
    lastCount_ = 0;
    if (fd_ < 0 || size == 0) return 0;
    const auto* in = static_cast<const char*>(buffer);
    while (lastCount_ < size) {
        const ssize_t n = ::write(fd_, in + lastCount_, size - lastCount_);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return lastCount_ = 0;
        lastCount_ += static_cast<uint32_t>(n);
    }
    return lastCount_;
}

uint32_t ZelFile::GetRemainingSize() {
    if (fd_ < 0) return 0;
    const off_t position = ::lseek(fd_, 0, SEEK_CUR);
    if (position < 0) return 0;
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    ::lseek(fd_, position, SEEK_SET);
    if (end <= position) return 0;
    return static_cast<uint32_t>(end - position);
}

uint32_t ZelFile::GetState() {
    return GetRemainingSize() != 0 ? 0 : 1;
}

uint32_t ZelFile::Seek(int32_t offset, uint32_t origin) {
    if (fd_ < 0) return kInvalidPosition;
    int whence;
    switch (origin) {
        case 0:
            whence = SEEK_SET;
            break;
        case 1:
            whence = SEEK_CUR;
            break;
        case 2:
            whence = SEEK_END;
            break;
        default:
            return 0;
    }
    const off_t position = ::lseek(fd_, offset, whence);
    return position < 0 ? kInvalidPosition : static_cast<uint32_t>(position);
}

uint32_t ZelFile::Tell() {
    if (fd_ < 0) return kInvalidPosition;
    const off_t position = ::lseek(fd_, 0, SEEK_CUR);
    return position < 0 ? kInvalidPosition : static_cast<uint32_t>(position);
}
