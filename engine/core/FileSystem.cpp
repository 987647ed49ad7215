#include "core/FileSystem.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "core/String.h"
#include "core/XML.h"

namespace
{

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;


struct Entry
{
    std::string name;
    bool isDirectory = false;
    bool isLink = false;
    long long size = 0;
};

char FoldCase(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// ASCII case-blind first, then byte order: names come out the way a desktop
// file browser shows them, and the order is still total.
bool NameLess(const Entry& a, const Entry& b)
{
    const size_t common = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < common; ++i)
    {
        const char x = FoldCase(a.name[i]);
        const char y = FoldCase(b.name[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.name.size() != b.name.size())
        return a.name.size() < b.name.size();
    return a.name < b.name;
}

// Directories and regular files only; sockets, fifos, devices and dangling
// links are skipped.
std::vector<Entry> ReadEntries(DIR* dir)
{
    std::vector<Entry> entries;
    const int fd = dirfd(dir);
    while (const dirent* item = readdir(dir))
    {
        Entry entry;
        entry.name = item->d_name;
        if (entry.name == "." || entry.name == "..")
            continue;
        struct stat info;
        if (fstatat(fd, item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISLNK(info.st_mode))
        {
            entry.isLink = true;
            if (fstatat(fd, item->d_name, &info, 0) != 0)
                continue;
        }
        if (S_ISDIR(info.st_mode))
            entry.isDirectory = true;
        else if (S_ISREG(info.st_mode))
            entry.size = static_cast<long long>(info.st_size);
        else
            continue;
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), NameLess);
    return entries;
}

} // namespace

void ListDirectory(CXMLNode& out, const String& path, const String& filter, int depth)
{
    std::vector<Entry> entries;
    {
        DirPtr dir(opendir(path.GetText()));
        if (!dir)
            return;
        entries = ReadEntries(dir.get());
    }

    out.SetName("dir");
    if (!out.GetAttribute("path"))
        out.AddAttribute(CXMLAttribute("path", path));

    // Links to directories are listed but never entered, so a link back up
    // the tree cannot make the descent endless.
    std::vector<bool> enter(out.GetChildCount(), true);
    for (const Entry& entry : entries)
    {
        const String name(entry.name.c_str());
        const String full = path + "/" + name;
        CXMLNode child;
        if (entry.isDirectory)
        {
            child.SetName("dir");
            child.AddAttribute(CXMLAttribute("path", full));
            child.AddAttribute(CXMLAttribute("name", name));
            out.AddChild(std::move(child));
            enter.push_back(!entry.isLink);
        }
        else if (filter.GetLength() == 0 || full.Find(filter) >= 0)
        {
            // The real size, where a 32-bit field would turn files past
            // 2 GiB negative.
            String size;
            size.Format("%lld", entry.size);
            child.SetName("file");
            child.AddAttribute(CXMLAttribute("name", name));
            child.AddAttribute(CXMLAttribute("size", size));
            out.AddChild(std::move(child));
            enter.push_back(false);
        }
    }

    if (depth == 0)
        return;
    for (unsigned i = 0; i < out.GetChildCount(); ++i)
    {
        CXMLNode* child = out.GetChild(i);
        if (!enter[i] || child->GetName() != String("dir"))
            continue;
        ListDirectory(*child, child->GetAttributeString("path"), filter, depth - 1);
    }
}
