// 3D Studio (3DS) models: the triangle meshes of the editor chunk, all in
// one indexed triangle list, with their texture coordinates, and vertex
// colours from the byte diffuse colours of the materials their faces use.
// Normals are generated. Key frames and every unknown chunk are skipped.
#pragma once

class CShape;
class String;

// True when the file gave a model: the shape is then cleared and holds it.
// False, with the shape unchanged, for a file that cannot be read, does not
// start with the main chunk 4D4D, holds no vertices or more than 16-bit
// indices reach, or is larger than 64 MiB.
//
// A chunk shorter than its header or longer than its parent ends the
// reading of its parent; what was read up to it is kept. Counts are bounded
// by their chunk, and faces naming a vertex past their mesh are dropped.
bool Read3ds(const String& path, CShape& shape);
