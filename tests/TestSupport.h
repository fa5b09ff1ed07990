#pragma once
// Helpers shared by the core tests: a temporary folder that cleans up after
// itself, and small file builders.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "support/TextCodec.h"

namespace testing_support {

class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/corvelin-test-XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        // Give back the permissions a test took away, then delete the tree.
        namespace fs = std::filesystem;
        std::error_code error;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
        for (fs::recursive_directory_iterator it(path_, error), end; it != end; it.increment(error))
            if (it->symlink_status(error).type() == fs::file_type::directory)
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(path_, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

// A file of the given apparent size that takes no disk space.
inline void MakeSparseFile(const std::string& path, unsigned long long size) {
    WriteFile(path, "");
    if (::truncate(path.c_str(), static_cast<off_t>(size)) != 0)
        throw std::runtime_error("cannot make sparse " + path);
}

inline void MakeDir(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0) throw std::runtime_error("cannot mkdir " + path);
}

// Empty when the file cannot be opened.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::u16string U(const std::string& utf8) {
    return zel::Utf8ToUtf16(utf8);
}

}  // namespace testing_support
