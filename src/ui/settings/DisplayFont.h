#pragma once

#include <QColor>
#include <QFont>

#include <cstdint>

struct DisplaySettings;

// The list font of the stored FONT_FACE and FONT_SIZE. The stored face comes
// first, then faces that exist on Linux, so the Japanese default still finds a
// Japanese font. A negative size is a pixel size; a positive one is the cell
// height, met by the pixel size whose line height comes closest.
QFont MakeListFont(const DisplaySettings& settings);
// Stores a font back as face and negative pixel size.
void StoreListFont(const QFont& font, DisplaySettings& settings);

// Stored colours are 0x00BBGGRR.
QColor ColorFromStored(uint32_t bgr);
uint32_t StoredFromColor(const QColor& color);
