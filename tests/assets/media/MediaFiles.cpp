#include "MediaFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include "core/String.h"
#include "render/Shape.h"

namespace mediatest
{

void PutLe16(Bytes& bytes, uint32_t value)
{
    bytes.push_back(uint8_t(value));
    bytes.push_back(uint8_t(value >> 8));
}

void PutLe32(Bytes& bytes, uint32_t value)
{
    PutLe16(bytes, value & 0xFFFF);
    PutLe16(bytes, value >> 16);
}

void PutFloat(Bytes& bytes, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    PutLe32(bytes, bits);
}

void PutText(Bytes& bytes, const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
}

Bytes Join(const std::vector<Bytes>& parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Chunk3ds(uint16_t id, const Bytes& body)
{
    Bytes chunk;
    PutLe16(chunk, id);
    PutLe32(chunk, uint32_t(body.size() + 6));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

Bytes RiffChunk(const std::string& tag, const Bytes& body)
{
    Bytes chunk;
    PutText(chunk, tag);
    PutLe32(chunk, uint32_t(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    if (body.size() % 2)
        chunk.push_back(0);
    return chunk;
}

Bytes FormatChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    Bytes body;
    PutLe16(body, tag);
    PutLe16(body, channels);
    PutLe32(body, rate);
    PutLe32(body, rate * channels * bits / 8);
    PutLe16(body, channels * bits / 8);
    PutLe16(body, bits);
    return RiffChunk("fmt ", body);
}

Bytes WaveFile(const std::vector<Bytes>& chunks)
{
    const Bytes body = Join(chunks);
    Bytes file;
    PutText(file, "RIFF");
    PutLe32(file, uint32_t(body.size() + 4));
    PutText(file, "WAVE");
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

namespace
{

void AppendPage(Bytes& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

} // namespace

Bytes OggTone(unsigned channels, unsigned rate, unsigned frames)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, long(channels), long(rate), 0.0f) != 0)
        throw std::runtime_error("OggTone: encoder refused the format");
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    Bytes out;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);

    const unsigned piece = 1024;
    for (unsigned done = 0; done <= frames;)
    {
        const unsigned count = std::min(piece, frames - done);
        if (count > 0)
        {
            float** buffer = vorbis_analysis_buffer(&dsp, int(count));
            for (unsigned c = 0; c < channels; ++c)
                for (unsigned i = 0; i < count; ++i)
                    buffer[c][i] = 0.5f * float(std::sin((done + i) * 440.0 * 6.2831853 / rate));
        }
        vorbis_analysis_wrote(&dsp, int(count));
        done += count;
        while (vorbis_analysis_blockout(&dsp, &block) == 1)
        {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet))
            {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page))
                    AppendPage(out, page);
            }
        }
        if (count == 0)
            break;
    }
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::vector<uint16_t> Indices(const CShape& shape)
{
    return {shape.GetIndices(), shape.GetIndices() + shape.GetIndexCount()};
}

void ExpectModel(ModelReader read, const std::string& path, bool accepted,
                 const std::vector<uint16_t>& indices, const char* name)
{
    CShape shape;
    shape.SetCounts(1, 0);
    EXPECT_EQ(read(path.c_str(), shape), accepted) << name;
    if (accepted)
        EXPECT_EQ(Indices(shape), indices) << name;
    else
        EXPECT_EQ(shape.GetVertexCount(), 1u) << name << ": shape changed";
}

std::string Scratch::Write(const Bytes& bytes, const std::string& name)
{
    const std::string path =
        (m_dir.Path() / (name.empty() ? "file" + std::to_string(m_count++) : name)).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

std::string Scratch::WriteText(const std::string& text, const std::string& name)
{
    return Write(Bytes(text.begin(), text.end()), name);
}

} // namespace mediatest
