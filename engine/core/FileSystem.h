// Directory listing returned as an XML node tree: "dir" elements for
// subdirectories and "file" elements for regular files, recursing on demand.
// Entries come sorted by name, ignoring ASCII case and then bytewise, so
// that listings are the same on every run.
#pragma once

class CXMLNode;
class String;

// Lists `path` (no trailing separator) into `out`, keeping only files whose
// full path contains `filter` (empty keeps all), then descends `depth` more
// levels (a negative depth has no limit). Symbolic links are classified by
// their target but never descended into. A missing directory adds nothing.
void ListDirectory(CXMLNode& out, const String& path, const String& filter, int depth);
