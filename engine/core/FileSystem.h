// Directory listing returned as an XML node tree: "dir" elements for
// subdirectories and "file" elements for regular files, recursing on demand.
// Entries come sorted by name so that listings are the same on every run.
#pragma once

#include <cstdint>
#include <vector>

class CXMLNode;
class String;

// Lists `path` (no trailing separator) into `out`, keeping only files whose
// full path contains `filter` (empty keeps all), then descends `depth` more
// levels (a negative depth has no limit). Symbolic links are classified by
// their target but never descended into. A missing directory adds nothing.
void ListDirectory(CXMLNode& out, const String& path, const String& filter, int depth);

// The contents of a regular file (links followed) of at most `limit` bytes.
// False, with `bytes` emptied, for anything else: a missing file, a
// directory, a device such as /dev/zero that would never end, a file larger
// than `limit` (also one that grows past it while being read), a failed read.
bool ReadRegularFile(const String& path, std::vector<uint8_t>& bytes, uint64_t limit);
