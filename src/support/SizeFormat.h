#pragma once
// Decimal and byte-size texts for the list and the export, independent of the
// locale: ',' groups thousands and '.' is the decimal point.

#include <cstdint>
#include <string>
#include <string_view>

// How a size is shown; the numbers are the stored DISP_SIZE_UNIT values.
enum SizeUnit { Auto = 0, Byte = 1, KB = 2, MB = 3 };

std::u16string Int64ToString(int64_t value);
std::u16string UInt64ToString(uint64_t value);

// "," before every group of three counted from the right; a leading sign counts
// as a digit. Texts shorter than three units come back unchanged.
std::u16string InsertThousandsSeparators(std::u16string_view text);

// Auto: the byte count below 1024, else three significant digits (truncated)
// with KB, MB, GB, TB, PB or EB in steps of 1024 ("1.50 KB", "22.9 KB", "0.97 MB").
// Byte: "1,234,567". KB: kilobytes rounded up, "1,235 KB". MB: tenths of a
// mebibyte rounded down, "4,482.2 MB". A unit outside 0..3 gives "".
std::u16string FormatSize(uint64_t bytes, int unit);
// The same texts in ASCII, for output that is UTF-8 anyway: "1,234,567" and
// FormatSize's. Short enough to need no heap.
std::string GroupedAscii(uint64_t value);
std::string FormatSizeAscii(uint64_t bytes, int unit);

// The list's sizes: a stored unit of 1, 2 or 3 selects Byte, KB or MB, anything
// else Auto.
std::u16string FormatDisplaySize(uint64_t bytes, int storedUnit);
