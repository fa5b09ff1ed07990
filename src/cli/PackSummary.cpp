#include "cli/PackSummary.h"

#include <fmt/format.h>

#include "packing/CorvelinDoc.h"
#include "packing/PackFillRate.h"
#include "support/SizeFormat.h"
#include "support/UiText.h"

namespace {

// The cells are ASCII: a byte is a column.
void AppendRight(std::string& out, const std::string& text, size_t width) {
    if (text.size() < width) out.append(width - text.size(), ' ');
    out += text;
}

}  // namespace

void WritePackSummary(std::FILE* stream, const CCorvelinDoc& doc, uint64_t fullSize,
                      const std::vector<uint64_t>& images) {
    const bool withImages = images.size() == doc.packs.size();
    std::string out;
    const auto flush = [&out, stream] {
        std::fwrite(out.data(), 1, out.size(), stream);
        out.clear();
    };
    // Japanese header cells take two columns per character, so each language's
    // header is padded by hand.
    out +=
        withImages
            ? Tr("パック  ファイル数          使用バイト           サイズ  使用率       イメージ\n")
            : Tr("パック  ファイル数          使用バイト           サイズ  使用率\n");
    uint64_t totalFiles = 0;
    uint64_t totalBytes = 0;
    for (size_t i = 0; i < doc.packs.size(); ++i) {
        const PackBin& pack = doc.packs[i];
        totalFiles += pack.items.size();
        totalBytes = pack.used > UINT64_MAX - totalBytes ? UINT64_MAX : totalBytes + pack.used;
        AppendRight(out, std::to_string(i + 1), 6);
        out += "  ";
        AppendRight(out, GroupedAscii(pack.items.size()), 10);
        out += "  ";
        AppendRight(out, GroupedAscii(pack.used), 18);
        out += "  ";
        AppendRight(out, FormatSizeAscii(pack.used, SizeUnit::MB), 15);
        out += "  ";
        AppendRight(out, FormatFillRateAscii(PackFillPerMille(pack.used, fullSize)), 6);
        if (withImages) {
            out += "  ";
            AppendRight(out, FormatSizeAscii(images[i], SizeUnit::MB), 15);
        }
        out += '\n';
        if (out.size() >= 65536) flush();
    }
    out += TrFormat(
        "合計: {packs} パック、{files} ファイル、{bytes} バイト (パックサイズ {size} バイト)\n",
        fmt::arg("packs", doc.packs.size()), fmt::arg("files", GroupedAscii(totalFiles)),
        fmt::arg("bytes", GroupedAscii(totalBytes)), fmt::arg("size", GroupedAscii(fullSize)));
    flush();
}
