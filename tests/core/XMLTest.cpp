// Tests of the XML element tree: how expat's callbacks build it, the typed
// attribute reads, deep copies, hostile input (malformed, truncated, binary,
// very deep, very large) and loading from files.
#include "core/XML.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <pthread.h>

#include "support/ScratchDir.h"

namespace
{

class XMLFileTest : public ::testing::Test
{
protected:
    String Write(const char* name, const std::string& content)
    {
        const std::filesystem::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << content;
        return String(path.c_str());
    }

    ScratchDir m_scratch{"vemmo-xml"};
    const std::filesystem::path& m_dir = m_scratch.Path();
};

// Depth of the chain of first children below `node`.
unsigned ChainDepth(const CXMLNode& node)
{
    unsigned depth = 0;
    for (const CXMLNode* at = node.GetChild(0); at; at = at->GetChild(0))
        ++depth;
    return depth;
}

std::string Nested(unsigned levels, bool closed)
{
    std::string text;
    for (unsigned i = 0; i < levels; ++i)
        text += "<n>";
    if (closed)
        for (unsigned i = 0; i < levels; ++i)
            text += "</n>";
    return text;
}

void RunOnSmallStack(void (*body)())
{
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 1 << 20), 0);
    const auto start = [](void* function) -> void*
    {
        (*static_cast<void (**)()>(function))();
        return nullptr;
    };
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, start, &body), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

} // namespace

TEST(XMLDocument, BuildsTheTreeInDocumentOrderWithoutTheRootsAttributes)
{
    CXMLDocument doc;
    ASSERT_TRUE(
        doc.Parse("<gui version=\"2\"><panel z=\"1\" name=\"p\"><deep/></panel><b/></gui>"));
    EXPECT_EQ(doc.GetName(), String("gui"));
    EXPECT_EQ(doc.GetAttributeCount(), 0u);
    EXPECT_EQ(doc.GetParent(), nullptr);
    ASSERT_EQ(doc.GetChildCount(), 2u);
    EXPECT_EQ(doc.GetChild(1)->GetName(), String("b"));
    EXPECT_EQ(doc.GetChild(2), nullptr);
    const CXMLNode* panel = doc.GetChild(0);
    EXPECT_EQ(panel->GetName(), String("panel"));
    EXPECT_EQ(panel->GetParent(), &doc);
    EXPECT_EQ(panel->GetChild(0)->GetParent(), panel);
    ASSERT_EQ(panel->GetAttributeCount(), 2u);
    EXPECT_EQ(panel->GetAttributeAt(0)->GetName(), String("z"));
    EXPECT_EQ(panel->GetAttributeAt(1)->GetValue(), String("p"));
    EXPECT_EQ(panel->GetAttributeAt(2), nullptr);
    EXPECT_EQ(panel->GetAttributeString("name"), String("p"));
    EXPECT_EQ(panel->GetAttribute("name", 2), nullptr);
    EXPECT_EQ(panel->GetAttribute("name", 0), nullptr);
    EXPECT_EQ(panel->GetAttribute("Name"), nullptr);
}

TEST(XMLDocument, TextIsTheLastAcceptedStretchBetweenTwoTags)
{
    CXMLDocument doc;
    ASSERT_TRUE(doc.Parse("<r>"
                          "<a>hello<b/>world</a>"
                          "<c>\n   x</c>"
                          "<d> lead</d>"
                          "<e>line one\nline two</e>"
                          "<f>\tx</f>"
                          "<g>\xC3\xA9t\xC3\xA9</g>"
                          "<h>outer<i>inner</i></h>"
                          "<j><k>inner</k>after</j>"
                          "<l>\n  <m/>\n</l>"
                          "<n>fish &amp; chips</n>"
                          "root text</r>"));
    // expat hands line breaks and entities over as runs of their own; the
    // rule applies to everything between two tags, so indentation gives no
    // text and a line break inside the text keeps the lines around it.
    const char* expected[] = {"world", "",      " lead", "line one\nline two", "", "",
                              "outer", "after", "",      "fish & chips"};
    for (unsigned i = 0; i < 10; ++i)
        EXPECT_EQ(doc.GetChild(i)->GetText(), String(expected[i])) << "child " << i;
    EXPECT_EQ(doc.GetChild(0)->GetChild(0)->GetText(), String(""));
    EXPECT_EQ(doc.GetChild(6)->GetChild(0)->GetText(), String("inner"));
    EXPECT_EQ(doc.GetChild(7)->GetChild(0)->GetText(), String("inner"));
    EXPECT_EQ(doc.GetText(), String("root text"));
}

