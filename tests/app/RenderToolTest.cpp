// Runs the built vemmo-render binary: exit status and messages for bad
// options and unwritable paths, and the PNG it writes for a tiny view.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "resources/PngDecoder.h"
#include "support/ScratchDir.h"

#ifndef VEMMO_RENDER_TOOL
#error "VEMMO_RENDER_TOOL must name the vemmo-render binary (set in app/CMakeLists.txt)"
#endif

namespace fs = std::filesystem;

namespace
{

class RenderTool : public testing::Test
{
protected:
    // Runs the tool with `args` (already shell-quoted where needed) and
    // returns its exit status; stdout and stderr land in m_out and m_err.
    int Run(const std::string& args)
    {
        const fs::path out = m_dir / "stdout.txt";
        const fs::path err = m_dir / "stderr.txt";
        const std::string command = std::string("'") + VEMMO_RENDER_TOOL + "' " + args + " >'" +
                                    out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        m_out = ReadFile(out);
        m_err = ReadFile(err);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string ReadFile(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Runs the tool on a pseudo-terminal with `args` and returns what it
    // showed there; its exit status goes to `status`.
    static std::string RunOnTerminal(std::vector<const char*> args, int& status)
    {
        args.insert(args.begin(), VEMMO_RENDER_TOOL);
        args.push_back(nullptr);
        int terminal = -1;
        const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
        if (child < 0)
            return "forkpty failed";
        if (child == 0)
        {
            execv(VEMMO_RENDER_TOOL, const_cast<char* const*>(args.data()));
            _exit(127);
        }
        std::string shown;
        char buffer[256];
        for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, size_t(got));
        close(terminal);
        int raw = 0;
        status = waitpid(child, &raw, 0) == child && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return shown;
    }

    static uint32_t BigEndian(const std::string& bytes, size_t at)
    {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i)
            value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
        return value;
    }

    ScratchDir m_scratch{"vemmo-render"};
    const fs::path& m_dir = m_scratch.Path();
    std::string m_out;
    std::string m_err;
};

} // namespace

TEST_F(RenderTool, RefusesBadOptionsWithUsageAndStatusTwo)
{
    const fs::path png = m_dir / "x.png";
    const std::string out = " --output '" + png.string() + "'";
    const std::vector<std::string> bad = {
        "--bogus 1",          "stray",         "--width",        "--width 0",   "--width -5",
        "--width 12x",        "--width ' 12'", "--width 16385",  "--height 0",  "--limit -1",
        "--limit 4294967296", "--limit 1e3",   "--scale -1",     "--scale nan", "--scale inf",
        "--scale 1e999",      "--scale ''",    "--real 0.5x",    "--imag abc",  "--centre 1",
        "--centre 1,",        "--centre ,2",   "--centre 1,2,3", "--output ''",
        "--threads 0",        "--threads 257", "--threads -2",   "--compression fast",
        "--compression ''",
    };
    for (const std::string& args : bad)
    {
        EXPECT_EQ(Run(args + out), 2) << args;
        EXPECT_NE(m_err.find("usage: vemmo-render"), std::string::npos) << args;
        EXPECT_FALSE(fs::exists(png)) << args;
    }
    // A misspelt option is named as such, even as the last argument.
    EXPECT_EQ(Run("--widht"), 2);
    EXPECT_NE(m_err.find("unknown option --widht"), std::string::npos) << m_err;
    EXPECT_EQ(Run("--width"), 2);
    EXPECT_NE(m_err.find("missing value for --width"), std::string::npos) << m_err;
}

TEST_F(RenderTool, HelpPrintsUsageAndSucceeds)
{
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(m_out.find("--centre RE,IM"), std::string::npos);
    EXPECT_NE(m_out.find("--threads N"), std::string::npos);
    EXPECT_NE(m_out.find("--compression C"), std::string::npos);
    EXPECT_TRUE(m_err.empty());
}

TEST_F(RenderTool, UnwritablePathFailsWithStatusOne)
{
    const fs::path png = m_dir / "no-such-dir" / "x.png";
    EXPECT_EQ(Run("--width 4 --height 4 --output '" + png.string() + "'"), 1);
    EXPECT_NE(m_err.find("cannot write"), std::string::npos);
    EXPECT_NE(m_err.find(png.string()), std::string::npos);
    EXPECT_FALSE(fs::exists(png));

    EXPECT_EQ(Run("--width 4 --height 4 --output '" + m_dir.string() + "'"), 1);
}

TEST_F(RenderTool, WritesAPngOfTheRequestedSize)
{
    const fs::path png = m_dir / "tiny.png";
    ASSERT_EQ(Run("--centre -0.75,0.1 --scale 0.5 --limit 50 --width 12 --height 7 --output '" +
                  png.string() + "'"),
              0)
        << m_err;
    EXPECT_TRUE(m_err.empty());
    const std::string bytes = ReadFile(png);
    ASSERT_GT(bytes.size(), 33u + 12u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian(bytes, 16), 12u);
    EXPECT_EQ(BigEndian(bytes, 20), 7u);
    EXPECT_EQ(bytes[24], 8); // bit depth
    EXPECT_EQ(bytes[25], 2); // truecolour
    EXPECT_EQ(bytes.substr(bytes.size() - 8, 4), "IEND");
}

