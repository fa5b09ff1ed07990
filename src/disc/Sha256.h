#pragma once

#include <openssl/evp.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// SHA-256 through libcrypto, which uses the CPU's SHA instructions where there
// are any: several times what a portable implementation reaches.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, size_t size);
    // 64 lower-case hex digits; the hash starts over afterwards.
    std::string FinishHex();

private:
    EVP_MD_CTX* ctx_;
};

// Hashes a whole file. progress, when given, gets the bytes read since its last
// call. Returns 0 or the errno of the failed open or read; ECANCELED when
// cancel was set.
int HashFile(const std::string& path, std::string& hex, const std::atomic<bool>* cancel = nullptr,
             const std::function<void(uint64_t)>& progress = {});
