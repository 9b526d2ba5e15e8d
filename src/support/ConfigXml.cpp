#include "support/ConfigXml.h"

#include "support/TextCodec.h"

#include <rapidxml/rapidxml.hpp>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// The characters RapidXML takes into an element name and into an attribute name.
bool IsNodeNameChar(char c)
{
    return c != '\0' && !IsSpace(c) && c != '/' && c != '>' && c != '?';
}

bool IsAttributeNameChar(char c)
{
    return IsNodeNameChar(c) && c != '<' && c != '=' && c != '!';
}

void SkipSpace(const char*& t)
{
    while (IsSpace(*t))
        ++t;
}

// Moves past the next `end`; false when the text ends first.
bool SkipPast(const char*& t, const char* end)
{
    const size_t length = std::strlen(end);
    while (std::strncmp(t, end, length) != 0) {
        if (*t == '\0')
            return false;
        ++t;
    }
    t += length;
    return true;
}

enum class NodeScan { Refused, NoElement, EmptyElement, OpenElement };

// One node after its '<', as RapidXML's parse_node reads it with the flags ParseConfigXml uses.
NodeScan ScanNode(const char*& t)
{
    if (*t == '?') {
        // A declaration or processing instruction: skipped up to "?>".
        ++t;
        return SkipPast(t, "?>") ? NodeScan::NoElement : NodeScan::Refused;
    }
    if (*t == '!') {
        if (t[1] == '-' && t[2] == '-') {
            t += 3;
            return SkipPast(t, "-->") ? NodeScan::NoElement : NodeScan::Refused;
        }
        if (std::strncmp(t + 1, "[CDATA[", 7) == 0) {
            t += 8;
            return SkipPast(t, "]]>") ? NodeScan::NoElement : NodeScan::Refused;
        }
        if (std::strncmp(t + 1, "DOCTYPE", 7) == 0 && IsSpace(t[8])) {
            t += 9;
            while (*t != '>') {
                if (*t == '\0')
                    return NodeScan::Refused;
                if (*t != '[') {
                    ++t;
                    continue;
                }
                ++t;
                for (int brackets = 1; brackets > 0; ++t) {
                    if (*t == '\0')
                        return NodeScan::Refused;
                    brackets += *t == '[' ? 1 : *t == ']' ? -1 : 0;
                }
            }
            ++t;
            return NodeScan::NoElement;
        }
        ++t;
        return SkipPast(t, ">") ? NodeScan::NoElement : NodeScan::Refused;
    }

    const char* name = t;
    while (IsNodeNameChar(*t))
        ++t;
    if (t == name)
        return NodeScan::Refused;
    SkipSpace(t);
    while (IsAttributeNameChar(*t)) {
        while (IsAttributeNameChar(*t))
            ++t;
        SkipSpace(t);
        if (*t != '=')
            return NodeScan::Refused;
        ++t;
        SkipSpace(t);
        const char quote = *t;
        if (quote != '"' && quote != '\'')
            return NodeScan::Refused;
        ++t;
        while (*t != '\0' && *t != quote)
            ++t;
        if (*t != quote)
            return NodeScan::Refused;
        ++t;
        SkipSpace(t);
    }
    if (*t == '>') {
        ++t;
        return NodeScan::OpenElement;
    }
    if (t[0] == '/' && t[1] == '>') {
        t += 2;
        return NodeScan::EmptyElement;
    }
    return NodeScan::Refused;
}

std::string Trimmed(const char* text, size_t size)
{
    std::string_view view(text, size);
    while (!view.empty() && IsSpace(view.front()))
        view.remove_prefix(1);
    while (!view.empty() && IsSpace(view.back()))
        view.remove_suffix(1);
    return std::string(view);
}

ConfigXmlDocument Refused(std::string why)
{
    ConfigXmlDocument doc;
    doc.error = std::move(why);
    return doc;
}

ConfigXmlElement ElementOf(const rapidxml::xml_node<char>& node)
{
    return ConfigXmlElement{std::string(node.name(), node.name_size()), Trimmed(node.value(), node.value_size()), {}};
}

} // namespace

int XmlNestingDepth(const char* t)
{
    if (std::strncmp(t, "\xEF\xBB\xBF", 3) == 0)
        t += 3;
    int depth = 0;
    int deepest = 0;
    for (;;) {
        SkipSpace(t);
        if (depth == 0) {
            if (*t == '\0')
                return deepest;
            if (*t != '<')
                return -1;
        } else {
            // Text runs up to the next tag.
            while (*t != '\0' && *t != '<')
                ++t;
            if (*t == '\0')
                return -1;
            if (t[1] == '/') {
                t += 2;
                while (IsNodeNameChar(*t))
                    ++t;
                SkipSpace(t);
                if (*t != '>')
                    return -1;
                ++t;
                --depth;
                continue;
            }
        }
        ++t;
        switch (ScanNode(t)) {
        case NodeScan::Refused:
            return -1;
        case NodeScan::NoElement:
            break;
        case NodeScan::EmptyElement:
            deepest = std::max(deepest, depth + 1);
            break;
        case NodeScan::OpenElement:
            deepest = std::max(deepest, ++depth);
            break;
        }
    }
}

const ConfigXmlElement* ConfigXmlDocument::Find(std::string_view name) const
{
    const auto found = std::find_if(elements.begin(), elements.end(), [&](const ConfigXmlElement& e) { return e.name == name; });
    return found == elements.end() ? nullptr : &*found;
}

ConfigXmlDocument ParseConfigXml(std::string_view bytes)
{
    if (bytes.size() > kMaxConfigXmlBytes)
        return Refused("larger than " + std::to_string(kMaxConfigXmlBytes) + " bytes");
    if (bytes.find('\0') != std::string_view::npos)
        return Refused("holds a NUL byte (not UTF-8 or GBK text)");
    std::string text;
    if (IsValidUtf8(bytes)) {
        text = bytes;
    } else if (auto converted = GbkToUtf8Exact(bytes)) {
        text = std::move(*converted);
    } else {
        return Refused("neither UTF-8 nor GBK text");
    }

    const int depth = XmlNestingDepth(text.c_str());
    if (depth < 0)
        return Refused("not well-formed XML");
    if (depth > kMaxConfigXmlDepth)
        return Refused("elements nested deeper than " + std::to_string(kMaxConfigXmlDepth));

    // The parser writes into the text (terminators, expanded entities), and the nodes point into it.
    rapidxml::xml_document<char> xml;
    try {
        xml.parse<0>(text.data());
    } catch (const rapidxml::parse_error& e) {
        return Refused(std::string("not well-formed XML: ") + e.what() + " at byte " + std::to_string(e.where<char>() - text.data()));
    } catch (const std::bad_alloc&) {
        return Refused("out of memory");
    }

    ConfigXmlDocument doc;
    doc.ok = true;
    for (const auto* node = xml.first_node(); node != nullptr; node = node->next_sibling()) {
        if (node->type() != rapidxml::node_element)
            continue;
        ConfigXmlElement element = ElementOf(*node);
        for (const auto* child = node->first_node(); child != nullptr; child = child->next_sibling()) {
            if (child->type() == rapidxml::node_element)
                element.children.push_back(ElementOf(*child));
        }
        doc.elements.push_back(std::move(element));
    }
    return doc;
}