TEST(XMLAttribute, ReadsNumbersLikeTheRuntimeLibrary)
{
    CXMLDocument doc;
    ASSERT_TRUE(doc.Parse("<r><n a=\"42abc\" b=\"  -7\" c=\"abc\" d=\"99999999999\" "
                          "e=\"-99999999999\" f=\"1.5e2x\" g=\"3.4e39\" h=\".25\" "
                          "re=\"-0.743643887037158704752191506114774\"/></r>"));
    const CXMLNode& n = *doc.GetChild(0);
    EXPECT_EQ(n.GetAttributeInt("a"), 42);
    EXPECT_EQ(n.GetAttributeInt("b"), -7);
    EXPECT_EQ(n.GetAttributeInt("c"), 0);
    EXPECT_EQ(n.GetAttributeInt("absent"), 0);
    EXPECT_EQ(n.GetAttributeInt("d"), 2147483647);
    EXPECT_EQ(n.GetAttributeInt("e"), -2147483647 - 1);
    EXPECT_FLOAT_EQ(n.GetAttributeFloat("f"), 150.0f);
    EXPECT_TRUE(std::isinf(n.GetAttributeFloat("g")));
    EXPECT_FLOAT_EQ(n.GetAttributeFloat("h"), 0.25f);
    EXPECT_EQ(n.GetAttributeFloat("c"), 0.0f);
    EXPECT_EQ(n.GetAttributeFloat("absent"), 0.0f);
    EXPECT_EQ(n.GetAttributeDouble("absent"), 0.0);
    EXPECT_EQ(n.GetAttributeString("absent"), String());
    // Coordinates need the double, which the float read would round away.
    const double re = n.GetAttributeDouble("re");
    EXPECT_EQ(re, std::strtod("-0.743643887037158704752191506114774", nullptr));
    EXPECT_NE(static_cast<double>(n.GetAttributeFloat("re")), re);
}

TEST(XMLAttribute, AsBoolAcceptsTrueInAnyCaseOrAPositiveIntegerAndLowersTheValue)
{
    const struct
    {
        const char* value;
        bool expected;
        const char* stored;
    } cases[] = {{"True", true, "true"}, {"TRUE", true, "true"},   {"1", true, "1"},
                 {"2", true, "2"},       {" 3", true, " 3"},       {"-1", false, "-1"},
                 {"0", false, "0"},      {"yes", false, "yes"},    {"", false, ""},
                 {"NO", false, "no"},    {"true1", false, "true1"}};
    for (const auto& c : cases)
    {
        CXMLAttribute attribute("a", c.value);
        EXPECT_EQ(attribute.AsBool(), c.expected) << c.value;
        EXPECT_EQ(attribute.GetValue(), String(c.stored)) << c.value;
    }

    CXMLAttribute attribute("a", "x");
    attribute.SetValue(-123);
    EXPECT_EQ(attribute.GetValue(), String("-123"));
    EXPECT_EQ(attribute.AsInt(), -123);
    attribute.SetValue(String("2.5"));
    EXPECT_FLOAT_EQ(attribute.AsFloat(), 2.5f);
}

TEST(XMLNode, BoolReadIsFalseWhenAbsentAndLowersEvenThroughAConstNode)
{
    CXMLNode node;
    node.AddAttribute(CXMLAttribute("a", "0"));
    node.AddAttribute(CXMLAttribute("a", "TRUE"));
    node.AddAttribute(CXMLAttribute("b", "2"));
    const CXMLNode& n = node;
    EXPECT_FALSE(n.GetAttributeBool("a"));
    EXPECT_TRUE(n.GetAttributeBool("a", 2));
    EXPECT_EQ(n.GetAttributeString("a", 2), String("true"));
    EXPECT_TRUE(n.GetAttributeBool("b"));
    EXPECT_FALSE(n.GetAttributeBool("a", 3));
    EXPECT_FALSE(n.GetAttributeBool("absent"));
}

