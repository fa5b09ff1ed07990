#include "intake/SkippedEntry.h"

std::u16string DescribeSkipReason(SkipReason reason) {
    switch (reason) {
        case SkipReason::UnreadableFolder:
            return u"フォルダを読み込めませんでした";
        case SkipReason::StatFailed:
            return u"ファイルの情報を読み取れませんでした";
        case SkipReason::DanglingLink:
            return u"リンク先がありません";
        case SkipReason::LinkLoop:
            return u"リンクが循環しています";
        case SkipReason::SpecialFile:
            return u"特殊ファイルです";
        case SkipReason::ControlCharacter:
            return u"名前にタブまたは改行が含まれています";
        case SkipReason::PathTooLong:
            return u"パスが長すぎます（259 文字まで）";
        case SkipReason::MissingPath:
            return u"見つかりません";
        case SkipReason::AlreadyEntered:
            return u"このフォルダは既に読み込みました";
        case SkipReason::InsideDroppedPath:
            return u"ほかにドロップした項目に含まれています";
    }
    return u"読み込めませんでした";
}
