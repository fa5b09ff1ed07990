#include "intake/SkippedEntry.h"
#include "support/UiText.h"

std::u16string DescribeSkipReason(SkipReason reason) {
    switch (reason) {
        case SkipReason::UnreadableFolder:
            return Tr16("フォルダを読み込めませんでした");
        case SkipReason::StatFailed:
            return Tr16("ファイルの情報を読み取れませんでした");
        case SkipReason::DanglingLink:
            return Tr16("リンク先がありません");
        case SkipReason::LinkLoop:
            return Tr16("リンクが循環しています");
        case SkipReason::SpecialFile:
            return Tr16("特殊ファイルです");
        case SkipReason::ControlCharacter:
            return Tr16("名前にタブまたは改行が含まれています");
        case SkipReason::PathTooLong:
            return Tr16("パスが長すぎます（259 文字まで）");
        case SkipReason::MissingPath:
            return Tr16("見つかりません");
        case SkipReason::AlreadyEntered:
            return Tr16("このフォルダは既に読み込みました");
        case SkipReason::InsideDroppedPath:
            return Tr16("ほかにドロップした項目に含まれています");
    }
    return Tr16("読み込めませんでした");
}
