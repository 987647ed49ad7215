// JPEG decoding against files ImageMagick wrote (grey, colour at full and
// quarter chroma resolution), the CMYK refusal, and copies that are cut
// short, lie in their frame header or carry corrupt data: all must come
// back as null rather than end the process.
#include "resources/JpegDecoder.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "DecoderTestSupport.h"

using namespace decodertest;

namespace
{

const Decoder kJpg{LoadJpg, GetJpgBits, GetJpgWidth, GetJpgHeight};

// Offset of the first marker FF `code`, walking the header segments, or 0.
size_t FindMarker(const std::vector<uint8_t>& file, uint8_t code)
{
    for (size_t at = 2; at + 4 <= file.size() && file[at] == 0xFF;
         at += 2 + size_t(file[at + 2] << 8 | file[at + 3]))
        if (file[at + 1] == code)
            return at;
    return 0;
}

// A 16 x 16 colour picture, progressive: libjpeg's own script (about ten
// scans) without `scans`, else the DC of all components followed by single
// AC coefficients of one component at a time, `scans` scans in all.
std::string WriteProgressive(const std::string& path, int scans = 0)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = info.image_height = 16;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    std::vector<jpeg_scan_info> script = {{3, {0, 1, 2, 0}, 0, 0, 0, 0}};
    for (int k = 0; int(script.size()) < scans; ++k)
        script.push_back({1, {k / 63, 0, 0, 0}, k % 63 + 1, k % 63 + 1, 0, 0});
    jpeg_simple_progression(&info);
    if (scans > 0)
    {
        info.scan_info = script.data();
        info.num_scans = scans;
    }
    jpeg_start_compress(&info, TRUE);
    uint8_t row[16 * 3];
    for (unsigned i = 0; i < sizeof row; ++i)
        row[i] = uint8_t(i * 5);
    for (JSAMPROW rows = row; info.next_scanline < 16;)
        jpeg_write_scanlines(&info, &rows, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
    return path;
}

class JpegDecoderTest : public ScratchFiles
{
};

} // namespace

// Ours uses the floating-point inverse DCT, convert its own choice, so
// samples may differ by a step or two.
TEST(JpegDecoder, LoadsGreyAndColourCloseToImageMagick)
{
    ExpectLikeImageMagick(kJpg, {"grey.jpg", "grey.jpg.gray", 16, 8, 8}, 2);
    ExpectLikeImageMagick(kJpg, {"rgb.jpg", "rgb.jpg.rgb", 16, 8, 24}, 2);
    ExpectLikeImageMagick(kJpg, {"rgb420.jpg", "rgb420.jpg.rgb", 16, 8, 24}, 2);
}

TEST(JpegDecoder, RefusesCmykButReportsItsComponents)
{
    const std::string path = DataPath("cmyk.jpg");
    EXPECT_EQ(GetJpgBits(path.c_str()), 32);
    EXPECT_EQ(LoadJpg(path.c_str()), nullptr);
}

TEST_F(JpegDecoderTest, CorruptFilesGiveNullInsteadOfEndingTheProcess)
{
    const std::vector<uint8_t> good = ReadBytes(DataPath("rgb.jpg"));
    const size_t frame = FindMarker(good, 0xC0), scan = FindMarker(good, 0xDA);
    ASSERT_GT(frame, 0u);
    ASSERT_GT(scan, frame);

    // The header ends with the scan header; a file cut anywhere has lost
    // image data or its end marker.
    SweepTruncations(kJpg, good, good.size(), scan + 4);

    std::vector<uint8_t> file = good;
    file[frame + 7] = file[frame + 8] = 0; // width 0
    EXPECT_EQ(LoadJpg(Write(file).c_str()), nullptr);
    EXPECT_EQ(GetJpgWidth(Write(file).c_str()), -1);

    // 300 bytes cannot describe 65000 x 65000 pixels: refused before
    // 12 GB are allocated.
    file[frame + 5] = file[frame + 7] = 0xFD;
    file[frame + 6] = file[frame + 8] = 0xE8;
    EXPECT_EQ(GetJpgWidth(Write(file).c_str()), 65000);
    EXPECT_EQ(LoadJpg(Write(file).c_str()), nullptr);

    file = good;
    file[FindMarker(good, 0xC4) + 1] = 0x01; // no such marker
    EXPECT_EQ(LoadJpg(Write(file).c_str()), nullptr);

    // Garbled entropy-coded data, each byte of the scan in turn: whatever
    // libjpeg notices must come back as null.
    int refused = 0;
    for (size_t at = scan + 2 + good[scan + 3]; at + 2 < good.size(); ++at)
    {
        file = good;
        file[at] ^= 0xA5;
        refused += Pixels(LoadJpg(Write(file).c_str())) == nullptr;
    }
    EXPECT_GT(refused, 0);

    EXPECT_EQ(LoadJpg("tests/data/images/no-such.jpg"), nullptr);
    EXPECT_EQ(GetJpgBits("tests/data/images/no-such.jpg"), -1);
}

// Each scan costs a pass over the picture however little it holds, so a
// small file of hundreds of scans is refused rather than decoded slowly.
TEST_F(JpegDecoderTest, ProgressiveFilesDecodeUpToOneHundredScans)
{
    EXPECT_NE(Pixels(LoadJpg(WriteProgressive((m_dir / "usual.jpg").string()).c_str())), nullptr);
    EXPECT_NE(Pixels(LoadJpg(WriteProgressive((m_dir / "100.jpg").string(), 100).c_str())),
              nullptr);
    const std::string over = WriteProgressive((m_dir / "101.jpg").string(), 101);
    EXPECT_EQ(LoadJpg(over.c_str()), nullptr);
    EXPECT_EQ(GetJpgWidth(over.c_str()), 16); // only the header is read
}