// Several PNG bands and rows shared out among threads: the pixels must come
// out the same whatever the threads and the compression, and the bytes the
// same for one compression whatever the threads.
TEST_F(RenderTool, PixelsDoNotDependOnThreadsOrCompression)
{
    const std::string view = "--centre -0.7435669,0.1314023 --scale 0.002 --limit 300 "
                             "--width 300 --height 900 ";
    std::unique_ptr<uint8_t[]> first;
    for (const char* compression : {"speed", "balanced", "size"})
    {
        std::string bytes;
        for (const char* threads : {"1", "2", "3"})
        {
            SCOPED_TRACE(std::string(compression) + ", " + threads + " threads");
            const fs::path png = m_dir / "view.png";
            ASSERT_EQ(Run(view + "--compression " + compression + " --threads " + threads +
                          " --output '" + png.string() + "'"),
                      0)
                << m_err;
            if (bytes.empty())
                bytes = ReadFile(png);
            EXPECT_TRUE(ReadFile(png) == bytes);
            std::unique_ptr<uint8_t[]> pixels(LoadPng(png.string().c_str()));
            ASSERT_NE(pixels, nullptr);
            if (!first)
                first = std::move(pixels);
            else
                EXPECT_EQ(std::memcmp(pixels.get(), first.get(), 300 * 900 * 3), 0);
        }
    }
}

TEST_F(RenderTool, ShowsProgressOnATerminalOnly)
{
    // Long enough for a few progress lines (silence off a terminal is
    // checked by the other tests, whose standard error is a file).
    const fs::path png = m_dir / "slow.png";
    int status = -1;
    const std::string shown = RunOnTerminal(
        {"--centre", "-0.743643887037151,0.131825904205330", "--scale", "1e-7", "--limit", "100000",
         "--width", "240", "--height", "240", "--threads", "1", "--output", png.c_str()},
        status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(shown.find("% rendered, "), std::string::npos) << shown;
    EXPECT_NE(shown.find(" s left"), std::string::npos) << shown;
    EXPECT_TRUE(fs::exists(png));
}

TEST_F(RenderTool, ColoursThroughAGradientOrRefusesOne)
{
    const fs::path png = m_dir / "grad.png";
    const std::string out = " --output '" + png.string() + "'";
    ASSERT_EQ(
        Run("--width 9 --height 5 --limit 50 --gradient 'resources/gradients/!vemmo.png'" + out), 0)
        << m_err;
    // The centre (-0.5, 0) is inside the set: the gradient's first entry.
    uint8_t* pixels = LoadPng(png.string().c_str());
    ASSERT_NE(pixels, nullptr);
    const uint8_t* centre = pixels + (2 * 9 + 4) * 3;
    EXPECT_EQ(centre[0], 0);
    EXPECT_EQ(centre[1], 7);
    EXPECT_EQ(centre[2], 100);
    delete[] pixels;

    fs::remove(png);
    EXPECT_EQ(Run("--gradient README.md" + out), 1);
    EXPECT_NE(m_err.find("README.md"), std::string::npos);
    EXPECT_FALSE(fs::exists(png));
}

TEST_F(RenderTool, AnInterruptedRenderLeavesThePreviousPicture)
{
    const fs::path png = m_dir / "view.png";
    std::ofstream(png, std::ios::binary) << "the previous picture";
    // Deep in seahorse valley with a high limit: minutes of work, so the run
    // is still rendering when it is stopped.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(VEMMO_RENDER_TOOL, VEMMO_RENDER_TOOL, "--centre",
              "-0.743643887037151,0.131825904205330", "--scale", "1e-7", "--limit", "1000000",
              "--width", "1024", "--height", "1024", "--output", png.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }

    // The picture in the making sits beside the target until it is complete.
    const auto partials = [&]
    {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(m_dir))
            count += entry.path() != png;
        return count;
    };
    for (int i = 0; i < 1000 && partials() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(partials(), 1);
    EXPECT_EQ(ReadFile(png), "the previous picture");

    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_EQ(ReadFile(png), "the previous picture");
    EXPECT_EQ(partials(), 0);
}

