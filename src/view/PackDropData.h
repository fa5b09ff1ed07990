#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class CCorvelinDoc;
class CPackListView;

// A pack's files for dragging out of the window as text/uri-list: one file:
// URL per line, each ended by CR LF, in the pack's order. The URLs are made
// from the raw bytes of the paths (names that are not valid UTF-8 keep their
// bytes). An empty pack gives an empty list; nullopt when the document has no
// pack with that index.
std::optional<std::string> MakePackDropData(const CCorvelinDoc& doc, size_t packIndex);

// "file://" and the path's bytes, percent-encoded except for unreserved
// characters and "/".
std::string FileUrl(std::u16string_view path);

// The pack a drag starting on this row offers: packed mode, pack header rows
// of an existing pack only.
std::optional<size_t> DragPackIndex(const CPackListView& view, size_t row);
