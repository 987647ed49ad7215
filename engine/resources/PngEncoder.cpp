// WritePng: filters the picture top row first (Sub for the first row, Paeth
// for the rest) and streams it through deflate at level 9 into a single
// IDAT chunk, a batch of rows at a time, so memory stays small whatever the
// picture's size. The IDAT length is filled in once the stream ends, which
// needs a seekable file. The caller's buffer is only read; nothing is
// reported, so an unwritable file simply ends up short or absent.
#include "resources/PngEncoder.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <zlib.h>

#include "core/RegularFile.h"
#include "resources/detail/PngWriting.h"

namespace
{

using resources_detail::PngChunkWriter;

// Rows are filtered in batches of about this size, and deflate's output
// goes to the file in pieces of this size.
constexpr size_t kBatchBytes = 64 * 1024;
constexpr size_t kOutputBytes = 64 * 1024;

// The documented settings: zlib's format at level 9, default strategy.
constexpr int kLevel = 9;
constexpr int kWindowBits = 15;

// PNG row j is buffer row height - 1 - j, so the row above it in the picture
// is the next row of the buffer.
bool StreamImageData(const uint8_t* pixels, uint32_t height, size_t stride, size_t bpp,
                     PngChunkWriter& writer)
{
    resources_detail::Deflater deflater(kLevel, kWindowBits, Z_DEFAULT_STRATEGY);
    if (!deflater.IsOpen())
        return false;
    const size_t rowBytes = stride + 1;
    std::vector<uint8_t> batch(std::max<size_t>(1, kBatchBytes / rowBytes) * rowBytes);
    std::vector<uint8_t> out(kOutputBytes);
    uint32_t j = 0;
    do
    {
        size_t filled = 0;
        for (; j < height && filled < batch.size(); ++j, filled += rowBytes)
        {
            const uint8_t* raw = pixels + size_t(height - 1 - j) * stride;
            resources_detail::FilterPngRow(raw, j == 0 ? nullptr : raw + stride, stride, bpp,
                                           batch.data() + filled);
        }
        const auto append = [&writer](const uint8_t* bytes, size_t count)
        {
            writer.Append(bytes, count);
            return writer.OpenSize() <= resources_detail::kMaxPngChunkData;
        };
        if (!resources_detail::DeflateBytes(deflater.stream, batch.data(), filled,
                                            j == height ? Z_FINISH : Z_NO_FLUSH, out.data(),
                                            out.size(), append))
            return false;
    } while (j < height);
    return deflater.End();
}

} // namespace

void WritePng(const char* fileName, uint32_t width, uint32_t height, int bits,
              const uint8_t* pixels)
{
    assert(fileName && "WritePng(): null file name");
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return;
    const size_t bpp = size_t(bits / 8);

    // Dimensions whose filtered size does not even fit in memory's address
    // range describe no buffer the caller could hold: write nothing.
    const uint64_t stride = uint64_t(width) * bpp;
    if (height != 0 && stride + 1 > SIZE_MAX / height)
        return;
    assert((pixels || stride == 0 || height == 0) && "WritePng(): null pixels");

    UniqueFile file(std::fopen(fileName, "wb"));
    if (!file)
        return;
    PngChunkWriter writer(file.get());
    writer.WriteHeader(width, height, bpp);
    writer.OpenChunk("IDAT");
    // A failed compression, or one too long for a chunk, leaves IDAT empty.
    if (StreamImageData(pixels, height, size_t(stride), bpp, writer))
        writer.CloseChunk();
    else
        writer.EmptyOpenChunk();
    writer.WriteChunk("IEND", nullptr, 0);
}