TEST(XMLNode, DeepCopyOwnsItsTreeAndPointsParentsAtTheCopies)
{
    CXMLNode source;
    source.SetName("root");
    for (int i = 0; i < 50; ++i)
    {
        CXMLNode child;
        child.SetName("child");
        child.AddAttribute(CXMLAttribute("i", String().Format("%d", i)));
        CXMLNode grandchild;
        grandchild.SetText("leaf");
        child.AddChild(grandchild);
        EXPECT_EQ(child.GetChild(0)->GetParent(), &child);
        CXMLNode* added = source.AddChild(child);
        EXPECT_EQ(added, source.GetChild(source.GetChildCount() - 1));
        EXPECT_EQ(child.GetParent(), nullptr) << "the argument is left alone";
    }

    CXMLNode copy(source);
    source.GetChild(3)->GetAttribute("i")->SetValue(999);
    source.GetChild(3)->GetChild(0)->SetText("changed");
    ASSERT_EQ(copy.GetChildCount(), 50u);
    for (unsigned i = 0; i < 50; ++i)
    {
        const CXMLNode* child = copy.GetChild(i);
        EXPECT_EQ(child->GetParent(), &copy);
        EXPECT_EQ(child->GetAttributeInt("i"), static_cast<int>(i));
        EXPECT_EQ(child->GetChild(0)->GetParent(), child);
        EXPECT_EQ(child->GetChild(0)->GetText(), String("leaf"));
        EXPECT_EQ(source.GetChild(i)->GetParent(), &source);
        EXPECT_EQ(source.GetChild(i)->GetChild(0)->GetParent(), source.GetChild(i));
    }

    // A copy of a subtree is parented like its source.
    const CXMLNode subtree(*source.GetChild(7));
    EXPECT_EQ(subtree.GetParent(), &source);
    EXPECT_EQ(subtree.GetChild(0)->GetParent(), &subtree);

    // Assigning a node its own descendant must not read freed memory, and
    // the node keeps its own place in the tree.
    CXMLNode* target = copy.GetChild(5);
    *target = *target->GetChild(0);
    EXPECT_EQ(target->GetParent(), &copy);
    EXPECT_EQ(target->GetText(), String("leaf"));
    EXPECT_EQ(target->GetChildCount(), 0u);
    copy = copy;
    EXPECT_EQ(copy.GetChildCount(), 50u);

    CXMLNode* cleared = copy.GetChild(0);
    cleared->Clear();
    EXPECT_EQ(cleared->GetParent(), &copy);
    EXPECT_EQ(cleared->GetName(), String());
    EXPECT_EQ(cleared->GetAttributeCount(), 0u);
    EXPECT_EQ(cleared->GetChildCount(), 0u);
}

TEST(XMLDocument, RejectsMalformedInputKeepingTheTreeBuiltSoFar)
{
    CXMLDocument doc;
    EXPECT_FALSE(doc.Parse("<r><a x=\"1\"/><b></c></r>"));
    EXPECT_EQ(doc.GetName(), String("r"));
    ASSERT_EQ(doc.GetChildCount(), 2u);
    EXPECT_EQ(doc.GetChild(0)->GetAttributeInt("x"), 1);

    // A second top-level element is junk after the document element.
    EXPECT_FALSE(doc.Parse("<r><a/></r><s><t/></s>"));
    EXPECT_EQ(doc.GetName(), String("r"));
    ASSERT_EQ(doc.GetChildCount(), 1u);
    EXPECT_EQ(doc.GetChild(0)->GetName(), String("a"));

    EXPECT_FALSE(doc.Parse(""));
    EXPECT_EQ(doc.GetName(), String());
    EXPECT_FALSE(doc.Parse(nullptr));
    EXPECT_FALSE(doc.Parse("   \n"));
    EXPECT_FALSE(doc.Parse("plain text"));
    EXPECT_FALSE(doc.Parse("<r a=\"1\" a=\"2\"/>"));
    EXPECT_FALSE(doc.Parse("<r>\xFF\xFE</r>"));
}

TEST(XMLDocument, RejectsEveryTruncationOfADocument)
{
    const std::string full = "<?xml version=\"1.0\"?>\n<locations>\n"
                             "  <location name=\"Seahorse &amp; tail\" real=\"-0.75\"/>\n"
                             "  <location name=\"Spiral\"><![CDATA[x]]>text</location>\n"
                             "</locations>";
    CXMLDocument doc;
    ASSERT_TRUE(doc.Parse(full.c_str()));
    ASSERT_EQ(doc.GetChildCount(), 2u);
    EXPECT_EQ(doc.GetChild(0)->GetAttributeString("name"), String("Seahorse & tail"));
    for (size_t length = 0; length < full.size(); ++length)
        EXPECT_FALSE(doc.Parse(full.substr(0, length).c_str())) << "length " << length;
}

