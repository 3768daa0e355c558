#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "layout/XmlGuard.h"

namespace {

constexpr size_t kLimit = 1u << 20;

bool Accepts(const std::string& text, size_t maxBytes = kLimit) {
    return XmlGuard::IsAcceptable(text.c_str(), text.size(), maxBytes);
}

std::string Repeat(const std::string& unit, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += unit;
    return out;
}

std::string Nested(int depth, const std::string& open = "<a>", const std::string& close = "</a>") {
    return Repeat(open, depth) + Repeat(close, depth);
}

struct GuardCase {
    const char* what;
    std::string text;
};

void PrintTo(const GuardCase& c, std::ostream* os) { *os << c.what; }

class OrdinaryDocumentTest : public testing::TestWithParam<GuardCase> {};

TEST_P(OrdinaryDocumentTest, IsAccepted) { EXPECT_TRUE(Accepts(GetParam().text)); }

INSTANTIATE_TEST_SUITE_P(
    Cases, OrdinaryDocumentTest,
    testing::Values(
        GuardCase{"byte-order mark and declaration",
                  "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config/>"},
        GuardCase{"declaration with single quotes and standalone",
                  "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?><config/>"},
        GuardCase{"processing instruction", "<?xml-stylesheet href=\"a.xsl\"?><config/>"},
        GuardCase{"doctype", "<!DOCTYPE config SYSTEM \"layout.dtd\"><config/>"},
        GuardCase{"comments holding open tags",
                  "<config><!-- " + Repeat("<a>", 300) + " --></config>"},
        GuardCase{"cdata holding open tags",
                  "<config><![CDATA[" + Repeat("<a><b x='", 300) + "]]></config>"},
        GuardCase{"quoted values holding markup",
                  "<config>" + Repeat("<item a=\"<b>\" b='/>' c=\"'\"/>", 300) + "</config>"},
        GuardCase{"empty-element tags are not nesting",
                  "<config>" + Repeat("<a/>", 5000) + "</config>"},
        GuardCase{"siblings are not nesting", Repeat(Nested(200), 100)},
        GuardCase{"references in text and values",
                  "<config a=\"&#x4E2D;&#20013;&amp;\">AT&T &lt;a&gt; &#x41;</config>"},
        GuardCase{"nesting at the limit", Nested(XmlGuard::kMaxDepth)},
        GuardCase{"attributes at the limit",
                  "<a" + Repeat(" x=\"1\"", XmlGuard::kMaxAttributes) + "/>"},
        GuardCase{"non-ascii text, names and values",
                  "<\xE6\xB8\xB8 n=\"\xE4\xB8\xAD\">\xE6\x96\x87</\xE6\xB8\xB8>"},
        GuardCase{"markup after an embedded NUL is never parsed",
                  std::string("<a/>\0", 5) + Repeat("<a>", 1000)},
        GuardCase{"truncated document", "<config><games><game name=\"a"}));

class RefusedDocumentTest : public testing::TestWithParam<GuardCase> {};

TEST_P(RefusedDocumentTest, IsRefused) { EXPECT_FALSE(Accepts(GetParam().text)); }

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedDocumentTest,
    testing::Values(GuardCase{"one level too deep", Nested(XmlGuard::kMaxDepth + 1)},
                    GuardCase{"deep and unclosed", Repeat("<a>", 100000)},
                    GuardCase{"deep with attributes", Nested(1000, "<a x='1' y=\"/>\">")},
                    GuardCase{"one attribute too many",
                              "<a" + Repeat(" x=\"1\"", XmlGuard::kMaxAttributes + 1) + "/>"},
                    GuardCase{"lead byte cut short before markup", "<a>\xE4</a>"},
                    GuardCase{"lead byte at the end", "<a b=\"\xE4"},
                    GuardCase{"broken character reference in text", "<a>&#xZZ;</a>"},
                    GuardCase{"character reference without semicolon", "<a b=\"&#12\"/>"},
                    GuardCase{"non-ascii between declaration parts",
                              "<?xml version=\"1.0\" \xEF\xBB\xBF?><a/>"},
                    GuardCase{"declaration part without value", "<?xml version ?><a/>"}));

TEST(XmlGuardSize, LimitIsInclusive) {
    const std::string text = "<config>" + std::string(100, ' ') + "</config>";
    EXPECT_TRUE(Accepts(text, text.size()));
    EXPECT_FALSE(Accepts(text, text.size() - 1));
    EXPECT_FALSE(XmlGuard::IsAcceptable(nullptr, 0, kLimit));
}

// ---- Soundness against the parser itself ------------------------------------

int TreeDepth(const TiXmlNode& node) {
    int deepest = 0;
    for (const TiXmlNode* child = node.FirstChild(); child; child = child->NextSibling()) {
        deepest = std::max(deepest, TreeDepth(*child));
    }
    return (node.ToElement() ? 1 : 0) + deepest;
}

// Shapes where a scanner that ignores one of the parser's lexical quirks would
// see closed elements while the parser nests (or the other way round).
const char* const kShapes[] = {
    "<a>",
    "<a>&#x</a>x;",                  // a hex reference reaches to the next ';'
    "<a>&#</a>#;",                   // so does a decimal one
    "<a b=\"&#x\"/>x;\">",           // ... and can hide a quote and "/>"
    "<a><?xml version=\"></a>\"?>",  // declaration values may hold '>'
    "<a><?XML encoding='></a>'?>",   // recognised whatever the case
    "<a><?xml standalone = \"></a>\"?>",
    "<a><?xml x=\"></a>\"?>",  // other declaration parts end at '>'
    "<a><?pi \"></a>\"?>",     // other instructions end at '>'
    "<a><!x \"></a>\">",
    "<a><!--></a>-->",
    "<a><![CDATA[</a>]]>",
    "<a x='\"></a>'>",
    "<a x=></a>",
    "<a/ ></a>",
    "<\x7F>",  // DEL counts as a letter
    "<_>",
    "<1></1>",
    "<a>\xEF\xBB\xBF</a>",
    "<a><?xml version=\xEF\xBB\xBF\"></a>\"?>",  // BOM as white space in UTF-8 mode
    "<a>\xE4</a>",                               // a short lead byte swallows "</"
};

// Prefixes that put the parser in each of its encoding modes.
const char* const kPrefixes[] = {"", "\xEF\xBB\xBF", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                 "<?xml version=\"1.0\" encoding=\"GBK\"?>"};

TEST(XmlGuardSoundness, AcceptedShapesNeverNestBeyondTheLimit) {
    TiXmlBase::SetCondenseWhiteSpace(true);
    for (const char* prefix : kPrefixes) {
        for (const char* shape : kShapes) {
            // 300 levels are still safe for the parser on a test thread.
            const std::string text = prefix + Repeat(shape, 300);
            TiXmlDocument doc;
            doc.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
            if (Accepts(text)) {
                EXPECT_LE(TreeDepth(doc), XmlGuard::kMaxDepth)
                    << "prefix [" << prefix << "] shape [" << shape << "]";
            }
        }
    }
}

TEST(XmlGuardSoundness, BalancedShapesAreAccepted) {
    // The same quirks in documents that do not nest must not be refused.
    const char* const balanced[] = {
        "<a>&#x41;</a>",        "<a b=\"&#x22;\"/>",      "<a><?xml version=\"1.0\"?></a>",
        "<a><!-- </a> --></a>", "<a><![CDATA[<a>]]></a>", "<a x='\"'></a>"};
    for (const char* shape : balanced) {
        EXPECT_TRUE(Accepts(Repeat(shape, 1000))) << shape;
    }
}

}  // namespace
