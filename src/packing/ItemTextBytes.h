#pragma once

#include <string>
#include <string_view>

#include "model/ItemText.h"
#include "support/TextCodec.h"

// Appends an item's text as the file-name bytes it came from.
inline void AppendFileNameBytes(ItemText text, std::string& out) {
    if (text.IsNarrow()) {
        zel::EncodeLatin1Append(
            std::string_view(reinterpret_cast<const char*>(text.NarrowUnits()), text.size()), out);
    } else {
        zel::EncodeFileNameAppend(std::u16string_view(text.WideUnits(), text.size()), out);
    }
}
