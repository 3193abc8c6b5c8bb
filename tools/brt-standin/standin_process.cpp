#include "tools/brt-standin/standin_process.h"

#include <poll.h>
#include <unistd.h>

#include <stdexcept>

#include "platform/code_page.h"
#include "platform/http.h"

namespace vorlabws::standin {
namespace {

std::vector<std::u16string> Arguments(const std::vector<std::string>& options) {
  std::vector<std::u16string> arguments{u"0"};
  for (const std::string& option : options) arguments.push_back(Utf8ToUtf16(option));
  return arguments;
}

StartOptions CapturedOutput() {
  StartOptions options;
  options.capture_output = true;
  return options;
}

// The first line the stand-in prints, waiting at most ten seconds for it.
std::string FirstLine(int fd) {
  std::string line;
  char c = 0;
  while (line.empty() || line.back() != '\n') {
    pollfd watch{fd, POLLIN, 0};
    if (::poll(&watch, 1, 10000) <= 0 || ::read(fd, &c, 1) != 1) {
      throw std::runtime_error("the stand-in BRT service did not start: '" + line + "'");
    }
    line.push_back(c);
  }
  return line;
}

}  // namespace

StandInService::StandInService(const std::vector<std::string>& options)
    : process_(Utf8ToUtf16(VORLABWS_BRT_STANDIN), Arguments(options), CapturedOutput()) {
  const std::string line = FirstLine(process_.stdout_fd());
  const std::string prefix = "listening on 127.0.0.1:";
  if (!line.starts_with(prefix)) throw std::runtime_error("unexpected stand-in line: " + line);
  port_ = std::stoi(line.substr(prefix.size()));
}

std::u16string StandInService::Url() const {
  return Utf8ToUtf16("http://127.0.0.1:" + std::to_string(port_) + "/easyspeddews");
}

std::u16string StandInService::WsdlUrl() const { return Url() + u"?wsdl"; }

std::string StandInService::Traffic() const {
  HttpClient client;
  return client.Get(Utf8ToUtf16("http://127.0.0.1:" + std::to_string(port_) + "/stats")).body;
}

std::string StandInService::Received(int number) const {
  HttpClient client;
  const HttpResponse response = client.Get(Utf8ToUtf16("http://127.0.0.1:" + std::to_string(port_) +
                                                       "/received/" + std::to_string(number)));
  if (response.status != 200) {
    throw std::runtime_error("the stand-in received no SOAP request " + std::to_string(number));
  }
  return response.body;
}

}  // namespace vorlabws::standin
