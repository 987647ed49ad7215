// Tests of the directory listing: the shape of the "dir"/"file" tree, the
// path filter, recursion depth, ordering, links and other entry kinds.
#include "core/FileSystem.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/String.h"
#include "core/XML.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace
{

class FileSystemTest : public ::testing::Test
{
protected:
    void File(const std::string& relative, const std::string& content = "")
    {
        fs::create_directories((m_root / relative).parent_path());
        std::ofstream(m_root / relative, std::ios::binary) << content;
    }
    void Dir(const std::string& relative) { fs::create_directories(m_root / relative); }
    String Path(const std::string& relative = "") const
    {
        return String((relative.empty() ? m_root : m_root / relative).c_str());
    }

    ScratchDir m_scratch{"vemmo-fs"};
    const fs::path& m_root = m_scratch.Path();
};

// "name" attributes of the children, in order.
std::vector<std::string> Names(const CXMLNode& node)
{
    std::vector<std::string> names;
    for (unsigned i = 0; i < node.GetChildCount(); ++i)
        names.push_back(node.GetChild(i)->GetAttributeString("name").GetText());
    return names;
}

const CXMLNode* ChildNamed(const CXMLNode& node, const char* name)
{
    for (unsigned i = 0; i < node.GetChildCount(); ++i)
        if (node.GetChild(i)->GetAttributeString("name") == String(name))
            return node.GetChild(i);
    return nullptr;
}

} // namespace

TEST_F(FileSystemTest, ListsDirectoriesAndFilesWithTheirAttributesInOrder)
{
    File("b.png", "12345");
    File("sub/inner.txt", "x");
    Dir("empty");

    CXMLNode out;
    ListDirectory(out, Path(), "", 0);
    EXPECT_EQ(out.GetName(), String("dir"));
    ASSERT_EQ(out.GetAttributeCount(), 1u);
    EXPECT_EQ(out.GetAttributeString("path"), Path());
    ASSERT_EQ(Names(out), (std::vector<std::string>{"b.png", "empty", "sub"}));

    const CXMLNode* file = out.GetChild(0);
    EXPECT_EQ(file->GetName(), String("file"));
    ASSERT_EQ(file->GetAttributeCount(), 2u);
    EXPECT_EQ(file->GetAttributeAt(0)->GetName(), String("name"));
    EXPECT_EQ(file->GetAttributeAt(1)->GetName(), String("size"));
    EXPECT_EQ(file->GetAttributeString("size"), String("5"));

    const CXMLNode* dir = out.GetChild(2);
    EXPECT_EQ(dir->GetName(), String("dir"));
    ASSERT_EQ(dir->GetAttributeCount(), 2u);
    EXPECT_EQ(dir->GetAttributeAt(0)->GetName(), String("path"));
    EXPECT_EQ(dir->GetAttributeAt(0)->GetValue(), Path() + "/sub");
    EXPECT_EQ(dir->GetAttributeAt(1)->GetName(), String("name"));
    EXPECT_EQ(dir->GetChildCount(), 0u) << "depth 0 does not descend";

    CXMLNode empty;
    ListDirectory(empty, Path("empty"), "", 3);
    EXPECT_EQ(empty.GetName(), String("dir"));
    EXPECT_EQ(empty.GetAttributeCount(), 1u);
    EXPECT_EQ(empty.GetChildCount(), 0u);
}

TEST_F(FileSystemTest, SortsNamesCaseBlindThenByByte)
{
    for (const char* name : {"b", "_x", "B", "a", "!vemmo.png", "A", "ab", "a0"})
        File(name);
    CXMLNode out;
    ListDirectory(out, Path(), "", 0);
    EXPECT_EQ(Names(out),
              (std::vector<std::string>{"!vemmo.png", "A", "a", "a0", "ab", "B", "b", "_x"}));
}

TEST_F(FileSystemTest, FilterIsASubstringOfTheFullFilePath)
{
    File("a.png");
    File("a.png.bak");
    File("c.txt");
    File("set.png/plain.txt");
    File("other/plain.txt");

    CXMLNode out;
    ListDirectory(out, Path(), ".png", 1);
    EXPECT_EQ(Names(out), (std::vector<std::string>{"a.png", "a.png.bak", "other", "set.png"}))
        << "directories are listed whatever the filter";
    EXPECT_EQ(Names(*ChildNamed(out, "set.png")), (std::vector<std::string>{"plain.txt"}));
    EXPECT_EQ(ChildNamed(out, "other")->GetChildCount(), 0u);
}

TEST_F(FileSystemTest, DepthLimitsHowFarItDescends)
{
    File("one/two/three/deep.txt");
    File("one/mid.txt");

    CXMLNode out;
    ListDirectory(out, Path(), "", 1);
    const CXMLNode* one = ChildNamed(out, "one");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(Names(*one), (std::vector<std::string>{"mid.txt", "two"}));
    EXPECT_EQ(one->GetAttributeString("path"), Path("one"));
    EXPECT_EQ(ChildNamed(*one, "two")->GetChildCount(), 0u);

    CXMLNode all;
    ListDirectory(all, Path(), "", -1);
    const CXMLNode* three = ChildNamed(*ChildNamed(*ChildNamed(all, "one"), "two"), "three");
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(Names(*three), (std::vector<std::string>{"deep.txt"}));
    EXPECT_EQ(three->GetAttributeCount(), 2u) << "an existing path attribute is not doubled";
}

TEST_F(FileSystemTest, MissingOrNonDirectoryPathAddsNothing)
{
    File("plain.txt", "abc");
    for (const String& path : {Path("missing"), Path("plain.txt"), String("")})
    {
        CXMLNode out;
        out.SetName("keep");
        ListDirectory(out, path, "", 2);
        EXPECT_EQ(out.GetName(), String("keep")) << path.GetText();
        EXPECT_EQ(out.GetAttributeCount(), 0u);
        EXPECT_EQ(out.GetChildCount(), 0u);
    }
}

TEST_F(FileSystemTest, FollowsLinksToClassifyButNeverDescendsThroughThem)
{
    File("target/file.txt", "1234567");
    Dir("real");
    fs::create_symlink(m_root / "target/file.txt", m_root / "real/linked.txt");
    fs::create_directory_symlink(m_root, m_root / "real/loop");
    fs::create_symlink(m_root / "nowhere", m_root / "real/dangling");
    ASSERT_EQ(mkfifo((m_root / "real/fifo").c_str(), 0600), 0);

    CXMLNode out;
    ListDirectory(out, Path("real"), "", -1);
    ASSERT_EQ(Names(out), (std::vector<std::string>{"linked.txt", "loop"}));
    EXPECT_EQ(out.GetChild(0)->GetName(), String("file"));
    EXPECT_EQ(out.GetChild(0)->GetAttributeString("size"), String("7"));
    EXPECT_EQ(out.GetChild(1)->GetName(), String("dir"));
    EXPECT_EQ(out.GetChild(1)->GetChildCount(), 0u);
}

TEST_F(FileSystemTest, ReportsSizesPastTwoGigabytesUnsigned)
{
    const fs::path big = m_root / "big.bin";
    std::ofstream(big).close();
    // Sparse, so it costs no disk space where the file system allows it.
    if (truncate(big.c_str(), 3LL << 30) != 0)
        GTEST_SKIP() << "cannot make a 3 GiB sparse file here";
    CXMLNode out;
    ListDirectory(out, Path(), "", 0);
    ASSERT_EQ(out.GetChildCount(), 1u);
    EXPECT_EQ(out.GetChild(0)->GetAttributeString("size"), String("3221225472"));
}
