#include "tools/brt-standin/standin_options.h"

#include "couriers/brt/easyspeddews_contract.h"
#include "platform/text.h"

namespace vorlabws::standin {

std::u16string OperationNamespace(const Options& options) {
  return options.body_namespace.empty() ? std::u16string(easysped::kServiceNamespace)
                                        : options.body_namespace;
}

std::u16string ExpectedAction(const Options& options, std::u16string_view operation) {
  if (options.actions == Actions::kOwn) return PublishedAction(options, operation);
  return ReplaceAll(easysped::kSoapActionPattern, easysped::kOperationNamePlaceholder, operation);
}

std::u16string PublishedAction(const Options& options, std::u16string_view operation) {
  switch (options.actions) {
    case Actions::kPattern:
      return ExpectedAction(options, operation);
    case Actions::kOwn:
      return u"urn:easysped-standin:" + std::u16string(operation);
    case Actions::kNone:
      break;
  }
  return u"";
}

}  // namespace vorlabws::standin
