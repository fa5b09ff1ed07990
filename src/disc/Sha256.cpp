#include "disc/Sha256.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <stdexcept>

namespace {

// Large enough that the system calls cost nothing beside the hashing, small
// enough to stay in the second-level cache.
constexpr size_t kChunk = 1 << 20;

}  // namespace

Sha256::Sha256() : ctx_(EVP_MD_CTX_new()) {
    if (!ctx_ || EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(ctx_);
}

void Sha256::Update(const void* data, size_t size) {
    EVP_DigestUpdate(ctx_, data, size);
}

std::string Sha256::FinishHex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(ctx_, digest, &length);
    EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(static_cast<size_t>(length) * 2);
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

int HashFile(const std::string& path, std::string& hex, const std::atomic<bool>* cancel,
             const std::function<void(uint64_t)>& progress) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    Sha256 hash;
    int error = 0;
    for (;;) {
        if (cancel && cancel->load()) {
            error = ECANCELED;
            break;
        }
        const ssize_t got = ::read(fd, buffer.get(), kChunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        if (got == 0) break;
        hash.Update(buffer.get(), static_cast<size_t>(got));
        if (progress) progress(static_cast<uint64_t>(got));
    }
    ::close(fd);
    if (error == 0) hex = hash.FinishHex();
    return error;
}
