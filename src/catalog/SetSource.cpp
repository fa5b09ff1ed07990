#include "catalog/SetSource.h"

#include "disc/ImageIndexReader.h"
#include "disc/SetIndexFormat.h"
#include "support/TextCodec.h"

namespace catalog {

namespace {

// The index of a million files is some hundreds of megabytes.
constexpr size_t kMaxIndexBytes = size_t{4} << 30;

}  // namespace

bool ReadSetSource(zel::IFileSystem& fs, const std::string& path, DiscSet& set,
                   std::string& message) {
    zel::FileStat st;
    std::string file = path;
    const bool found = fs.Stat(path, st) == 0;
    if (found && st.kind == zel::FileKind::Directory) {
        file = path + "/_CORVELIN/INDEX.TSV";
    }
    const std::string shown = zel::Utf16ToUtf8(zel::ForDisplay(zel::DecodeFileName(file)));
    std::string text;
    // An image file or a drive holds the index inside its file system, which
    // xorriso reads for us.
    if (found && (st.kind == zel::FileKind::Other ||
                  (st.kind == zel::FileKind::Regular && LooksLikeImageName(path)))) {
        std::string error;
        if (!ReadImageIndex(fs, path, kMaxIndexBytes, text, error)) {
            message = shown + ": " + error;
            return false;
        }
    } else if (const int error = fs.ReadFile(file, kMaxIndexBytes, text); error != 0) {
        message = "セットを読めませんでした: " + shown + ": " + zel::ErrorText(error);
        return false;
    }
    std::u16string error;
    if (!ReadSetIndex(text, set, error)) {
        message = shown + ": " + zel::Utf16ToUtf8(error);
        return false;
    }
    return true;
}

}  // namespace catalog
