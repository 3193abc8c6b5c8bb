#include "tools/label-preview/label_renderer.h"

#include <chrono>
#include <cstdio>
#include <sstream>

#include "platform/base64.h"
#include "platform/code_page.h"
#include "platform/process.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

// A label renders in about a second; a renderer that takes minutes has hung.
constexpr std::chrono::minutes kRendererTimeLimit{2};

std::u16string Millimetres(int dots) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(dots) / kDotsPerMillimetre);
  return Ascii(text);
}

std::string FirstLine(const std::string& text) {
  const std::string line = text.substr(0, text.find('\n'));
  return line.empty() ? "no message" : line;
}

}  // namespace

std::vector<std::string> RenderZpl(std::u16string_view zpl, LabelSize size) {
  StartOptions options;
  options.capture_output = true;
  const ProcessResult run =
      RunProcess(Utf8ToUtf16(VORLABWS_NODE),
                 {Utf8ToUtf16(VORLABWS_LABEL_RENDERER), Millimetres(size.width),
                  Millimetres(size.height), IntToText(kDotsPerMillimetre)},
                 options, TextForRenderer(zpl), kRendererTimeLimit);
  if (run.timed_out) throw RendererError("the renderer gave no answer within two minutes");
  if (run.exit_code != 0) throw RendererError(FirstLine(run.standard_error));
  std::vector<std::string> images;
  std::istringstream lines(run.standard_output);
  for (std::string line; std::getline(lines, line);) {
    try {
      images.push_back(DecodeBase64(Utf8ToUtf16(line)));
    } catch (const ConvertError&) {
      throw RendererError("the renderer wrote something other than images: " + line.substr(0, 40));
    }
  }
  if (images.empty()) throw RendererError("the renderer gave no image");
  return images;
}

}  // namespace vorlabws
