// Reading whole files that are what they claim to be: regular files of a
// bounded size. Every loader of the engine opens its files through here, so
// that a link to a device, a FIFO or a huge file can never hang it or take
// all memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

class String;

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
