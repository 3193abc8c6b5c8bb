#include "couriers/dhl/manifest_text.h"

namespace vorlabws {
namespace {

// Characters a piece holds before the next record goes to a new one: large enough that each piece
// is a memory mapping of its own, which goes back to the system the moment it is freed.
constexpr size_t kPieceLength = 1 << 20;
// Room left in a piece for the record that fills it: a record is far shorter.
constexpr size_t kRecordRoom = 1 << 12;

}  // namespace

std::u16string& TextInPieces::Tail() {
  if (pieces_.empty() || pieces_.back().size() >= kPieceLength) {
    pieces_.emplace_back().reserve(kPieceLength + kRecordRoom);
  }
  return pieces_.back();
}

std::u16string TextInPieces::Whole() && {
  size_t length = 0;
  for (const std::u16string& piece : pieces_) length += piece.size();
  std::u16string whole;
  whole.reserve(length);
  for (std::u16string& piece : pieces_) {
    whole += piece;
    std::u16string().swap(piece);
  }
  pieces_.clear();
  return whole;
}

}  // namespace vorlabws
