#pragma once

// The XML of the co-operation configuration files, read with RapidXML. Only two levels matter to
// those files: the top-level elements (the pointer file's "config" and "extraConfig", a
// configuration file's container) and the element children of each (the entries). Everything
// else a document may hold (attributes, comments, declarations, deeper elements) is read past.
//
// The bytes come from files an operator or a player may edit, so they are checked before the
// parser sees them: at most kMaxConfigXmlBytes, no NUL byte, text in UTF-8 or else GBK (converted
// to UTF-8), and elements nested at most kMaxConfigXmlDepth deep. RapidXML descends by recursion,
// so a deep enough document would otherwise exhaust the stack.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kMaxConfigXmlBytes = size_t{1} << 20;
inline constexpr int kMaxConfigXmlDepth = 64;

struct ConfigXmlElement {
    std::string name;
    // The element's first run of text with entities expanded and surrounding white space removed;
    // empty when it has none.
    std::string text;
    // Element children only, in document order; empty for the children's own elements.
    std::vector<ConfigXmlElement> children;
};

struct ConfigXmlDocument {
    bool ok = false;
    // Why the document was refused, for diagnostics.
    std::string error;
    std::vector<ConfigXmlElement> elements;

    // The first top-level element of that name, or null.
    const ConfigXmlElement* Find(std::string_view name) const;
};

ConfigXmlDocument ParseConfigXml(std::string_view bytes);

// How deep the elements of a document nest, scanned the way RapidXML reads it but without
// recursion; -1 when the scan stops at the document's end inside a construct or at a token
// RapidXML would refuse. `text` is read up to its first NUL byte, as RapidXML reads it. Exposed so
// that the fuzz target can hold it against the parsed tree.
int XmlNestingDepth(const char* text);
