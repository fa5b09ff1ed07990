#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "packing/PackRecords.h"

class FolderBytesCache;

namespace zel {
class AtomicFileWriter;
class IFileSystem;
}  // namespace zel

// Writes packs as tab-separated UTF-8, one line per file: path, size, group
// number shown (empty for none), pack number, then CR LF. A failure gives false
// and a message naming the target; the previous file is then untouched.
class CPackExporter {
public:
    explicit CPackExporter(const std::vector<PackBin>& packs) : packs_(packs) {}

    // Work on each pack beside its lines: called on the thread that has just
    // formatted them, while its items are at hand, with that thread's worker
    // number (0 on the caller's, 1 on the second; see SplitPackWork). Packs
    // after a failed write may never come.
    using PackWork = std::function<void(size_t worker, size_t pack)>;
    void SetAlongside(PackWork work) { alongside_ = std::move(work); }

    // Into a file: written beside it and renamed over it (see AtomicFileWriter).
    bool Export(const std::string& path, std::string& message, zel::IFileSystem& fs) const;
    // Into a descriptor that stays open and is never replaced (standard output);
    // name is what messages call it.
    bool ExportToDescriptor(int fd, const std::string& name, std::string& message,
                            zel::IFileSystem& fs) const;

private:
    bool Write(zel::AtomicFileWriter& writer, bool ok, const std::string& path,
               std::string& message) const;
    // Every line, formatted on two threads and written in order.
    bool WriteLines(zel::AtomicFileWriter& writer) const;
    void FormatLines(size_t worker, size_t from, size_t to, FolderBytesCache& folders,
                     std::string& out) const;

    const std::vector<PackBin>& packs_;
    PackWork alongside_;
};
