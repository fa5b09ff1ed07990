#include "disc/ImageIndexReader.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "disc/DiscVerifier.h"
#include "disc/XorrisoProcess.h"
#include "support/FileSystem.h"

bool LooksLikeImageName(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension == "iso" || extension == "img";
}

bool ReadImageIndex(zel::IFileSystem& fs, const std::string& image, size_t maxBytes,
                    std::string& text, std::string& error) {
    const char* base = std::getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/.corvelin-XXXXXX";
    if (!::mkdtemp(folder.data())) {
        error = "作業用のフォルダーを作れませんでした: " + zel::ErrorText(errno);
        return false;
    }
    const std::string out = folder + "/INDEX.TSV";
    XorrisoProcess xorriso;
    const int status =
        xorriso.Run({"-no_rc", "-pkt_output", "on", "-abort_on", "FAILURE", "-osirrox", "on",
                     "-indev", image, "-extract", std::string("/") + kIndexFile, out},
                    {});
    int readError = ENOENT;
    if (status == 0) readError = fs.ReadFile(out, maxBytes, text);
    fs.Remove(out);
    ::rmdir(folder.c_str());
    if (status == 0 && readError == 0) return true;
    if (status == 0) {
        error = "イメージのセット索引を読めませんでした: " + zel::ErrorText(readError);
    } else {
        std::string why = xorriso.ProblemText();
        if (why.empty()) why = status < 0 ? "xorriso を実行できません" : "xorriso が失敗しました";
        error = "イメージからセット索引 (" + std::string(kIndexFile) +
                ") を取り出せませんでした:\n" + why;
    }
    return false;
}
