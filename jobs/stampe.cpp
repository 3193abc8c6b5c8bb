#include "jobs/stampe.h"

namespace vorlabws {
namespace {

enum class Side { kLeft, kRight };

std::u16string Fill(const std::u16string& testo, int32_t l, char16_t fill, Side side) {
  if (l <= 0) return u"";
  const size_t width = static_cast<size_t>(l);
  if (testo.size() >= width) return testo.substr(0, width);
  const std::u16string padding(width - testo.size(), fill);
  return side == Side::kLeft ? padding + testo : testo + padding;
}

}  // namespace

std::u16string RiempiSin(const std::u16string& testo, int32_t l) {
  return Fill(testo, l, u' ', Side::kLeft);
}

std::u16string RiempiSinZero(const std::u16string& testo, int32_t l) {
  return Fill(testo, l, u'0', Side::kLeft);
}

std::u16string RiempiDes(const std::u16string& testo, int32_t l) {
  return Fill(testo, l, u' ', Side::kRight);
}

}  // namespace vorlabws
