// The co-operation configuration's XML comes from files an operator or a player may edit. Whatever
// the bytes, the reader must answer without crashing or descending deeper than its bound, and its
// depth scan, which guards the recursive parser, must never count less than the parser descends.
//
// An input is the document itself.
#include "support/ConfigXml.h"

#include <rapidxml/rapidxml.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

int TreeDepth(const rapidxml::xml_node<char>& node)
{
    int deepest = 0;
    for (const auto* child = node.first_node(); child != nullptr; child = child->next_sibling()) {
        if (child->type() == rapidxml::node_element)
            deepest = std::max(deepest, 1 + TreeDepth(*child));
    }
    return deepest;
}

// Documents this short cannot nest deep enough to trouble the stack, so the parser may see them
// unguarded and be held against the scan.
constexpr size_t kUnguardedBytes = 2048;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ConfigXmlDocument doc = ParseConfigXml(bytes);
    Check(doc.ok != !doc.error.empty());
    for (const ConfigXmlElement& element : doc.elements) {
        Check(!element.name.empty());
        for (const ConfigXmlElement& child : element.children)
            Check(!child.name.empty() && child.children.empty());
    }

    if (size > kUnguardedBytes)
        return 0;
    std::string text(bytes);
    const int scanned = XmlNestingDepth(text.c_str());
    rapidxml::xml_document<char> xml;
    try {
        xml.parse<0>(text.data());
    } catch (const rapidxml::parse_error&) {
        return 0;
    }
    Check(scanned == TreeDepth(xml));
    return 0;
}
