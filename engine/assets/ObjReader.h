// Wavefront OBJ models with their MTL material libraries, read into an
// indexed triangle list: positions, texture coordinates in file order, and
// vertex colours from the materials' diffuse colours; normals are generated,
// the file's own are not read. Faces give their first three or four vertex
// references ("7", "7/2", "7/2/5", "7//5"); a quad becomes two triangles.
#pragma once

class CShape;
class String;

// True when the file gave a model: the shape is then cleared and holds it,
// with three extra indices 0 0 0 closing the list. False, with the shape
// unchanged, for a file that cannot be read, has no vertices, has more
// than 16-bit indices reach or is larger than 64 MiB.
//
// Faces with fewer than three references, or any reference that is no
// number, 0, negative or past the last vertex, are dropped whole. Library
// names after "mtllib" are paths from the working directory, with tabs
// dropped and the ends trimmed; each library replaces the material list,
// while the material in use keeps its colour until the next "usemtl" that
// finds a name. Lines may end in CR LF.
bool ReadObj(const String& path, CShape& shape);
