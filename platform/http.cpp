#include "platform/http.h"

#include <dlfcn.h>

#include <cctype>
#include <cstdlib>
#include <new>
#include <string_view>

#include "platform/code_page.h"
#include "platform/trace.h"

namespace vorlabws {
namespace {

// libcurl is loaded when the first client is made, not at the program's start: most jobs never
// talk HTTP (the DHL relay does it for its jobs), and resolving the symbols of the library and of
// its TLS and authentication libraries at start cost those jobs more than all their own work.
struct LibraryDeleter {
  void operator()(void* library) const { ::dlclose(library); }
};

struct CurlLibrary {
  std::unique_ptr<void, LibraryDeleter> library;
  decltype(&curl_global_init) global_init;
  decltype(&curl_easy_init) easy_init;
  decltype(&curl_easy_setopt) easy_setopt;
  decltype(&curl_easy_perform) easy_perform;
  decltype(&curl_easy_cleanup) easy_cleanup;
  decltype(&curl_easy_strerror) easy_strerror;
  decltype(&curl_easy_getinfo) easy_getinfo;
  decltype(&curl_slist_append) slist_append;
  decltype(&curl_slist_free_all) slist_free_all;
};

template <typename Function>
void Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(library, name));
  if (function == nullptr) throw HttpError(std::string("The HTTP library lacks ") + name);
}

CurlLibrary LoadCurl() {
  CurlLibrary curl;
  // Deep binding resolves the library's symbols in its own dependencies first: they are all C
  // libraries, and it spares a walk through the program's libraries (the window toolkit's among
  // them) for every symbol, which costs more than the library's whole work for a job.
  curl.library.reset(::dlopen("libcurl.so.4", RTLD_LAZY | RTLD_LOCAL | RTLD_DEEPBIND));
  if (!curl.library)
    throw HttpError(std::string("The HTTP library cannot be loaded: ") + ::dlerror());
  void* library = curl.library.get();
  Resolve(library, "curl_global_init", curl.global_init);
  Resolve(library, "curl_easy_init", curl.easy_init);
  Resolve(library, "curl_easy_setopt", curl.easy_setopt);
  Resolve(library, "curl_easy_perform", curl.easy_perform);
  Resolve(library, "curl_easy_cleanup", curl.easy_cleanup);
  Resolve(library, "curl_easy_strerror", curl.easy_strerror);
  Resolve(library, "curl_easy_getinfo", curl.easy_getinfo);
  Resolve(library, "curl_slist_append", curl.slist_append);
  Resolve(library, "curl_slist_free_all", curl.slist_free_all);
  if (curl.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    throw HttpError("The HTTP library cannot be initialised");
  }
  return curl;
}

// Loaded once, by the first client; every later call finds it loaded.
const CurlLibrary& Curl() {
  static const CurlLibrary curl = LoadCurl();
  return curl;
}

