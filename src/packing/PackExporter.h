#pragma once

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
    void FormatLines(size_t from, size_t to, FolderBytesCache& folders, std::string& out) const;

    const std::vector<PackBin>& packs_;
};
