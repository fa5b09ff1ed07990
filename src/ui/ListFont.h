#pragma once

#include <QFont>

#include <cstdint>
#include <string>

// A font from the stored face and height. The stored default "ＭＳ ゴシック"
// is rarely installed here, so the face is followed by families that are:
// "MS Gothic", "IPAGothic", "Noto Sans CJK JP" and the generic sans-serif.
// A negative height is a pixel size; a positive one the line height the
// font's metrics should come to; 0 keeps the default size.
QFont MakeListFont(const std::u16string& face, int32_t height);

// The stored height of a font chosen in a dialog: minus its pixel size.
int32_t StoredFontHeight(const QFont& font);