TEST_F(RenderTool, ReadsDeepViewsAndRefusesBadOnes)
{
    const fs::path png = m_dir / "deep.png";
    const std::string out = " --width 4 --height 3 --output '" + png.string() + "'";
    const std::string digits = "-0.75" + std::string(3000, '1');
    for (const std::string& good :
         {std::string("--centre 0,1 --scale 1e-1000 --limit 50"),
          "--real " + digits + " --imag 0.1 --scale 1e-100 --limit 50", std::string("--scale 0 --perturbation")})
    {
        EXPECT_EQ(Run(good + out), 0) << good.substr(0, 60) << ": " << m_err;
        EXPECT_TRUE(fs::exists(png));
        fs::remove(png);
    }
    const fs::path presets = m_dir / "presets.xml";
    std::ofstream(presets) << "<deep><view name='bad' real='0' imaginary='0' scale='x' iterations='1'/></deep>";
    const std::string from = " --presets '" + presets.string() + "'";
    const std::string missing = " --presets '" + (m_dir / "none.xml").string() + "'";
    const std::pair<std::string, std::string> bads[] = {
        {"--scale 1e-2500", "bad value for --scale"},
        {"--scale -1e-1000", "bad value for --scale"},
        {"--real 1.5.5 --scale 1e-40", "bad value for --real"},
        {"--centre 0,1e-5000x", "bad value for --centre"},
        {"--presets ''", "bad value for --presets"},
        {"--preset nope" + from, "no good preset \"nope\" in"},
        {"--preset bad" + from, "no good preset \"bad\" in"},
        {"--preset mini-50" + missing, "cannot open the deep presets"}};
    for (const auto& [bad, problem] : bads)
    {
        EXPECT_EQ(Run(bad + out), 2) << bad;
        EXPECT_NE(m_err.find("vemmo-render: " + problem), std::string::npos) << bad << ": " << m_err;
        EXPECT_NE(m_err.find("usage: vemmo-render"), std::string::npos) << bad;
    }
    fs::remove(presets);
    // The reference orbit keeps every step: a limit past its bound is refused
    // for a deep view, before any work.
    EXPECT_EQ(Run("--scale 1e-30 --limit 67108865" + out), 2);
    EXPECT_NE(m_err.find("too much for a view rendered by perturbation"), std::string::npos) << m_err;
    EXPECT_FALSE(fs::exists(png));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2); // stdout, stderr
}

TEST_F(RenderTool, MoreDigitsThanADoubleKeepAShallowViewsBytes)
{
    const fs::path a = m_dir / "a.png", b = m_dir / "b.png";
    const std::string view = " --limit 100 --width 40 --height 30 --scale 0.01 --imag 0.1";
    ASSERT_EQ(Run("--real -0.75" + view + " --output '" + a.string() + "'"), 0) << m_err;
    ASSERT_EQ(Run("--real -0.75000000000000000000000000000000000001" + view + " --output '" +
                  b.string() + "'"),
              0)
        << m_err;
    EXPECT_TRUE(ReadFile(a) == ReadFile(b));
}

TEST_F(RenderTool, ChecksDeepRendersAgainstMpfr)
{
    const fs::path png = m_dir / "deep.png";
    const std::string out = " --width 32 --height 24 --output '" + png.string() + "'";
    for (const char* skip : {"", " --no-skip"})
    {
        EXPECT_EQ(Run(std::string("--centre 0,1 --scale 1e-320 --limit 2000 --check") + skip + out), 0)
            << skip << ": " << m_err;
        EXPECT_NE(m_err.find("0 of 768 sampled pixels differ from MPFR, largest group 0: passed"),
                  std::string::npos)
            << m_err;
    }
    // A preset sets the view; options after it override its limit.
    const fs::path presets = m_dir / "deep.xml";
    std::ofstream(presets) << "<deep><view name='other' real='0' imaginary='0' scale='1' iterations='1'/>"
                              "<view name='here' real='0' imaginary='1' scale='1e-40' iterations='1'/>"
                              "</deep>";
    // --presets counts wherever it stands.
    EXPECT_EQ(Run("--preset here --limit 600 --check --presets '" + presets.string() + "'" + out), 0)
        << m_err;
    EXPECT_NE(m_err.find("passed"), std::string::npos) << m_err;
    std::unique_ptr<uint8_t[]> pixels(LoadPng(png.string().c_str()));
    ASSERT_NE(pixels, nullptr);
    // c = i itself never escapes (entry 0, black); its neighbours do.
    const uint8_t* centre = pixels.get() + (12 * 32 + 16) * 3;
    EXPECT_EQ(centre[0] + centre[1] + centre[2], 0);
    EXPECT_GT(pixels[0] + pixels[1] + pixels[2], 0);
}

TEST_F(RenderTool, ShowsTheReferenceOrbitsTimeApart)
{
    const fs::path png = m_dir / "deep.png";
    int status = -1;
    const std::string shown =
        RunOnTerminal({"--centre", "0,1", "--scale", "1e-300", "--limit", "5000", "--width", "400",
                       "--height", "400", "--threads", "1", "--no-skip", "--output", png.c_str()},
                      status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(shown.find("computing the reference orbit"), std::string::npos) << shown;
    EXPECT_NE(shown.find("reference orbit 0."), std::string::npos) << shown;
    EXPECT_NE(shown.find(" s, "), std::string::npos) << shown;
    EXPECT_NE(shown.find("% rendered, "), std::string::npos) << shown;
}
