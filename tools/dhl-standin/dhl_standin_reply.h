// The stand-in's answer to one rendering request: validation of the request, routing values derived
// from its addresses and product, and two rendered ZPL documents (the label and an archive copy).
#pragma once

#include <string>

namespace vorlabws::standin {

struct ReplyOptions {
  // Each print document is padded with ZPL comments to at least this many bytes.
  size_t document_bytes = 0;
};

// The reply document (UTF-8 bytes) to the request's bytes. A request that is not well-formed XML
// gets an "Error" message, one that fails validation "Validation Error" messages.
std::string RenderReply(const std::string& request, const ReplyOptions& options);

}  // namespace vorlabws::standin
