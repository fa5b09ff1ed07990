#include "intake/NothingImported.h"

#include "intake/ImportSettings.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

std::u16string DescribeNothingImported(uint64_t refused, const CImportSettings& preset) {
    const std::string name =
        preset.name.empty()
            ? std::string(Tr("インポート設定（名前なし）"))
            : TrFormat("インポート設定「{name}」", fmt::arg("name", zel::Utf16ToUtf8(preset.name)));
    std::string text = Tr("ファイルは追加されませんでした。");
    if (refused > 0)
        text += "\n" + TrFormat("{count} 個のファイルが{preset}のフィルターで除外されました。",
                                fmt::arg("count", refused), fmt::arg("preset", name));
    if (preset.inputFilters.empty())
        text +=
            "\n" + TrFormat("{preset}には入力フィルターがありません。", fmt::arg("preset", name));
    return zel::Utf8ToUtf16(text);
}
