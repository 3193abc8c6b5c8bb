// The true floor of a BRT label job: brt_floor PLAN. Besides the database steps, "get URL" and
// "post URL BODY HEADER..." on one libcurl handle, so the three exchanges share one kept-alive
// connection as the worker's do. Ends with _exit once the job is done.
#include <curl/curl.h>

#include <string>

#include "bench/floor/floor_plan.h"

namespace {

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

class Exchanges {
 public:
  Exchanges() : handle_(curl_easy_init()) {
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, Discard);
  }

  bool Run(const vorlabws::bench::PlanStep& step) {
    if (step.kind == "get" && step.fields.size() == 1) {
      curl_easy_setopt(handle_, CURLOPT_HTTPGET, 1L);
      Perform(step.fields[0], nullptr);
    } else if (step.kind == "post" && step.fields.size() >= 2) {
      curl_slist* headers = curl_slist_append(nullptr, "Expect:");
      for (size_t i = 2; i < step.fields.size(); ++i) {
        headers = curl_slist_append(headers, step.fields[i].c_str());
      }
      curl_easy_setopt(handle_, CURLOPT_POST, 1L);
      curl_easy_setopt(handle_, CURLOPT_POSTFIELDSIZE_LARGE,
                       static_cast<curl_off_t>(step.fields[1].size()));
      curl_easy_setopt(handle_, CURLOPT_POSTFIELDS, step.fields[1].data());
      Perform(step.fields[0], headers);
      curl_slist_free_all(headers);
    } else {
      return false;
    }
    return true;
  }

 private:
  void Perform(const std::string& url, curl_slist* headers) {
    curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers);
    const CURLcode code = curl_easy_perform(handle_);
    long status = 0;
    curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK || status != 200) {
      vorlabws::bench::Fail(url + ": " + curl_easy_strerror(code) + ", status " +
                            std::to_string(status));
    }
  }

  CURL* handle_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) vorlabws::bench::Fail("usage: brt_floor PLAN");
  curl_global_init(CURL_GLOBAL_DEFAULT);
  Exchanges exchanges;
  vorlabws::bench::RunPlan(argv[1], [&](const auto& step) { return exchanges.Run(step); });
}
