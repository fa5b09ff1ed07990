#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Where each file's data lies in an ISO image, as xorriso reports it: the
// extents of every file, so that verifying reads the image (or the drive)
// directly, in block order, without extracting anything.
struct ImageExtent {
    uint64_t block = 0;  // 2,048-byte block of the image where it starts
    uint64_t size = 0;   // bytes
};

struct ImageFileLayout {
    std::vector<ImageExtent> extents;  // in file order
    uint64_t Size() const;
};

class ImageLayout {
public:
    static constexpr uint64_t kBlock = 2048;

    // Reads the layout of the image file or drive at device; false with
    // xorriso's complaint in error.
    [[nodiscard]] bool Load(const std::string& device, std::string& error,
                            const std::atomic<bool>* cancel = nullptr);

    // Parses the lines of "-find / -type f -exec report_lba" printed with
    // "-backslash_codes encode_output"; lines of other kinds are skipped.
    void AddReportLine(std::string_view line);

    // By path from the root without its leading "/", as bytes; null when absent.
    const ImageFileLayout* Find(const std::string& path) const;
    const std::unordered_map<std::string, ImageFileLayout>& Files() const { return files_; }

    // What xorriso calls the device: "stdio:" before a regular file's path.
    static std::string DriveAddress(const std::string& path);

private:
    std::unordered_map<std::string, ImageFileLayout> files_;
};

// xorriso's quoted and backslash-encoded text ('a'"'"'b\n') back to its bytes;
// false when it is not such a text.
bool DecodeXorrisoWord(std::string_view word, std::string& out);
