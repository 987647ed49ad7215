// Test-only PNG reader: chunk walk, CRC check, inflate, unfilter. Kept small
// and literal so that a fault in the encoder cannot hide behind it.
#include "PngTestReader.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <zlib.h>

namespace
{

uint32_t BigEndian(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

int Predict(int filter, int left, int up, int upperLeft)
{
    switch (filter)
    {
    case 0:
        return 0;
    case 1:
        return left;
    case 2:
        return up;
    case 3:
        return (left + up) / 2;
    default:
    {
        const int p = left + up - upperLeft;
        const int pa = std::abs(p - left);
        const int pb = std::abs(p - up);
        const int pc = std::abs(p - upperLeft);
        if (pa <= pb && pa <= pc)
            return left;
        return pb <= pc ? up : upperLeft;
    }
    }
}

bool Inflate(const std::vector<uint8_t>& in, size_t expected, std::vector<uint8_t>& out)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    // One spare byte shows a stream that holds more than the picture.
    out.assign(expected + 1, 0);
    stream.next_in = const_cast<Bytef*>(in.data());
    stream.avail_in = uInt(in.size());
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool ok = result == Z_STREAM_END && stream.total_out == expected && stream.avail_in == 0;
    inflateEnd(&stream);
    out.resize(expected);
    return ok;
}

} // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>());
}

PngTestImage ReadPngFileForTest(const std::string& path)
{
    return ReadPngForTest(ReadWholeFile(path));
}

PngTestImage ReadPngForTest(const std::vector<uint8_t>& file)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    PngTestImage png;
    if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin()))
    {
        png.error = "bad signature";
        return png;
    }

    std::vector<uint8_t> idat;
    bool sawEnd = false;
    size_t pos = 8;
    while (pos < file.size())
    {
        if (sawEnd)
        {
            png.error = "bytes after IEND";
            return png;
        }
        if (file.size() - pos < 12)
        {
            png.error = "truncated chunk";
            return png;
        }
        PngTestChunk chunk;
        chunk.length = BigEndian(&file[pos]);
        if (chunk.length > file.size() - pos - 12)
        {
            png.error = "chunk longer than the file";
            return png;
        }
        const uint8_t* type = &file[pos + 4];
        const uint8_t* data = type + 4;
        chunk.type.assign(type, type + 4);
        uLong crc = crc32(0L, type, 4);
        crc = crc32(crc, data, uInt(chunk.length));
        chunk.crcOk = crc == BigEndian(data + chunk.length);
        if (!chunk.crcOk && png.error.empty())
            png.error = "bad CRC in " + chunk.type;

        if (png.chunks.empty() && (chunk.type != "IHDR" || chunk.length != 13))
        {
            png.error = "IHDR is not first";
            return png;
        }
        if (chunk.type == "IHDR")
        {
            png.width = BigEndian(data);
            png.height = BigEndian(data + 4);
            png.bitDepth = data[8];
            png.colourType = data[9];
            if (data[10] != 0 || data[11] != 0 || data[12] != 0)
                png.error = "unsupported compression, filter or interlace method";
        }
        else if (chunk.type == "IDAT")
            idat.insert(idat.end(), data, data + chunk.length);
        else if (chunk.type == "IEND")
            sawEnd = true;
        png.chunks.push_back(chunk);
        pos += 12 + size_t(chunk.length);
    }
    if (!sawEnd)
    {
        png.error = "no IEND";
        return png;
    }
    if (!png.error.empty())
        return png;

    switch (png.colourType)
    {
    case 0:
        png.channels = 1;
        break;
    case 2:
        png.channels = 3;
        break;
    case 4:
        png.channels = 2;
        break;
    case 6:
        png.channels = 4;
        break;
    default:
        png.error = "unsupported colour type";
        return png;
    }
    if (png.bitDepth != 8)
    {
        png.error = "unsupported bit depth";
        return png;
    }

    const size_t stride = size_t(png.width) * png.channels;
    if (!Inflate(idat, (stride + 1) * png.height, png.filtered))
    {
        png.error = "image data does not inflate to the picture's size";
        return png;
    }

    png.pixels.assign(stride * png.height, 0);
    const size_t bpp = png.channels;
    for (size_t y = 0; y < png.height; ++y)
    {
        const uint8_t* in = &png.filtered[y * (stride + 1)];
        const int filter = in[0];
        if (filter > 4)
        {
            png.error = "bad filter type";
            return png;
        }
        uint8_t* row = &png.pixels[y * stride];
        const uint8_t* prev = y > 0 ? row - stride : nullptr;
        for (size_t i = 0; i < stride; ++i)
        {
            const int left = i >= bpp ? row[i - bpp] : 0;
            const int up = prev ? prev[i] : 0;
            const int upperLeft = prev && i >= bpp ? prev[i - bpp] : 0;
            row[i] = uint8_t(in[1 + i] + Predict(filter, left, up, upperLeft));
        }
    }
    return png;
}
