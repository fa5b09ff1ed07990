#include "packing/PackExporter.h"

#include <atomic>
#include <charconv>
#include <condition_variable>
#include <mutex>

#include "model/PackItem.h"
#include "packing/FolderBytesCache.h"
#include "packing/ItemTextBytes.h"
#include "support/AtomicFileWriter.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"
#include "support/TwoThreads.h"
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
    message.clear();
    if (ok) ok = WriteLines(writer);
    if (ok) ok = writer.Commit();
    if (!ok) {
        message = writer.AbortWithMessage(path);
        return false;
    }
    ZEL_DEBUG_LOG("export : finish!");
    return true;
}

// Runs of whole packs of about this many lines are formatted by one thread
// and written in turn: a million lines take two cores' worth of formatting.
constexpr size_t kChunkLines = 16384;

void CPackExporter::FormatLines(size_t worker, size_t from, size_t to, FolderBytesCache& folders,
                                std::string& out) const {
    std::u16string itemPath;
    for (size_t k = from; k < to; ++k) {
        const std::vector<CPackItem*>& items = packs_[k].items;
        char packNumber[24];
        const auto numberEnd = std::to_chars(packNumber, packNumber + sizeof packNumber, k + 1).ptr;
        for (size_t j = 0; j < items.size(); ++j) {
            // Items of a pack lie scattered in memory and each line is too much
            // work for the processor to reach the next one alone: fetch ahead.
            if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
            if (j + 8 < items.size()) items[j + 8]->PrefetchText();
            const CPackItem* item = items[j];
            if (item->HasWholePath()) {
                itemPath.clear();
                item->AppendPath(itemPath);
                zel::EncodeFileNameAppend(itemPath, out);
            } else {
                out += folders.PathOf(*item->parent);
                AppendFileNameBytes(item->GetFileName(), out);
            }
            out.push_back('\t');
            AppendDecimal(out, item->GetSize());
            out.push_back('\t');
            if (item->group != NoGroup) AppendDecimal(out, item->group + 1);
            out.push_back('\t');
            out.append(packNumber, numberEnd);
            out.append("\t\r\n");
        }
        if (alongside_) alongside_(worker, k);
    }
}

bool CPackExporter::WriteLines(zel::AtomicFileWriter& writer) const {
    // Chunk c is the packs [cuts[c], cuts[c + 1]).
    std::vector<size_t> cuts{0};
    size_t lines = 0;
    for (size_t k = 0; k < packs_.size(); ++k) {
        lines += packs_[k].items.size();
        if (lines >= kChunkLines || k + 1 == packs_.size()) {
            cuts.push_back(k + 1);
            lines = 0;
        }
    }
    const size_t chunks = cuts.size() - 1;

    std::mutex mutex;
    std::condition_variable turn;
    size_t written = 0;  // chunks written so far; the next one's turn
    bool failed = false;
    std::atomic<size_t> next{0};
    const auto work = [&](size_t worker) {
        FolderBytesCache folders;
        std::string buffer;
        for (size_t c = next++; c < chunks; c = next++) {
            buffer.clear();
            FormatLines(worker, cuts[c], cuts[c + 1], folders, buffer);
            std::unique_lock<std::mutex> lock(mutex);
            turn.wait(lock, [&] { return written == c || failed; });
            if (failed) return;
            // Writing under the lock keeps the chunks in order; the other
            // thread formats meanwhile.
            if (!writer.Write(buffer)) failed = true;
            ++written;
            turn.notify_all();
            if (failed) return;
        }
    };
    // Whatever ends a thread, the other must not wait for its turn for ever.
    const auto guarded = [&](size_t worker) {
        try {
            work(worker);
        } catch (...) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                failed = true;
            }
            turn.notify_all();
            throw;
        }
    };
    zel::RunOnTwoThreads(chunks >= 2, guarded);
    return !failed;
}
