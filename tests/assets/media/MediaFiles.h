// Shared by the model and sound reader tests: byte builders for 3DS chunks
// and WAV files, an Ogg Vorbis encoder for test tones, and a scratch folder
// to write them into.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ScratchDir.h"

class CShape;
class String;

namespace mediatest
{

using Bytes = std::vector<uint8_t>;

void PutLe16(Bytes& bytes, uint32_t value);
void PutLe32(Bytes& bytes, uint32_t value);
void PutFloat(Bytes& bytes, float value);
void PutText(Bytes& bytes, const std::string& text);
Bytes Join(const std::vector<Bytes>& parts);

// A 3DS chunk: identifier, length including the 6-byte header, body.
Bytes Chunk3ds(uint16_t id, const Bytes& body);
// A RIFF chunk: tag, little-endian length of the body, body, and a pad byte
// after an odd body.
Bytes RiffChunk(const std::string& tag, const Bytes& body);
Bytes FormatChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
Bytes WaveFile(const std::vector<Bytes>& chunks);

// Mono or stereo sine tone of `frames` frames, Vorbis-encoded at quality 0.
Bytes OggTone(unsigned channels, unsigned rate, unsigned frames);

using ModelReader = bool (*)(const String&, CShape&);

std::vector<uint16_t> Indices(const CShape& shape);

// One row of a model reader's table: the file at `path` is read, giving
// `indices`, or refused, leaving a one-vertex shape as it was.
void ExpectModel(ModelReader read, const std::string& path, bool accepted,
                 const std::vector<uint16_t>& indices, const char* name);

class Scratch
{
public:
    // Writes bytes (or text) to a new file in the folder and gives its path.
    std::string Write(const Bytes& bytes, const std::string& name = "");
    std::string WriteText(const std::string& text, const std::string& name = "");
    std::string Folder() const { return m_dir.Path().string(); }

private:
    ScratchDir m_dir{"vemmo-media"};
    int m_count = 0;
};

} // namespace mediatest
