// HTTP over libcurl, loaded when the first HttpClient is made. A client owns one curl easy handle
// for its whole life, so its requests to one host share one kept-alive connection. A curl failure
// raises an HttpError naming the URL; a status code is no failure: the caller reads it.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/failure.h"

namespace vorlabws {

class HttpError : public Failure {
 public:
  using Failure::Failure;
};

// Time limits of every request. The defaults are those of the Windows Internet functions the worker
// was designed with: 60 s to connect, and a request during which no byte moves for 60 s, while
// sending or while waiting for and reading the reply, is given up ("Timeout was reached").
struct HttpTimeouts {
  std::chrono::seconds connect{60};
  std::chrono::seconds stalled{60};
};

struct HttpHeader {
  std::u16string name;
  std::u16string value;
};

struct HttpResponse {
  long status = 0;
  std::u16string status_text;   // the reason phrase of the status line ("Not Found")
  std::u16string content_type;  // the Content-Type header as received; empty when absent
  std::string body;             // the bytes as received; empty when the body was not read
};

// Told the status code of the final response, says whether its body is worth reading; when it is
// not, the transfer ends right after the headers and the connection is dropped.
using BodyWanted = std::function<bool(long status)>;

struct CurlEasyDeleter {
  void operator()(CURL* handle) const;
};
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyDeleter>;

class HttpClient {
 public:
  explicit HttpClient(HttpTimeouts timeouts = {});

  // Sends `body` with `headers` besides the standard ones (Host, User-Agent, Accept,
  // Content-Length), and nothing else: no Expect. A header with an empty value is sent empty.
  HttpResponse Post(const std::u16string& url, const std::vector<HttpHeader>& headers,
                    const std::string& body, const BodyWanted& body_wanted = {});
  HttpResponse Get(const std::u16string& url, const BodyWanted& body_wanted = {});

 private:
  // `removed_headers` are left out of the request although curl would add them.
  HttpResponse Perform(const std::u16string& url, const std::vector<HttpHeader>& headers,
                       const std::vector<std::string>& removed_headers, const std::string* body,
                       const BodyWanted& body_wanted);

  CurlEasyHandle handle_;
  std::chrono::seconds stall_limit_;
};

// Connects to the URL's host and port and, for "https://", completes the TLS handshake with the
// certificate checked, then hangs up; no request is sent. Raises HttpError when that fails.
void ProbeConnection(const std::u16string& url, HttpTimeouts timeouts = {});

}  // namespace vorlabws
