// Renders ZPL to PNG offline: the machine's Node.js runs the tool's script with the
// zpl-renderer-js package installed beside it (npm ci in this folder). Each call runs one renderer
// process to its end; nothing is kept between calls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/failure.h"
#include "tools/label-preview/zpl_text.h"

namespace vorlabws {

// The renderer could not be run or rendered nothing; the message says why.
class RendererError : public Failure {
 public:
  using Failure::Failure;
};

// The PNG bytes of each label format of the text, in order, at 203 dpi on a label of `size`.
std::vector<std::string> RenderZpl(std::u16string_view zpl, LabelSize size);

}  // namespace vorlabws
