// A text of a whole day's manifest, built by appending records and held in pieces of a fixed size,
// so that it never grows by copying itself: a text grown by doubling is, at its last growth, held
// twice over. The caller appends each record to Tail(); Whole() hands the text over in one piece.
#pragma once

#include <string>
#include <vector>

namespace vorlabws {

class TextInPieces {
 public:
  // The text to append the next record to: the last piece, or a new one when it is full.
  std::u16string& Tail();
  // The whole text. Each piece is freed as soon as it is copied, so the text is held about once.
  std::u16string Whole() &&;

 private:
  std::vector<std::u16string> pieces_;
};

}  // namespace vorlabws
