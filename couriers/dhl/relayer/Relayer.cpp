// The relay between a DHL label job and the courier's document-rendering service. Started by the
// worker as: Relayer.exe ADDRESS DATA_FOLDER REQUEST_FILE. Posts the bytes of
// DATA_FOLDER/REQUEST_FILE to ADDRESS as XML and leaves the reply body in
// DATA_FOLDER/out/REQUEST_FILE, complete or not at all. Exits 0 when the service accepted the
// request; otherwise 1 with one line on standard error, having left the service's answer as the
// reply only when it is an XML document that the job reads as the service's refusal.
#include <cstdio>
#include <exception>
#include <string>

#include "couriers/dhl/dhl_reply.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/xml.h"

namespace {

// An answer naming an "Error" or a "Validation Error" gives the job the service's own reason. Any
// other error answer (a web page, a fault, a document the job cannot read) must not pass for a
// reply: the job would take it for an accepted shipment without routing or labels.
bool IsRefusal(const std::string& body, const std::u16string& source) {
  try {
    const vorlabws::XmlDocument answer =
        vorlabws::XmlDocument::Parse(body, source, vorlabws::XmlBlanks::kDrop);
    return vorlabws::ReadReply(answer, source).error_outcome.has_value();
  } catch (const vorlabws::Failure&) {
    return false;
  }
}

void Relay(const std::u16string& address, const std::u16string& data_folder,
           const std::u16string& request_name) {
  const std::string request = vorlabws::ReadFileBytes(data_folder + u"/" + request_name);
  vorlabws::HttpClient client;
  const vorlabws::HttpResponse response =
      client.Post(address, {{u"Content-Type", u"text/xml; charset=utf-8"}}, request);
  const std::u16string reply = data_folder + u"/out/" + request_name;
  const bool accepted = response.status >= 200 && response.status <= 299;
  if (accepted || IsRefusal(response.body, address)) {
    vorlabws::WriteFileReplacing(reply, response.body);
  }
  if (!accepted) {
    throw vorlabws::Failure(vorlabws::Utf16ToUtf8(address) + " answered " +
                            std::to_string(response.status) + " " +
                            vorlabws::Utf16ToUtf8(response.status_text));
  }
}

void ReportLine(const std::string& text) {
  std::fprintf(stderr, "Relayer.exe: %s\n", text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    ReportLine("usage: Relayer.exe ADDRESS DATA_FOLDER REQUEST_FILE");
    return 1;
  }
  try {
    Relay(vorlabws::Utf8ToUtf16(argv[1]), vorlabws::Utf8ToUtf16(argv[2]),
          vorlabws::Utf8ToUtf16(argv[3]));
    return 0;
  } catch (const std::exception& failure) {
    ReportLine(failure.what());
    return 1;
  }
}
