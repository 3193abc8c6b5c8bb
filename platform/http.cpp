#include "platform/http.h"

#include <cctype>
#include <cstdlib>
#include <mutex>
#include <new>
#include <string_view>

#include "platform/code_page.h"

namespace vorlabws {
namespace {

struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
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
};

[[noreturn]] void RaiseCurlError(CURLcode code, const std::u16string& url) {
  throw HttpError(std::string(curl_easy_strerror(code)) + " - URL:" + Utf16ToUtf8(url));
}

template <typename Value>
void SetOption(CURL* handle, CURLoption option, Value value, const std::u16string& url) {
  const CURLcode code = curl_easy_setopt(handle, option, value);
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

HeaderList HeaderLines(const std::vector<HttpHeader>& headers, const std::u16string& url) {
  HeaderList list;
  for (const HttpHeader& header : headers) {
    // "Name:" would remove the header; "Name;" is curl's way to send it empty.
    const std::string line =
        Utf16ToUtf8(header.name) + (header.value.empty() ? ";" : ": " + Utf16ToUtf8(header.value));
    curl_slist* extended = curl_slist_append(list.get(), line.c_str());
    if (extended == nullptr) throw std::bad_alloc();
    list.release();
    list.reset(extended);
  }
  return list;
}

void InitialiseCurl() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      throw HttpError("The HTTP library cannot be initialised");
    }
  });
}

}  // namespace

void CurlEasyDeleter::operator()(CURL* handle) const { curl_easy_cleanup(handle); }

HttpClient::HttpClient(HttpTimeouts timeouts) : stall_limit_(timeouts.stalled) {
  InitialiseCurl();
  handle_.reset(curl_easy_init());
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
  // Without an empty Expect, curl holds a larger body back waiting for "100 Continue".
  std::vector<HttpHeader> all = headers;
  all.push_back({u"Expect", u""});
  return Perform(url, all, body_wanted);
}

HttpResponse HttpClient::Get(const std::u16string& url, const BodyWanted& body_wanted) {
  SetOption(handle_.get(), CURLOPT_HTTPGET, 1L, url);
  return Perform(url, {}, body_wanted);
}

HttpResponse HttpClient::Perform(const std::u16string& url, const std::vector<HttpHeader>& headers,
                                 const BodyWanted& body_wanted) {
  CURL* handle = handle_.get();
  Transfer transfer;
  transfer.body_wanted = &body_wanted;
  transfer.stall_limit = stall_limit_;
  const HeaderList header_lines = HeaderLines(headers, url);
  SetOption(handle, CURLOPT_URL, Utf16ToUtf8(url).c_str(), url);
  SetOption(handle, CURLOPT_HTTPHEADER, header_lines.get(), url);
  SetOption(handle, CURLOPT_HEADERDATA, &transfer, url);
  SetOption(handle, CURLOPT_WRITEDATA, &transfer, url);
  SetOption(handle, CURLOPT_XFERINFODATA, &transfer, url);
  const CURLcode code = curl_easy_perform(handle);
  // The handle outlives this request's header list and transfer state: unhook them.
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, nullptr);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, nullptr);
  if (code == CURLE_WRITE_ERROR && transfer.body_skipped) return transfer.response;
  if (code == CURLE_ABORTED_BY_CALLBACK && transfer.stalled) {
    RaiseCurlError(CURLE_OPERATION_TIMEDOUT, url);
  }
  if (code != CURLE_OK) RaiseCurlError(code, url);
  return transfer.response;
}

void ProbeConnection(const std::u16string& url, HttpTimeouts timeouts) {
  InitialiseCurl();
  const CurlEasyHandle handle(curl_easy_init());
  if (handle == nullptr) throw std::bad_alloc();
  const std::string address = Utf16ToUtf8(url);
  SetOption(handle.get(), CURLOPT_NOSIGNAL, 1L, url);
  SetOption(handle.get(), CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeouts.connect.count()), url);
  SetOption(handle.get(), CURLOPT_URL, address.c_str(), url);
  SetOption(handle.get(), CURLOPT_CONNECT_ONLY, 1L, url);
  const CURLcode code = curl_easy_perform(handle.get());
  if (code != CURLE_OK) RaiseCurlError(code, url);
}

}  // namespace vorlabws
