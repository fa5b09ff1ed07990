#include "cli/PackSummary.h"

#include <fmt/format.h>

#include "packing/CorvelinDoc.h"
#include "packing/PackFillRate.h"
#include "support/SizeFormat.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace {

std::string Grouped(uint64_t value) {
    return zel::Utf16ToUtf8(InsertThousandsSeparators(UInt64ToString(value)));
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
        out +=
            fmt::format("{:>6}  {:>10}  {:>18}  {:>15}  {:>6}", i + 1, Grouped(pack.items.size()),
                        Grouped(pack.used), zel::Utf16ToUtf8(FormatSize(pack.used, SizeUnit::MB)),
                        zel::Utf16ToUtf8(FormatFillRate(PackFillPerMille(pack.used, fullSize))));
        if (withImages)
            out += fmt::format("  {:>15}", zel::Utf16ToUtf8(FormatSize(images[i], SizeUnit::MB)));
        out += "\n";
        if (out.size() >= 65536) flush();
    }
    out += TrFormat(
        "合計: {packs} パック、{files} ファイル、{bytes} バイト (パックサイズ {size} バイト)\n",
        fmt::arg("packs", doc.packs.size()), fmt::arg("files", Grouped(totalFiles)),
        fmt::arg("bytes", Grouped(totalBytes)), fmt::arg("size", Grouped(fullSize)));
    flush();
}
