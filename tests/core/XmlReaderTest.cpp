#include "core/Errors.h"
#include "core/xml/XmlDocument.h"

#include <gtest/gtest.h>

namespace {

// The message Load raises, or "" when it succeeds.
std::string loadMessage(TXmlDocument& document, std::string_view data)
{
    try {
        document.Load(data);
    } catch (const EXmlError& error) {
        return error.what();
    }
    return {};
}

std::string loadMessage(std::string_view data)
{
    TXmlDocument document;
    return loadMessage(document, data);
}

struct RefusalCase {
    std::string_view data;
    std::string_view message;
};

TEST(XmlReader, AcceptsOrRefusesWithExactMessages)
{
    const RefusalCase cases[] = {
        {"", ""},
        {"<?xml version=\"1.0\"?>", ""},
        {"\xEF\xBB\xBF<a/>", ""},
        {std::string_view("\xFF\xFE\0<a/>", 6), ""},
        {"<list><item/></list>trailing junk", ""},
        {"<format>0</FORMAT>", ""},
        {"<p:a></p:A>", ""},
        {"<a x = 'y' z=\"w\" />", ""},
        {"<?xml\tversion=\"1.0\"?><a>", ""},
        {"<?pi stuff?><a>", ""},
        {"<!ELEMENT a><b>", ""},
        {"<", ""},
        {"<list", ""},
        {"<list a='1' b", ""},
        {"<!--c--><!DOCTYPE x [<!ENTITY e '>'>]><?xml-stylesheet href='s'?><a/>", ""},
        {"<a><!-- x --x> y --></a>", ""},
        {"x<a/>", "Invalid Document: Unexpected text in file prolog"},
        {"<a>x</b>", "Invalid XML Element: Erroneous end of tag, expecting </a> but </b> found"},
        {"<list>", "Invalid XML Element: Erroneous end of tag, expecting </list> but </> found"},
        {"<list><item>", "Invalid XML Element: Erroneous end of tag, expecting </item> but </> found"},
        {"<list></list", "Invalid XML Element: Erroneous end of tag, expecting </list> but </> found"},
        {"<list></list >", "Invalid XML Element: Erroneous end of tag, expecting </list> but </list > found"},
        {"<p:a></a>", "Invalid XML Element: Erroneous end of tag, expecting </a> but </a> found"},
        {"< a/>", "Invalid XML Element: malformed tag found (no valid name)"},
        {"<a/x>", "Invalid XML Element: Expected end of tag but \"x\" found"},
        {"<a b>", "Invalid XML Element: Unexpected character in property declaration (\">\" found)"},
        {"<a *='1'>", "Invalid XML Element: Unexpected character in property declaration (\"*\" found)"},
        {"<a b=c>",
         "Invalid XML Element: Unexpected character in property declaration. Expecting \" or ' but \"c\"  found"},
        {"<?xml version='1.0'>", "Invalid Header: expected \"?\" but found \">\""},
        {"<?xml version='1.0'?x", "Invalid Header: expected \">\" but found \"x\""},
        {"<?xml version='1.0'", "Invalid Header: Unexpected end of data"},
        {"<?xml version='1.0'?", "Invalid Header: Unexpected end of data"},
        {"<?xml version='1.0", "Invalid Header: Unexpected end of data"},
        {"<?xml-stylesheet href='a'>", "Invalid Stylesheet: expected \"?\" but found \">\""},
        {"<?xml-stylesheet href='a'", "Invalid Stylesheet: Unexpected end of data"},
        {"<!DOCTYPE x", "Invalid Document Type: Unexpected end of data"},
        {"<!DOCTYPE x [ > ", "Invalid Document Type: Unexpected end of data"},
        {"<!-- a -- b -->", "Invalid Comment: \"--\" not allowed inside comments"},
        {"<!-- a", "Invalid Comment: Unexpected end of data"},
        {"<a><!-- a --></a><!--", ""},
        {"<a><!-- a", "Invalid Comment: Unexpected end of data"},
        {"<a><![CDATA[ x ]]", "Invalid CDATA: Unexpected end of data"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(loadMessage(c.data), c.message) << "input: " << c.data;
}

TEST(XmlReader, RefusesHostileNestingWithAMessage)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    EXPECT_EQ(loadMessage(deep), "Invalid XML Element: Elements nested too deeply");
}

TEST(XmlReader, EmptyDataKeepsTheRootName)
{
    TXmlDocument document;
    document.Root().SetName("list");
    for (std::string_view data : {"", "   ", "<?xml version=\"1.0\"?>\r\n"}) {
        document.Load(data);
        EXPECT_EQ(document.Root().Name(), "list");
        EXPECT_EQ(document.Root().Children().Count(), 0);
    }
    EXPECT_EQ(document.Prolog().Count(), 1);
}

TEST(XmlReader, ValuesAndTextChildren)
{
    struct Case {
        std::string_view data;
        std::string_view value;
    };
    const Case cases[] = {
        {"<path/>", ""},
        {"<path></path>", ""},
        {"<path>  </path>", ""},
        {"<path> x </path>", " x "},
        {"<p>&#xE9;</p>", "\xE9"},
        {"<p>&#XE9;</p>", "\xE9"},
        {"<p>&#233;</p>", "\xE9"},
        {"<p>&AMP;</p>", "&"},
        {"<p>&amp;lt;</p>", "&lt;"},
        {"<p>a&b</p>", "a&b"},
        {"<p>&Quot;&apos;&LT;&gt;</p>", "\"'<>"},
        {"<p>&#0;&#;&#x;&#12a;&#-1;&unknown;&amp</p>", "&#0;&#;&#x;&#12a;&#-1;&unknown;&amp"},
        {"<p>&#256;&#321;&#x1E9;</p>", std::string_view("\0A\xE9", 3)},
        {"<p>line\r\nbreak\ttab</p>", "line\r\nbreak\ttab"},
        {"<p><![CDATA[&amp;]]></p>", ""},
    };
    for (const auto& c : cases) {
        TXmlDocument document;
        document.Load(c.data);
        EXPECT_EQ(document.Root().Value(), c.value) << c.data;
    }
}

TEST(XmlReader, ChildrenKeepTheirKindsAndOrder)
{
    TXmlDocument document;
    document.Load("<r>\n  x &lt;<a/> <!--c--> <![CDATA[<&>]]>y\n</r>");
    const auto& children = document.Root().Children();
    ASSERT_EQ(children.Count(), 5);
    EXPECT_EQ(children.Item(0).Kind(), XmlElemKind::Text);
    EXPECT_EQ(children.Item(0).Value(), "\n  x <");
    EXPECT_EQ(children.Item(1).Name(), "a");
    EXPECT_EQ(children.Item(1).Parent(), &document.Root());
    EXPECT_EQ(children.Item(2).Kind(), XmlElemKind::Comment);
    EXPECT_EQ(children.Item(2).Value(), "c");
    EXPECT_EQ(children.Item(3).Kind(), XmlElemKind::CData);
    EXPECT_EQ(children.Item(3).Value(), "<&>");
    EXPECT_EQ(children.Item(4).Value(), "y\n");
    EXPECT_EQ(document.Root().Value(), "");
}

TEST(XmlReader, NamesPrefixesAndAttributes)
{
    TXmlDocument document;
    document.Load("<ns:root a='1' x:b = \"&lt;2&gt;\" a='3'><ns:kid/></NS:ROOT>");
    const auto& root = document.Root();
    EXPECT_EQ(root.Name(), "root");
    EXPECT_EQ(root.Prefix(), "ns");
    const auto& attributes = root.Attributes();
    ASSERT_EQ(attributes.Count(), 3);
    EXPECT_EQ(attributes.Item(1).Prefix, "x");
    EXPECT_EQ(attributes.Item(1).Name, "b");
    EXPECT_EQ(attributes.Item(1).Value, "<2>");
    EXPECT_EQ(attributes.Item(2).Value, "3");
    EXPECT_THROW(attributes.Item(3), EListError);
}

TEST(XmlReader, PrologItems)
{
    TXmlDocument document;
    document.Load("\xEF\xBB\xBF<?xml version=\"1.1\" encoding='ISO-8859-1' standalone=\"yes\"?>\r\n"
                  "<!-- note --><!DOCTYPE  list [ <!ENTITY x \"y\"> ]  >\n"
                  "<?xml-stylesheet type=\"text/xsl\" href=\"a&amp;b\"?><list/>");
    const auto& prolog = document.Prolog();
    ASSERT_EQ(prolog.Count(), 4);
    const auto& header = static_cast<const TXmlElemHeader&>(prolog.Item(0));
    EXPECT_EQ(header.Version(), "1.1");
    EXPECT_EQ(header.Encoding(), "ISO-8859-1");
    EXPECT_TRUE(header.Standalone());
    EXPECT_EQ(header.Attributes().Count(), 0);
    EXPECT_EQ(prolog.Item(1).Value(), " note ");
    EXPECT_EQ(prolog.Item(2).Kind(), XmlElemKind::DocType);
    EXPECT_EQ(prolog.Item(2).Value(), "list [ <!ENTITY x \"y\"> ]");
    EXPECT_EQ(prolog.Item(3).Attributes().Value("href", ""), "a&b");
    EXPECT_EQ(document.Root().Name(), "list");
}

TEST(XmlReader, DeclarationWithoutEncodingReadsEmpty)
{
    TXmlDocument document;
    document.Load("<?xml version=\"1.0\" standalone='no'?><a/>");
    const auto& header = static_cast<const TXmlElemHeader&>(document.Prolog().Item(0));
    EXPECT_EQ(header.Encoding(), "");
    EXPECT_FALSE(header.Standalone());
}

TEST(XmlReader, ReloadingReplacesEverythingAndFailuresKeepWhatWasRead)
{
    TXmlDocument document;
    document.Load("<?xml version=\"1.0\"?><!--a--><list><item>1</item></list>");
    EXPECT_NE(loadMessage(document, "<!--b--><other><one/><two>"), "");
    EXPECT_EQ(document.Prolog().Count(), 1);
    EXPECT_EQ(document.Prolog().Item(0).Value(), "b");
    EXPECT_EQ(document.Root().Name(), "list");
    ASSERT_EQ(document.Root().Children().Count(), 2);
    // The unfinished element never got its name.
    EXPECT_EQ(document.Root().Children().Item(0).Name(), "one");
    EXPECT_EQ(document.Root().Children().Item(1).Name(), "");
}

TEST(XmlReader, FindChildIgnoresCaseAndTakesTheLast)
{
    TXmlDocument document;
    document.Load("<item><FORMAT>1</FORMAT>text<!--c--><format>2</format><path/></item>");
    const auto& children = document.Root().Children();
    ASSERT_NE(children.FindChild("format"), nullptr);
    EXPECT_EQ(children.FindChild("format")->Value(), "2");
    EXPECT_EQ(children.FindChild("Path"), &children.Item(4));
    EXPECT_EQ(children.FindChild("filename"), nullptr);
    EXPECT_THROW(children.Item(5), EListError);
    EXPECT_THROW(children.Item(-1), EListError);
}

}  // namespace

TEST(XmlReader, StreamedLoadHandsOverTheRootsChildrenAsLoadReadsThem)
{
    const char* documents[] = {
        "<list><item><filename>a&amp;b</filename></item><item/></list>",
        "<list>lead<a>x</a>tail<!--c--><![CDATA[<d>]]></list>",
        "<?xml version=\"1.0\"?><!--p--><p:list k='v'>only text</p:list>",
        "<list>  <a><b>deep</b>t</a>  </list>",
        "<list/>",
        "",
    };
    for (const char* data : documents) {
        TXmlDocument whole;
        whole.Root().SetName("before");
        whole.Load(data);
        TXmlDocument streamed;
        streamed.Root().SetName("before");
        TXmlDocument collected;
        streamed.Load(data, [&](TXmlElem& child) {
            EXPECT_EQ(child.Parent(), &streamed.Root());
            auto copy = child.CreateSame();
            copy->CopyFrom(child);
            collected.Root().Children().Add(std::move(copy));
        });
        EXPECT_EQ(streamed.Root().Children().Count(), 0) << data;
        EXPECT_EQ(streamed.Root().Name(), whole.Root().Name()) << data;
        EXPECT_EQ(streamed.Root().Prefix(), whole.Root().Prefix()) << data;
        EXPECT_EQ(streamed.Root().Value(), whole.Root().Value()) << data;
        EXPECT_EQ(streamed.Prolog().Count(), whole.Prolog().Count()) << data;
        // Same children, same kinds, same values: compared through the writer.
        collected.Root().SetName(whole.Root().Name());
        collected.Root().SetPrefix(whole.Root().Prefix());
        TXmlDocument wholeChildren;
        wholeChildren.Root().CopyFrom(whole.Root());
        wholeChildren.Root().SetValue("");
        wholeChildren.Root().Attributes().Clear();
        EXPECT_EQ(collected.SaveToString(), wholeChildren.SaveToString()) << data;
    }
}

TEST(XmlReader, StreamedLoadFailsLikeLoad)
{
    const char* documents[] = {
        "<list><a>x</a><b>y</c></list>",
        "<list><a>x</a>",
        "<list><a x=1/></list>",
    };
    for (const char* data : documents) {
        std::string expected;
        try {
            TXmlDocument whole;
            whole.Load(data);
        } catch (const EXmlError& error) {
            expected = error.what();
        }
        TXmlDocument streamed;
        int handedOver = 0;
        try {
            streamed.Load(data, [&](TXmlElem&) { ++handedOver; });
            ADD_FAILURE() << data;
        } catch (const EXmlError& error) {
            EXPECT_EQ(std::string(error.what()), expected) << data;
        }
        EXPECT_LE(handedOver, 1) << data;
    }
}
