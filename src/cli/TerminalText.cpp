#include "cli/TerminalText.h"

#include <fmt/format.h>

#include "support/TextCodec.h"

std::string EscapeForTerminal(std::string_view bytes) {
    const std::u16string text = zel::DecodeFileName(bytes);
    std::string out;
    out.reserve(bytes.size());
    size_t start = 0;  // the plain run not yet copied
    auto flush = [&](size_t end) {
        out += zel::EncodeFileName(std::u16string_view(text).substr(start, end - start));
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool raw = c >= 0xDC80 && c <= 0xDCFF;  // a byte that is not UTF-8
        if (!(c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || raw || c == u'\\')) continue;
        flush(i);
        start = i + 1;
        if (c == u'\\') {
            out += "\\\\";
        } else {
            out += fmt::format("\\x{:02X}", raw ? c - 0xDC00 : c);
        }
    }
    flush(text.size());
    return out;
}
