// Image filters: kernel shape, convolution at the borders, the resize and
// rotation results the explorer relies on, and images that are empty, freed
// or both source and output.
#include "resources/Filter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "resources/Image.h"

namespace
{

// An image whose every byte is fn(x, y, channel).
template <typename Fn>
CImage MakeImage(unsigned width, unsigned height, unsigned channels, Fn fn)
{
    CImage image;
    image.Create(width, height, channels, int(channels * 8));
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            for (unsigned k = 0; k < channels; ++k)
                image.GetPixel(x, y)[k] = uint8_t(fn(x, y, k));
    return image;
}

CImage Distinct(unsigned width, unsigned height, unsigned channels)
{
    return MakeImage(width, height, channels,
                     [](unsigned x, unsigned y, unsigned k) { return 1 + x + 16 * y + 64 * k; });
}

std::vector<uint8_t> Bytes(const CImage& image)
{
    const uint8_t* p = image.GetPixels();
    return std::vector<uint8_t>(p, p + image.GetWidth() * image.GetHeight() * image.GetChannels());
}

CMatrix OneTap(unsigned rows, unsigned cols, unsigned row, unsigned col)
{
    CMatrix kernel(rows, cols);
    for (unsigned i = 0; i < rows * cols; ++i)
        kernel.Set(i, 0.0f);
    kernel.Set(row, col, 1.0f);
    return kernel;
}

} // namespace

