// Preset locations read at construction: the shipped file, any element name
// counting as a location, the number conversions, and files that are missing
// or broken.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "fractal/Fractal.h"
#include "resources/Image.h"

namespace
{

std::string WriteFile(const char* name, const std::string& text)
{
    const std::string path = ::testing::TempDir() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return path;
}

void ExpectZeroView(const CFractal& fractal)
{
    EXPECT_EQ(fractal.GetIterationLimit(), 0u);
    EXPECT_EQ(fractal.GetCentreRe(), 0.0);
    EXPECT_EQ(fractal.GetCentreIm(), 0.0);
    EXPECT_EQ(fractal.GetScale(), 0.0);
}

} // namespace

TEST(Locations, ShippedFileHoldsTwelveAndStartsAtTheFirst)
{
    const CFractal fractal; // reads resources/locations.xml
    const std::vector<CLocation>& locations = fractal.GetLocations();
    ASSERT_EQ(locations.size(), 12u);
    for (const CLocation& location : locations)
    {
        EXPECT_GT(location.name.GetLength(), 0u);
        EXPECT_GT(location.iterations, 0) << location.name.GetText();
        EXPECT_GT(location.scale, 0.0) << location.name.GetText();
    }
    const CLocation& first = locations.front();
    EXPECT_EQ(fractal.GetIterationLimit(), uint32_t(first.iterations));
    EXPECT_EQ(fractal.GetCentreRe(), first.real);
    EXPECT_EQ(fractal.GetCentreIm(), first.imaginary);
    EXPECT_EQ(fractal.GetScale(), first.scale);
    // Deep presets need every digit: the centre is read in double precision.
    EXPECT_EQ(locations[10].real, std::atof("-0.743643887037151"));
    EXPECT_EQ(locations[11].scale, std::atof("0.000000000004"));
}

TEST(Locations, EveryChildOfTheRootIsOneInDocumentOrder)
{
    const std::string path = WriteFile("locations_any.xml", R"(<?xml version="1.0"?>
<presets>
  <location name="Home" real="-0.5" imaginary="0.25" scale="1.5" iterations="256">
    text and <nested name="not a location"/> are ignored
  </location>
  <spot iterations="12abc" real="1e-3" imaginary="-2.5E2" scale="x1"/>
  <view name="Last" real=" 7" iterations="-3"/>
</presets>
)");
    const CFractal fractal{String(path.c_str())};
    const std::vector<CLocation>& locations = fractal.GetLocations();
    ASSERT_EQ(locations.size(), 3u);

    EXPECT_STREQ(locations[0].name.GetText(), "Home");
    EXPECT_EQ(locations[0].iterations, 256);
    EXPECT_EQ(locations[0].real, -0.5);
    EXPECT_EQ(locations[0].imaginary, 0.25);
    EXPECT_EQ(locations[0].scale, 1.5);

    // Leading digits count, the rest is ignored; no digits read as 0.
    EXPECT_STREQ(locations[1].name.GetText(), "");
    EXPECT_EQ(locations[1].iterations, 12);
    EXPECT_EQ(locations[1].real, 0.001);
    EXPECT_EQ(locations[1].imaginary, -250.0);
    EXPECT_EQ(locations[1].scale, 0.0);

    // Missing attributes are 0.
    EXPECT_STREQ(locations[2].name.GetText(), "Last");
    EXPECT_EQ(locations[2].iterations, -3);
    EXPECT_EQ(locations[2].real, 7.0);
    EXPECT_EQ(locations[2].imaginary, 0.0);
    EXPECT_EQ(locations[2].scale, 0.0);

    EXPECT_EQ(fractal.GetIterationLimit(), 256u);
    EXPECT_EQ(fractal.GetCentreRe(), -0.5);
    EXPECT_EQ(fractal.GetCentreIm(), 0.25);
    EXPECT_EQ(fractal.GetScale(), 1.5);
}

TEST(Locations, StartingWithoutAScaleGivesOneColour)
{
    const std::string path =
        WriteFile("locations_flat.xml",
                  R"(<l><a name="flat" real="0.3" imaginary="0.5" iterations="50"/></l>)");
    CFractal fractal{String(path.c_str())};
    ASSERT_EQ(fractal.GetLocations().size(), 1u);
    EXPECT_EQ(fractal.GetScale(), 0.0);

    // Every pixel maps to the centre point.
    fractal.SetPalette(BuiltInPalette());
    fractal.ResetJob(7, 5);
    CImage image;
    image.Create(7, 5, 3, 24);
    fractal.RenderRows(image);
    for (unsigned i = 0; i < 7 * 5 * 3; ++i)
        ASSERT_EQ(image.GetPixels()[i], image.GetPixels()[i % 3]) << i / 3;
}

TEST(Locations, FilesThatCannotBeReadGiveNoneAndAZeroView)
{
    const std::string broken[] = {
        ::testing::TempDir() + "no_such_locations.xml",
        WriteFile("locations_empty.xml", ""),
        WriteFile("locations_junk.xml", "<l><a name=\"x\" scale=\"1\"/></l><second/>"),
        WriteFile("locations_text.xml", "just some text\n"),
    };
    for (const std::string& path : broken)
    {
        const CFractal fractal{String(path.c_str())};
        EXPECT_TRUE(fractal.GetLocations().empty()) << path;
        ExpectZeroView(fractal);
    }

    // A root without children reads fine but has nothing to start at.
    const CFractal none{String(WriteFile("locations_none.xml", "<locations/>").c_str())};
    EXPECT_TRUE(none.GetLocations().empty());
    ExpectZeroView(none);
}
