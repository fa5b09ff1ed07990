#include "disc/SetFileStore.h"

#include <cerrno>
#include <cstdlib>
#include <random>

#include "disc/SetIndexFormat.h"
#include "support/AtomicFileWriter.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace {

// A set of a million files is a few hundred megabytes of text at most.
constexpr size_t kMaxSetFile = size_t{2} << 30;

int MakeFolders(zel::IFileSystem& fs, const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        const int error = fs.MakeFolder(part, 0755);
        if (error != 0 && error != EEXIST) return error;
        if (slash == std::string::npos) return 0;
    }
}

std::u16string PathMessage(const char* what, const std::string& path, int error) {
    return zel::U16(what) + u"\n" + zel::DecodeFileName(path) + u"\n" +
           zel::Utf8ToUtf16(zel::ErrorText(error));
}

}  // namespace

std::string SetsFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.local/share";
    }
    return base + "/Tessoly/Corvelin/sets";
}

std::string SetFilePath(const DiscSet& set) {
    return SetsFolder() + "/" + set.id + ".cvset";
}

std::string NewSetId() {
    std::random_device random;
    static const char kHex[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 32; ++i)
        id += kHex[random() & 15];
    return id;
}

bool SaveSetFile(zel::IFileSystem& fs, const std::string& path, const DiscSet& set,
                 std::u16string& message) {
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        const int error = MakeFolders(fs, path.substr(0, slash));
        if (error != 0) {
            message = PathMessage("セットファイルのフォルダーを作れませんでした。",
                                  path.substr(0, slash), error);
            return false;
        }
    }
    int error = 0;
    if (!zel::WriteFileAtomically(fs, path, WriteSetIndex(set, true), error)) {
        message = PathMessage("セットファイルに書き込めませんでした。", path, error);
        return false;
    }
    return true;
}

bool LoadSetFile(zel::IFileSystem& fs, const std::string& path, DiscSet& set,
                 std::u16string& message) {
    std::string text;
    const int error = fs.ReadFile(path, kMaxSetFile, text);
    if (error != 0) {
        message = PathMessage("セットファイルを読めませんでした。", path, error);
        return false;
    }
    std::u16string why;
    if (!ReadSetIndex(text, set, why)) {
        message = u"セットファイルを読めませんでした。\n" + zel::DecodeFileName(path) + u"\n" + why;
        return false;
    }
    return true;
}
