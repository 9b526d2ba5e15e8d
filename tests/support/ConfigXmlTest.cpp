#include "support/ConfigXml.h"
#include "support/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

TEST(ConfigXml, ReadsTopLevelElementsAndTheirElementChildren)
{
    const ConfigXmlDocument doc = ParseConfigXml(
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n"
        "<!-- operator <b>settings</b> -->\n"
        "<qzgame version=\"2\">\n"
        "  text between entries\n"
        "  <customerServiceURL>\n    https://example.com/?a=1&amp;b=2\n  </customerServiceURL>\n"
        "  <!-- <ignored>1</ignored> -->\n"
        "  <swfPrefix/>\n"
        "  <deep><inner>x</inner></deep>\n"
        "  <![CDATA[<notAnEntry>1</notAnEntry>]]>\n"
        "</qzgame>\n"
        "<extraConfig>more.xml</extraConfig>");
    ASSERT_TRUE(doc.ok) << doc.error;
    ASSERT_EQ(doc.elements.size(), 2u);
    const ConfigXmlElement& root = doc.elements[0];
    EXPECT_EQ(root.name, "qzgame");
    ASSERT_EQ(root.children.size(), 3u);
    EXPECT_EQ(root.children[0].name, "customerServiceURL");
    EXPECT_EQ(root.children[0].text, "https://example.com/?a=1&b=2");
    EXPECT_EQ(root.children[1].name, "swfPrefix");
    EXPECT_EQ(root.children[1].text, "");
    EXPECT_EQ(root.children[2].name, "deep");
    EXPECT_TRUE(root.children[2].children.empty());
    ASSERT_NE(doc.Find("extraConfig"), nullptr);
    EXPECT_EQ(doc.Find("extraConfig")->text, "more.xml");
    EXPECT_EQ(doc.Find("config"), nullptr);
}

TEST(ConfigXml, TextIsUtf8OrGbk)
{
    const std::string utf8 = "<c><客服>在线客服</客服></c>";
    const ConfigXmlDocument fromUtf8 = ParseConfigXml(utf8);
    ASSERT_TRUE(fromUtf8.ok) << fromUtf8.error;
    const ConfigXmlDocument fromGbk = ParseConfigXml(Utf8ToGbk(utf8));
    ASSERT_TRUE(fromGbk.ok) << fromGbk.error;
    ASSERT_EQ(fromGbk.elements.at(0).children.size(), 1u);
    EXPECT_EQ(fromGbk.elements[0].children[0].name, "客服");
    EXPECT_EQ(fromGbk.elements[0].children[0].text, "在线客服");

    // A byte no GBK character starts with, a lone lead byte at the end, UTF-16.
    EXPECT_FALSE(ParseConfigXml("<c><k>\xFF</k></c>").ok);
    EXPECT_FALSE(ParseConfigXml("<c><k>v</k></c>\x81").ok);
    EXPECT_FALSE(ParseConfigXml(std::string("<\0c\0>\0<\0/\0c\0>\0", 14)).ok);
}

TEST(ConfigXml, MalformedDocumentsAreRefusedWithAReason)
{
    for (const char* bad : {"", "<c>", "<c><k>v</c>", "text<c/>", "<c a=1/>", "<!-- open", "<c><![CDATA[x</c>",
             "<c></c><", "<?xml version='1.0'", "<c>&#99999999;</c>", "</c>"}) {
        const ConfigXmlDocument doc = ParseConfigXml(bad);
        if (std::string(bad).empty()) {
            // An empty document is well-formed to the parser; it just has no elements.
            EXPECT_TRUE(doc.ok && doc.elements.empty());
            continue;
        }
        EXPECT_FALSE(doc.ok) << bad;
        EXPECT_FALSE(doc.error.empty()) << bad;
    }
}

TEST(ConfigXml, DepthAndSizeAreBoundedBeforeParsing)
{
    EXPECT_TRUE(ParseConfigXml(Nested(kMaxConfigXmlDepth)).ok);
    const ConfigXmlDocument tooDeep = ParseConfigXml(Nested(kMaxConfigXmlDepth + 1));
    EXPECT_FALSE(tooDeep.ok);
    EXPECT_NE(tooDeep.error.find("deeper"), std::string::npos);
    // Deep enough to exhaust the stack of a recursive parser.
    EXPECT_FALSE(ParseConfigXml(std::string(300000, '<') + "a>").ok);
    EXPECT_FALSE(ParseConfigXml(Nested(200000)).ok);

    std::string huge = "<c><k>";
    huge.append(kMaxConfigXmlBytes, 'x');
    huge += "</k></c>";
    EXPECT_FALSE(ParseConfigXml(huge).ok);
    EXPECT_FALSE(ParseConfigXml(std::string("<c>\0</c>", 8)).ok);
}

// The depth scan must never count less than the parser descends, whatever hides a tag from one of
// them: quotes, comments, declarations, bracketed DOCTYPE parts, names with odd characters.
TEST(ConfigXml, TheDepthScanFollowsTheParser)
{
    EXPECT_EQ(XmlNestingDepth(""), 0);
    EXPECT_EQ(XmlNestingDepth("<a/>"), 1);
    EXPECT_EQ(XmlNestingDepth("<a><b/><c><d></d></c></a><e/>"), 3);
    EXPECT_EQ(XmlNestingDepth("<a x='<b>' y=\"</a>\"><c/></a>"), 2);
    EXPECT_EQ(XmlNestingDepth("<a><!-- <b><b> --><?pi <b> ?><![CDATA[<b>]]><c/></a>"), 2);
    EXPECT_EQ(XmlNestingDepth("<!DOCTYPE a [ <!ELEMENT a (b)> <b><b> ]><a><c/></a>"), 2);
    EXPECT_EQ(XmlNestingDepth("<!x <b><a/>"), 1);
    // A quote is a name character, so it hides nothing.
    EXPECT_EQ(XmlNestingDepth("<a\"><b'><c/></b'></a\">"), 3);
    // A closing tag may carry any name; it closes the open element.
    EXPECT_EQ(XmlNestingDepth("<a><b></x></y>"), 2);
    EXPECT_EQ(XmlNestingDepth("<a><b>"), -1);
    EXPECT_EQ(XmlNestingDepth("<a x=1>"), -1);
    for (const char* text : {"<a\"><b'><c/></b'></a\">", "<a><b></x></y>", "<!x <b><a/>"})
        EXPECT_TRUE(ParseConfigXml(text).ok) << text;
}

} // namespace
