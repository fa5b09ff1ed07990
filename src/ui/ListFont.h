#pragma once

#include <QFont>

#include <cstdint>
#include <string>

#include "settings/SettingsStore.h"
#include "ui/settings/DisplayFont.h"

// The list font of a stored face and height, by the rule of MakeListFont
// (DisplaySettings) in ui/settings/DisplayFont.h.
inline QFont MakeListFont(const std::u16string& face, int32_t height) {
    DisplaySettings stored;
    stored.fontFace = face;
    stored.fontSize = height;
    return MakeListFont(stored);
}
