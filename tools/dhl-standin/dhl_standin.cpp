// A stand-in for the DHL document-rendering service, listening on loopback. Usage:
//   dhl-standin [PORT]      (0 or none: a free port)
// Prints the service address on its first line of standard output, then serves until it is ended.
// Query parameters of the address, for tests: reply=malformed (a cut document), delay_ms=N (answers
// after N milliseconds), document_bytes=N (print documents of at least N bytes), status=N (answers
// with that HTTP status and no body, or with body=reply the reply it would give anyway, body=page
// a web page naming the status, body=fault a SOAP fault).
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tools/dhl-standin/dhl_standin_reply.h"

namespace {

constexpr char kPath[] = "/sndpt/DocumentRendering";

// An error answer in XML that names no error message of the service.
constexpr char kFault[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body>"
    "<soapenv:Fault><faultcode>soapenv:Server</faultcode><faultstring>Internal error"
    "</faultstring></soapenv:Fault></soapenv:Body></soapenv:Envelope>";

size_t NumberParameter(const httplib::Request& request, const char* name) {
  return request.has_param(name) ? std::strtoull(request.get_param_value(name).c_str(), nullptr, 10)
                                 : 0;
}

void Answer(const httplib::Request& request, httplib::Response& response) {
  std::this_thread::sleep_for(std::chrono::milliseconds(NumberParameter(request, "delay_ms")));
  std::string reply = vorlabws::standin::RenderReply(
      request.body, {.document_bytes = NumberParameter(request, "document_bytes")});
  if (request.get_param_value("reply") == "malformed") reply.resize(reply.size() / 2);
  const size_t status = NumberParameter(request, "status");
  if (status == 0) {
    response.set_content(reply, "text/xml; charset=utf-8");
    return;
  }
  response.status = static_cast<int>(status);
  const std::string body = request.get_param_value("body");
  if (body == "reply") {
    response.set_content(reply, "text/xml; charset=utf-8");
  } else if (body == "page") {
    const std::string title = "Error " + std::to_string(status);
    response.set_content(
        "<html><head><title>" + title + "</title></head><body><h1>" + title + "</h1></body></html>",
        "text/html");
  } else if (body == "fault") {
    response.set_content(kFault, "text/xml; charset=utf-8");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int wanted_port = argc > 1 ? std::atoi(argv[1]) : 0;
  httplib::Server server;
  server.Post(kPath, Answer);
  const int port = wanted_port == 0
                       ? server.bind_to_any_port("127.0.0.1")
                       : (server.bind_to_port("127.0.0.1", wanted_port) ? wanted_port : -1);
  if (port < 0) {
    std::fprintf(stderr, "dhl-standin: cannot listen on 127.0.0.1:%d\n", wanted_port);
    return 1;
  }
  std::printf("http://127.0.0.1:%d%s\n", port, kPath);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}