struct HeaderListDeleter {
  void operator()(curl_slist* list) const { Curl().slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

using Clock = std::chrono::steady_clock;

// What the callbacks of one request fill in and watch.
struct Transfer {
  HttpResponse response;
  const BodyWanted* body_wanted = nullptr;
  bool body_skipped = false;
  std::chrono::seconds stall_limit{};
  Clock::time_point last_progress = Clock::now();
  curl_off_t received = 0;
  curl_off_t sent = 0;
  bool stalled = false;
  // Kept for the trace only: the request's body and the final response's header lines.
  const std::string* request_body = nullptr;
  bool traced = false;
  std::string response_headers;
};

[[noreturn]] void RaiseCurlError(CURLcode code, const std::u16string& url) {
  throw HttpError(std::string(Curl().easy_strerror(code)) + " - URL:" + Utf16ToUtf8(url));
}

template <typename Value>
void SetOption(CURL* handle, CURLoption option, Value value, const std::u16string& url) {
  const CURLcode code = Curl().easy_setopt(handle, option, value);
  if (code != CURLE_OK) RaiseCurlError(code, url);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// "HTTP/1.1 404 Not Found": a new response begins (an interim 1xx one may come first).
void ReadStatusLine(std::string_view line, HttpResponse& response) {
  response = HttpResponse{};
  const size_t code_start = line.find(' ');
  if (code_start == std::string_view::npos) return;
  const std::string_view rest = line.substr(code_start + 1);
  const size_t text_start = rest.find(' ');
  response.status = std::atol(std::string(rest.substr(0, text_start)).c_str());
  if (text_start != std::string_view::npos) {
    response.status_text = Utf8ToUtf16(Trim(rest.substr(text_start + 1)));
  }
}

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
  Transfer& transfer = *static_cast<Transfer*>(user);
  const size_t length = size * count;
  const std::string_view line = Trim(std::string_view(data, length));
  if (transfer.traced && !line.empty()) {
    if (line.starts_with("HTTP/")) transfer.response_headers.clear();
    transfer.response_headers.append(line).append("\n");
  }
  if (line.starts_with("HTTP/")) {
    ReadStatusLine(line, transfer.response);
  } else if (line.empty()) {
    // The end of a header block: for a final response, the last moment to skip the body.
    const long status = transfer.response.status;
    if (status >= 200 && *transfer.body_wanted && !(*transfer.body_wanted)(status)) {
      transfer.body_skipped = true;
      return 0;
    }
  } else if (const size_t colon = line.find(':');
             colon != std::string_view::npos &&
             SameTextIgnoringCase(line.substr(0, colon), "Content-Type")) {
    transfer.response.content_type = Utf8ToUtf16(Trim(line.substr(colon + 1)));
  }
  return length;
}

// The time since bytes last moved either way. curl's own low-speed limit averages over a window of
// up to five seconds, so right after sending a request it would wait that much longer.
int OnProgress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent) {
  Transfer& transfer = *static_cast<Transfer*>(user);
  const Clock::time_point now = Clock::now();
  if (received != transfer.received || sent != transfer.sent) {
    transfer.received = received;
    transfer.sent = sent;
    transfer.last_progress = now;
  } else if (now - transfer.last_progress >= transfer.stall_limit) {
    transfer.stalled = true;
    return 1;
  }
  return 0;
}

size_t OnBodyData(char* data, size_t size, size_t count, void* user) {
  static_cast<Transfer*>(user)->response.body.append(data, size * count);
  return size * count;
}

// The request's header block as curl sends it, recorded with the body it goes with.
int OnDebug(CURL* handle, curl_infotype type, char* data, size_t size, void* user) {
  if (type != CURLINFO_HEADER_OUT) return 0;
  const Transfer& transfer = *static_cast<Transfer*>(user);
  std::string block(data, size);
  std::erase(block, '\r');
  const char* url = nullptr;
  Curl().easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &url);
  Trace("http request " + block.substr(0, block.find(' ')) + " " + (url ? url : ""),
        block + (transfer.request_body ? TraceBody(*transfer.request_body) : ""));
  return 0;
}

void TraceResponse(const Transfer& transfer, const TraceStopwatch& watch) {
  const HttpResponse& response = transfer.response;
  Trace("http response " + std::to_string(response.status) + " " +
            Utf16ToUtf8(response.status_text) + " in " + watch.Elapsed(),
        transfer.response_headers + "\n" +
            (transfer.body_skipped ? "(body not read)" : TraceBody(response.body)));
}

void AppendLine(HeaderList& list, const std::string& line) {
  curl_slist* extended = Curl().slist_append(list.get(), line.c_str());
  if (extended == nullptr) throw std::bad_alloc();
  list.release();
  list.reset(extended);
}

// `removed` names headers curl would add of its own accord; "Name:" is curl's way to leave one out.
HeaderList HeaderLines(const std::vector<HttpHeader>& headers,
                       const std::vector<std::string>& removed) {
  HeaderList list;
  for (const HttpHeader& header : headers) {
    // "Name;" is curl's way to send a header empty.
    AppendLine(list, Utf16ToUtf8(header.name) +
                         (header.value.empty() ? ";" : ": " + Utf16ToUtf8(header.value)));
  }
  for (const std::string& name : removed) AppendLine(list, name + ":");
  return list;
}

}  // namespace

void CurlEasyDeleter::operator()(CURL* handle) const { Curl().easy_cleanup(handle); }

HttpClient::HttpClient(HttpTimeouts timeouts) : stall_limit_(timeouts.stalled) {
  handle_.reset(Curl().easy_init());
  if (handle_ == nullptr) throw std::bad_alloc();
  CURL* handle = handle_.get();
  const std::u16string none;
  SetOption(handle, CURLOPT_NOSIGNAL, 1L, none);
  SetOption(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1), none);
  SetOption(handle, CURLOPT_USERAGENT, "VorlabWS", none);
  SetOption(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeouts.connect.count()), none);
  SetOption(handle, CURLOPT_NOPROGRESS, 0L, none);
  SetOption(handle, CURLOPT_XFERINFOFUNCTION, OnProgress, none);
  SetOption(handle, CURLOPT_HEADERFUNCTION, OnHeaderLine, none);
  SetOption(handle, CURLOPT_WRITEFUNCTION, OnBodyData, none);
}

