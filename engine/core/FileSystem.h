// Directory listing returned as an XML node tree: "dir" elements for
// subdirectories and "file" elements for regular files, recursing on demand.
// Entries come sorted by name so that listings are the same on every run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

class CXMLNode;
class String;

// Lists `path` (no trailing separator) into `out`, keeping only files whose
// full path contains `filter` (empty keeps all), then descends `depth` more
// levels (a negative depth has no limit). Symbolic links are classified by
// their target but never descended into. A missing directory adds nothing.
void ListDirectory(CXMLNode& out, const String& path, const String& filter, int depth);

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens for binary reading a regular file (links followed) of at most
// `limit` bytes; null for anything else: a missing file, a directory, a
// device such as /dev/zero that would never end, a FIFO (the open does not
// wait for a writer), a larger file.
UniqueFile OpenRegularFile(const String& path, uint64_t limit);

// The contents of such a file. False, with `bytes` emptied, when it cannot
// be opened, a read fails or the file grows past `limit` while it is read.
bool ReadRegularFile(const String& path, std::vector<uint8_t>& bytes, uint64_t limit);
