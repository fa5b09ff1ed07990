#include "intake/NothingImported.h"

#include "intake/ImportSettings.h"
#include "support/SizeFormat.h"

std::u16string DescribeNothingImported(uint64_t refused, const CImportSettings& preset) {
    const std::u16string name = preset.name.empty() ? std::u16string(u"インポート設定（名前なし）")
                                                    : u"インポート設定「" + preset.name + u"」";
    std::u16string text = u"ファイルは追加されませんでした。";
    if (refused > 0)
        text += u"\n" + UInt64ToString(refused) + u" 個のファイルが" + name +
                u"のフィルターで除外されました。";
    if (preset.inputFilters.empty()) text += u"\n" + name + u"には入力フィルターがありません。";
    return text;
}