HttpResponse HttpClient::Post(const std::u16string& url, const std::vector<HttpHeader>& headers,
                              const std::string& body, const BodyWanted& body_wanted) {
  CURL* handle = handle_.get();
  SetOption(handle, CURLOPT_POST, 1L, url);
  SetOption(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()), url);
  SetOption(handle, CURLOPT_POSTFIELDS, body.data(), url);
  // With its own "Expect: 100-continue", curl would hold a larger body back for up to a second.
  return Perform(url, headers, {"Expect"}, &body, body_wanted);
}

HttpResponse HttpClient::Get(const std::u16string& url, const BodyWanted& body_wanted) {
  SetOption(handle_.get(), CURLOPT_HTTPGET, 1L, url);
  return Perform(url, {}, {}, nullptr, body_wanted);
}

HttpResponse HttpClient::Perform(const std::u16string& url, const std::vector<HttpHeader>& headers,
                                 const std::vector<std::string>& removed_headers,
                                 const std::string* body, const BodyWanted& body_wanted) {
  CURL* handle = handle_.get();
  const TraceStopwatch watch;
  Transfer transfer;
  transfer.body_wanted = &body_wanted;
  transfer.stall_limit = stall_limit_;
  transfer.request_body = body;
  transfer.traced = TraceOn();
  // curl hands the header block it sends only to a debug callback, which needs verbose mode.
  SetOption(handle, CURLOPT_VERBOSE, transfer.traced ? 1L : 0L, url);
  SetOption(handle, CURLOPT_DEBUGFUNCTION, transfer.traced ? OnDebug : nullptr, url);
  SetOption(handle, CURLOPT_DEBUGDATA, &transfer, url);
  const HeaderList header_lines = HeaderLines(headers, removed_headers);
  SetOption(handle, CURLOPT_URL, Utf16ToUtf8(url).c_str(), url);
  SetOption(handle, CURLOPT_HTTPHEADER, header_lines.get(), url);
  SetOption(handle, CURLOPT_HEADERDATA, &transfer, url);
  SetOption(handle, CURLOPT_WRITEDATA, &transfer, url);
  SetOption(handle, CURLOPT_XFERINFODATA, &transfer, url);
  const CURLcode code = Curl().easy_perform(handle);
  // The handle outlives this request's header list and transfer state: unhook them.
  Curl().easy_setopt(handle, CURLOPT_HTTPHEADER, nullptr);
  Curl().easy_setopt(handle, CURLOPT_HEADERDATA, nullptr);
  Curl().easy_setopt(handle, CURLOPT_WRITEDATA, nullptr);
  Curl().easy_setopt(handle, CURLOPT_XFERINFODATA, nullptr);
  Curl().easy_setopt(handle, CURLOPT_DEBUGDATA, nullptr);
  const bool answered = code == CURLE_OK || (code == CURLE_WRITE_ERROR && transfer.body_skipped);
  if (transfer.traced && answered) TraceResponse(transfer, watch);
  if (answered) return transfer.response;
  const CURLcode reported =
      code == CURLE_ABORTED_BY_CALLBACK && transfer.stalled ? CURLE_OPERATION_TIMEDOUT : code;
  if (transfer.traced) {
    Trace("http failed in " + watch.Elapsed() + ": " + Curl().easy_strerror(reported) +
          " - URL:" + Utf16ToUtf8(url));
  }
  RaiseCurlError(reported, url);
}

void ProbeConnection(const std::u16string& url, HttpTimeouts timeouts) {
  const CurlEasyHandle handle(Curl().easy_init());
  if (handle == nullptr) throw std::bad_alloc();
  const std::string address = Utf16ToUtf8(url);
  SetOption(handle.get(), CURLOPT_NOSIGNAL, 1L, url);
  SetOption(handle.get(), CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeouts.connect.count()), url);
  SetOption(handle.get(), CURLOPT_URL, address.c_str(), url);
  SetOption(handle.get(), CURLOPT_CONNECT_ONLY, 1L, url);
  const CURLcode code = Curl().easy_perform(handle.get());
  if (code != CURLE_OK) RaiseCurlError(code, url);
}

}  // namespace vorlabws
