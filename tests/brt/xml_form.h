// The namespace-aware form of an XML document, to compare documents whose prefixes and namespace
// declarations may differ: one line per element ({namespace}name), attribute (sorted; xsi:type
// values resolved to {namespace}name) and text, indented by depth. Blanks between elements and
// comments do not show.
#pragma once

#include <string>
#include <string_view>

namespace vorlabws::testing {

std::string NamespaceAwareForm(std::string_view xml);

// `text` with the placeholders $SERVICE, $DAL and $PL replaced by this build's service, DAL and
// Printlabel namespaces, so documents and messages in tests follow the configuration.
std::string WithContractNamespaces(std::string text);

}  // namespace vorlabws::testing
