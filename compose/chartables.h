// Character tables generated from Unicode data by tools/make-chartables.py (chartables.cpp):
// what ISO-2022-JP can carry and which characters take two columns.
#pragma once

#include <QtGlobal>

#include <span>

/// Code points from first to last, both included.
struct CodeRange
{
    char32_t first;
    char32_t last;
};

namespace CharTables {

/// Code points ISO-2022-JP carries (ASCII and JIS X 0208) outside U+4E00 to U+9FFF, sorted.
std::span<const CodeRange> iso2022JpOutsideIdeographs();
/// JIS X 0208's kanji: bit n of word w stands for U+4E00 + 64 w + n.
std::span<const quint64> iso2022JpIdeographs();
/// Code points of East Asian Width W, F or A, sorted.
std::span<const CodeRange> wide();

} // namespace CharTables