TEST(XMLDocument, SurvivesBinaryGarbage)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round)
    {
        std::string bytes(1 + random() % 512, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random() % 255 + 1);
        if (round % 2)
            bytes.insert(0, "<r><a b=\"");
        CXMLDocument doc;
        EXPECT_FALSE(doc.Parse(bytes.c_str()));
    }
}

TEST(XMLDocument, SurvivesHundredThousandLevelsOfNesting)
{
    // A 1 MiB stack leaves about ten bytes per level: any recursion over the
    // depth in parsing, copying or destroying overflows it.
    RunOnSmallStack(
        []
        {
            const unsigned levels = 100000;
            CXMLDocument doc;
            ASSERT_TRUE(doc.Parse(Nested(levels, true).c_str()));
            EXPECT_EQ(ChainDepth(doc), levels - 1);

            CXMLDocument copy(doc);
            EXPECT_EQ(ChainDepth(copy), levels - 1);
            CXMLNode assigned;
            assigned = copy;
            EXPECT_EQ(ChainDepth(assigned), levels - 1);
            const CXMLNode* last = &assigned;
            while (last->GetChild(0))
                last = last->GetChild(0);
            unsigned up = 0;
            while (last->GetParent())
                last = last->GetParent(), ++up;
            EXPECT_EQ(up, levels - 1);
            EXPECT_EQ(last, &assigned);

            copy.Clear();
            EXPECT_EQ(copy.GetChildCount(), 0u);
            EXPECT_FALSE(doc.Parse(Nested(levels, false).c_str()));
            EXPECT_EQ(ChainDepth(doc), levels - 1);
            // `doc` and `assigned` are destroyed deep here.
        });
}

TEST_F(XMLFileTest, LoadsAMultiMegabyteFile)
{
    const unsigned count = 200000;
    std::string content = "<?xml version=\"1.0\"?>\n<items>\n";
    for (unsigned i = 0; i < count; ++i)
        content += "  <item id=\"" + std::to_string(i) + "\" name=\"item number " +
                   std::to_string(i) + "\" scale=\"0.5\">text of " + std::to_string(i) +
                   "</item>\n";
    content += "</items>\n";
    ASSERT_GT(content.size(), 10u << 20);

    CXMLDocument doc;
    ASSERT_TRUE(doc.Load(Write("big.xml", content)));
    ASSERT_EQ(doc.GetChildCount(), count);
    for (unsigned i : {0u, count / 2, count - 1})
    {
        const CXMLNode* item = doc.GetChild(i);
        EXPECT_EQ(item->GetAttributeInt("id"), static_cast<int>(i));
        EXPECT_EQ(item->GetAttributeString("name"),
                  String(("item number " + std::to_string(i)).c_str()));
        EXPECT_EQ(item->GetText(), String(("text of " + std::to_string(i)).c_str()));
        EXPECT_EQ(item->GetParent(), &doc);
    }
}

TEST_F(XMLFileTest, FailedLoadsLeaveThePreviousTree)
{
    CXMLDocument doc;
    ASSERT_TRUE(doc.Load(Write("good.xml", "<r><a>kept</a></r>")));
    EXPECT_FALSE(doc.Load((m_dir / "missing.xml").c_str()));
    EXPECT_FALSE(doc.Load(m_dir.c_str()));
    // A device would be read for ever.
    std::filesystem::create_symlink("/dev/zero", m_dir / "zero.xml");
    EXPECT_FALSE(doc.Load((m_dir / "zero.xml").c_str()));
    EXPECT_EQ(doc.GetName(), String("r"));
    ASSERT_EQ(doc.GetChildCount(), 1u);
    EXPECT_EQ(doc.GetChild(0)->GetText(), String("kept"));

    EXPECT_FALSE(doc.Load(Write("empty.xml", "")));
    EXPECT_EQ(doc.GetChildCount(), 0u);
}

TEST_F(XMLFileTest, LoadStopsAtTheFirstZeroByte)
{
    CXMLDocument doc;
    ASSERT_TRUE(doc.Load(Write("zero.xml", std::string("<r><a/></r>\0<junk", 17))));
    EXPECT_EQ(doc.GetChildCount(), 1u);
    EXPECT_FALSE(doc.Load(Write("cut.xml", std::string("<r><a/>\0</r>", 12))));
    EXPECT_EQ(doc.GetChildCount(), 1u);
}
