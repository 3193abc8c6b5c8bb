// How one stand-in process behaves, fixed by its command line: the SOAP actions its service
// description publishes, the namespace of the operation elements, and the one misbehaviour it
// shows to every SOAP request, if any.
#pragma once

#include <string>
#include <string_view>

namespace vorlabws::standin {

enum class Actions {
  kPattern,  // the registered pattern, as the real service publishes them
  kOwn,      // "urn:easysped-standin:" + operation: only a client that reads them gets through
  kNone,     // none published: a client must fall back on the registered pattern
};

enum class Misbehaviour {
  kNone,
  kFault,           // status 500 with a SOAP fault
  kNotFound,        // status 404 whose body never completes
  kHtml,            // status 200 with a text/html page
  kNil,             // the result element marked xsi:nil
  kOtherChildName,  // the wrapper's one child named "Result"
  kHang,            // the request is read and never answered
  kGarbage,         // status 200 with a reply envelope cut off halfway
};

struct Options {
  int port = 0;
  Actions actions = Actions::kPattern;
  std::u16string body_namespace;  // published on each input body; empty: none
  Misbehaviour misbehaviour = Misbehaviour::kNone;
  // False: the service description's service lacks the port a client looks for.
  bool port_published = true;
};

// The namespace of the operation and parameter elements, in requests and replies.
std::u16string OperationNamespace(const Options& options);
// The SOAP action a request for `operation` must carry (unquoted).
std::u16string ExpectedAction(const Options& options, std::u16string_view operation);
// The action the service description publishes for `operation`; empty: none.
std::u16string PublishedAction(const Options& options, std::u16string_view operation);

}  // namespace vorlabws::standin
