#include "packing/PackExporter.h"

#include <charconv>

#include "model/PackItem.h"
#include "support/AtomicFileWriter.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"
#include "support/ZelDebugLog.h"

namespace {

void AppendDecimal(std::string& out, uint64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

}  // namespace

bool CPackExporter::Export(const std::string& path, std::string& message,
                           zel::IFileSystem& fs) const {
    ZEL_DEBUG_LOG("export : start...");
    zel::AtomicFileWriter writer(fs);
    const bool opened = writer.Open(path);
    return Write(writer, opened, path, message);
}

bool CPackExporter::ExportToDescriptor(int fd, const std::string& name, std::string& message,
                                       zel::IFileSystem& fs) const {
    ZEL_DEBUG_LOG("export : start...");
    zel::AtomicFileWriter writer(fs);
    const bool opened = writer.OpenDescriptor(fd);
    return Write(writer, opened, name, message);
}

bool CPackExporter::Write(zel::AtomicFileWriter& writer, bool ok, const std::string& path,
                          std::string& message) const {
    constexpr size_t kChunk = 1 << 16;
    message.clear();
    std::string buffer;
    buffer.reserve(kChunk + 1024);
    std::u16string itemPath;
    // Files of one folder that follow each other share its encoded path.
    const CPackItem* lastFolder = nullptr;
    std::string folderBytes;
    uint64_t packNumber = 1;
    for (const PackBin& pack : packs_) {
        if (!ok) break;
        const std::vector<CPackItem*>& items = pack.items;
        for (size_t j = 0; j < items.size(); ++j) {
            // Items of a pack lie scattered in memory and each line is too much
            // work for the processor to reach the next one alone: fetch ahead.
            if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
            if (j + 8 < items.size()) items[j + 8]->PrefetchText();
            const CPackItem* item = items[j];
            if (item->HasWholePath()) {
                itemPath.clear();
                item->AppendPath(itemPath);
                zel::EncodeFileNameAppend(itemPath, buffer);
            } else {
                if (item->parent != lastFolder) {
                    lastFolder = item->parent;
                    itemPath.clear();
                    lastFolder->AppendPath(itemPath);
                    folderBytes.clear();
                    zel::EncodeFileNameAppend(itemPath, folderBytes);
                    if (folderBytes.empty() || folderBytes.back() != '/') folderBytes += '/';
                }
                buffer += folderBytes;
                zel::EncodeFileNameAppend(item->GetFileName(), buffer);
            }
            buffer.push_back('\t');
            AppendDecimal(buffer, item->GetSize());
            buffer.push_back('\t');
            if (item->group != NoGroup) AppendDecimal(buffer, item->group + 1);
            buffer.push_back('\t');
            AppendDecimal(buffer, packNumber);
            buffer.append("\t\r\n");
            if (buffer.size() >= kChunk) {
                ok = writer.Write(buffer);
                buffer.clear();
                if (!ok) break;
            }
        }
        ++packNumber;
    }
    if (ok && !buffer.empty()) ok = writer.Write(buffer);
    if (ok) ok = writer.Commit();

    if (!ok) {
        message = writer.AbortWithMessage(path);
        return false;
    }
    ZEL_DEBUG_LOG("export : finish!");
    return true;
}
