// Fixed-width text fields for labels and manifests. Widths count UTF-16 units; a text longer
// than the width keeps its left part, for all three functions.
#pragma once

#include <cstdint>
#include <string>

namespace vorlabws {

// Right-aligned, filled on the left with blanks.
std::u16string RiempiSin(const std::u16string& testo, int32_t l);
// Right-aligned, filled on the left with zeros.
std::u16string RiempiSinZero(const std::u16string& testo, int32_t l);
// Left-aligned, filled on the right with blanks.
std::u16string RiempiDes(const std::u16string& testo, int32_t l);

}  // namespace vorlabws