TEST(Filter, ClampSaturatesAndTruncates)
{
    EXPECT_EQ(CFilter::Clamp(255.9f), 255);
    EXPECT_EQ(CFilter::Clamp(-0.1f), 0);
    EXPECT_EQ(CFilter::Clamp(12.7f), 12);
    EXPECT_EQ(CFilter::Clamp(1e9f), 255);
    EXPECT_EQ(CFilter::Clamp(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(CFilter::Clamp(std::nanf("")), 0);
}

TEST(Filter, BlurKernelFallsOffWithDistanceAndGrowsEvenSizesToOdd)
{
    const CMatrix k3 = CFilterBlur::MakeSquareBlurKernel(3, 0.25f, 0.5f);
    ASSERT_EQ(k3.GetRows() * k3.GetCols(), 9u);
    const float expected3[9] = {0, 0.125f, 0, 0.125f, 0.5f, 0.125f, 0, 0.125f, 0};
    for (unsigned i = 0; i < 9; ++i)
        EXPECT_FLOAT_EQ(k3.Get(i), expected3[i]) << i;

    // 4 wide, 2 high: 3 × 5 with the centre at row 1, column 2; e + g = 3.
    const CMatrix k = CFilterBlur::MakeBlurKernel(4, 2, 0.9f, 2.0f);
    ASSERT_EQ(k.GetRows(), 3u);
    ASSERT_EQ(k.GetCols(), 5u);
    EXPECT_FLOAT_EQ(k.Get(1, 2), 2.0f);
    EXPECT_FLOAT_EQ(k.Get(1, 1), 0.6f);
    EXPECT_FLOAT_EQ(k.Get(0, 1), 0.3f);
    EXPECT_FLOAT_EQ(k.Get(2, 4), 0.0f);

    const CMatrix one = CFilterBlur::MakeBlurKernel(0, 1, 0.25f, 0.7f);
    ASSERT_EQ(one.GetRows() * one.GetCols(), 1u);
    EXPECT_FLOAT_EQ(one.Get(0), 0.7f);
}

TEST(Filter, ConvolveCentresTheKernelAndDropsTapsOutsideTheImage)
{
    const CImage image = Distinct(4, 3, 2);
    float values[2] = {-1, -1};
    // Weight (0, 2) of a 3 × 3 kernel reads one row down, one column right.
    CFilter::Convolve(1, 1, image, OneTap(3, 3, 0, 2), values);
    EXPECT_EQ(values[0], float(image.GetPixel(2, 0)[0]));
    EXPECT_EQ(values[1], float(image.GetPixel(2, 0)[1]));
    CFilter::Convolve(3, 0, image, OneTap(3, 3, 0, 2), values);
    EXPECT_EQ(values[0], 0.0f);
    // An even kernel's centre is its first tap: (1 − 1) ÷ 2 = 0.
    CFilter::Convolve(0, 2, image, OneTap(1, 2, 0, 1), values);
    EXPECT_EQ(values[1], float(image.GetPixel(1, 2)[1]));

    CImage freed = image;
    freed.FreePixels();
    values[0] = values[1] = -1;
    CFilter::Convolve(1, 1, freed, OneTap(3, 3, 1, 1), values);
    EXPECT_EQ(values[0] + values[1], 0.0f);
}

TEST(Filter, ApplyWithUnitKernelCopiesEvenInPlace)
{
    const CImage source = Distinct(5, 3, 4);
    CFilter filter;
    CImage output;
    filter.Apply(output, source, CMatrix(1, 1));
    ASSERT_EQ(output.GetWidth() * output.GetHeight(), 15u);
    EXPECT_EQ(output.GetBits(), 32);
    EXPECT_EQ(Bytes(output), Bytes(source));

    // In place, a shifting kernel must still read the unshifted source.
    CImage image = source;
    filter.Apply(image, image, OneTap(1, 3, 0, 2));
    for (unsigned x = 0; x < 5; ++x)
        EXPECT_EQ(image.GetPixel(x, 1)[3], x < 4 ? source.GetPixel(x + 1, 1)[3] : 0) << x;
}

TEST(Filter, ResizeSamplesThroughTheBlurAndLosesOutsideTaps)
{
    const CImage grey = MakeImage(4, 4, 1, [](unsigned, unsigned, unsigned) { return 100; });
    CImage half;
    CFilterResize::Resize(half, grey, 2, 2);
    ASSERT_EQ(half.GetWidth(), 2u);
    EXPECT_EQ(half.GetPixel(0, 0)[0], 75);
    EXPECT_EQ(half.GetPixel(1, 0)[0], 87);
    EXPECT_EQ(half.GetPixel(0, 1)[0], 87);
    EXPECT_EQ(half.GetPixel(1, 1)[0], 100);

    // Own size: the blurred copy, not the source.
    const CImage source = Distinct(4, 3, 3);
    CImage same = source;
    CImage blurred;
    CFilter().Apply(blurred, source, CFilterBlur::MakeSquareBlurKernel(3, 0.25f, 0.5f));
    CFilterResize::Resize(same, same, 4, 3);
    EXPECT_EQ(Bytes(same), Bytes(blurred));
    EXPECT_NE(same.GetPixel(0, 0)[0], source.GetPixel(0, 0)[0]);

    // Enlarging by 2 repeats each sample: columns 0, 0, 1, 1 of the blur.
    CImage wide;
    CFilterResize::Resize(wide, source, 8, 3);
    EXPECT_EQ(wide.GetPixel(2, 1)[2], blurred.GetPixel(1, 1)[2]);
    EXPECT_EQ(wide.GetPixel(3, 1)[2], blurred.GetPixel(1, 1)[2]);
}

TEST(Filter, ResizeAndRotateSurviveEmptyAndFreedImages)
{
    CImage output;
    const CImage source = Distinct(3, 2, 3);
    CFilterResize::Resize(output, source, 0, 5);
    EXPECT_EQ(output.GetWidth(), 0u);
    EXPECT_EQ(output.GetHeight(), 5u);
    CFilterResize::Resize(output, CImage(), 3, 2);
    EXPECT_EQ(output.GetWidth() * output.GetHeight(), 6u);

    CImage freed = source;
    freed.FreePixels();
    CFilterResize::Resize(output, freed, 2, 2);
    EXPECT_EQ(Bytes(output), std::vector<uint8_t>(12, 0));
    CFilterRotate::Rotate(output, freed, 0, 0, 30, 1);
    EXPECT_EQ(output.GetWidth(), 3u);
    CFilterRotate::Rotate(output, CImage(), 10, 20, 30, 1);
    EXPECT_EQ(output.GetWidth() + output.GetHeight(), 0u);
    CFilterRotate::Rotate(output, source, std::nanf(""), 0, 0, 1);
    EXPECT_EQ(output.GetWidth(), 3u);
    EXPECT_EQ(output.GetHeight(), 2u);
}

TEST(Filter, RotateByNothingTurnsHalfWayAndShiftsByOnePixel)
{
    CImage image = Distinct(5, 4, 3);
    const CImage source = image;
    CFilterRotate::Rotate(image, image, 0, 0, 0, 0);
    ASSERT_EQ(image.GetWidth(), 5u);
    for (unsigned i = 0; i < 4; ++i)
        for (unsigned j = 0; j < 5; ++j)
            for (unsigned k = 0; k < 3; ++k)
                EXPECT_EQ(image.GetPixel(j, i)[k], i && j ? source.GetPixel(5 - j, 4 - i)[k] : 0);
}

TEST(Filter, QuarterTurnWithFitKeepsTheWholePictureSquashed)
{
    // Grey grows with the column, so the rows of a quarter-turned picture
    // show which source columns survived.
    const CImage source =
        MakeImage(100, 50, 1, [](unsigned x, unsigned, unsigned) { return x + 50; });
    auto span = [](const CImage& image)
    {
        int low = 255, high = 0;
        for (unsigned y = 2; y < 48; ++y)
        {
            low = std::min(low, int(image.GetPixel(50, y)[0]));
            high = std::max(high, int(image.GetPixel(50, y)[0]));
        }
        return std::make_pair(low, high);
    };
    CImage fitted;
    CFilterRotate::Rotate(fitted, source, 0, 0, 90, 1);
    ASSERT_EQ(fitted.GetWidth(), 100u);
    ASSERT_EQ(fitted.GetHeight(), 50u);
    EXPECT_EQ(fitted.GetPixel(10, 25)[0], 0);
    EXPECT_EQ(fitted.GetPixel(89, 25)[0], 0);
    EXPECT_LT(span(fitted).first, 60);
    EXPECT_GT(span(fitted).second, 140);

    CImage cropped;
    CFilterRotate::Rotate(cropped, source, 0, 0, 90, 0);
    EXPECT_GT(span(cropped).first, 70);
    EXPECT_LT(span(cropped).second, 130);
}
