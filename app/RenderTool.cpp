// vemmo-render: renders one view of the Mandelbrot set into a PNG file on
// every core, through the same evaluation and row hand-out the explorer's
// workers use, so the pixels never depend on the thread count. Views past
// double precision (or any view, with --perturbation) go through the deep
// renderer: a reference orbit in MPFR and perturbation in doubles. Exit
// status 0 on success, 1 when the file cannot be written, 2 on bad
// options, 3 when --check finds the deep render wrong (the picture is
// written all the same). The
// picture is written beside the target and renamed over it when complete,
// so an interrupted run never leaves a broken or empty file where the
// previous picture was.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DataFolder.h"
#include "core/String.h"
#include "fractal/DeepCheck.h"
#include "fractal/DeepRender.h"
#include "fractal/DeepView.h"
#include "fractal/Fractal.h"
#include "fractal/Palette.h"
#include "resources/Image.h"
#include "resources/PngBandEncoder.h"

namespace
{

// Beyond this a render takes hours and its buffers gigabytes.
constexpr unsigned long kMaxSide = 16384;
constexpr unsigned long kMaxThreads = 256;
// A deep view keeps its reference orbit, 24 bytes a step, and the runs of
// skipped steps: this bounds them near 2.5 GB.
constexpr uint32_t kMaxDeepLimit = 1u << 26;
// How often the progress line changes on a terminal.
constexpr auto kProgressInterval = std::chrono::milliseconds(250);

const char kUsage[] = "usage: vemmo-render [options]\n"
                      "  --centre RE,IM  centre of the view (default -0.5,0), any number of digits\n"
                      "  --real RE       real part of the centre\n"
                      "  --imag IM       imaginary part of the centre\n"
                      "  --scale S       zoom factor, 0 or more; 1 spans 3 x 2 units (default 1);\n"
                      "                  down to 1e-2400: views past double precision are\n"
                      "                  rendered by perturbation\n"
                      "  --preset NAME   centre, scale and limit of a deep preset (options after\n"
                      "                  it override them)\n"
                      "  --presets FILE  where the deep presets are (default resources/deep.xml\n"
                      "                  here, else in the installed data folder)\n"
                      "  --perturbation  render by perturbation even where doubles would do\n"
                      "  --no-skip       perturbation without skipping iterations, for comparison\n"
                      "  --check         compare 4096 sampled pixels of a perturbation render\n"
                      "                  with MPFR; status 3 when too many differ\n"
                      "  --limit N       iteration limit, 0 to 4294967295 (default 256)\n"
                      "  --width W       image width in pixels, 1 to 16384 (default 256)\n"
                      "  --height H      image height in pixels, 1 to 16384 (default 256)\n"
                      "  --gradient PNG  colour through this gradient picture's bottom row\n"
                      "                  (default: the built-in palette)\n"
                      "  --output FILE   PNG file to write (default vemmo.png)\n"
                      "  --threads N     threads that render and compress, 1 to 256\n"
                      "                  (default: one per hardware thread)\n"
                      "  --compression C speed, balanced or size (default balanced)\n"
                      "  --help          show this text\n";

struct Options
{
    double centreRe = -0.5;
    double centreIm = 0.0;
    double scale = 1.0;
    // The same view as given, for the deep renderer: the centre's text and
    // the scale with its full exponent.
    DeepView deep;
    std::string presets;
    bool perturbation = false;
    bool skip = true;
    bool check = false;
    uint32_t limit = 256;
    uint32_t width = 256;
    uint32_t height = 256;
    std::string output = "vemmo.png";
    std::string gradient;
    uint32_t threads = std::max(1u, std::thread::hardware_concurrency());
    PngCompression compression = PngCompression::Balanced;
};

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "vemmo-render: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

// The whole text must be one finite number: no blanks, no trailing text.
bool ParseReal(const char* text, double& value)
{
    if (*text == '\0' || std::isspace(static_cast<unsigned char>(*text)))
        return false;
    // Overflow comes back as infinity; underflow to tiny values is accepted.
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (*end != '\0' || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

// Digits only: strtoul alone would take "-1" as a huge positive number.
bool ParseUnsigned(const char* text, unsigned long maximum, uint32_t& value)
{
    if (*text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed > maximum)
        return false;
    value = static_cast<uint32_t>(parsed);
    return true;
}

// A centre part: the double for today's path and the text for the deep one.
bool ParseCentrePart(const char* text, double& value, std::string& exact)
{
    if (!ParseReal(text, value) || !IsRealText(text))
        return false;
    exact = text;
    return true;
}

bool ParseCentre(const char* text, Options& options)
{
    const char* comma = std::strchr(text, ',');
    if (comma == nullptr)
        return false;
    const std::string realPart(text, comma);
    return ParseCentrePart(realPart.c_str(), options.centreRe, options.deep.re) &&
           ParseCentrePart(comma + 1, options.centreIm, options.deep.im);
}

// The double the shallow path has always read, and the wide one.
bool ParseScaleOption(const char* text, Options& options)
{
    double scale = 0.0;
    if (!ParseReal(text, scale) || scale < 0.0 || !ParseScale(text, options.deep.scale))
        return false;
    options.scale = scale;
    return true;
}

// A preset sets the view as the options would, doubles included. Returns
// what is wrong, or nothing.
std::string ApplyPreset(const std::string& name, Options& options)
{
    const std::string& path = options.presets;
    if (ReadDeepPreset(path.c_str(), name, options.deep))
    {
        options.limit = options.deep.limit;
        options.scale = options.deep.scale.ToDouble();
        if (ParseReal(options.deep.re.c_str(), options.centreRe) &&
            ParseReal(options.deep.im.c_str(), options.centreIm))
            return {};
    }
    if (!std::ifstream(path))
        return "cannot open the deep presets \"" + path + "\"";
    return "no good preset \"" + name + "\" in \"" + path + "\"";
}

// Flags take no value; every other option takes the argument after it.
bool IsFlag(const std::string& name)
{
    return name == "--perturbation" || name == "--no-skip" || name == "--check" || name == "--help";
}

// The presets file a --preset reads, wherever --presets stands; by default
// the one beside the working folder's resources, else the installed one.
std::string PresetsPath(int argc, char** argv)
{
    std::string path;
    for (int i = 1; i + 1 < argc; ++i)
        if (!IsFlag(argv[i]))
        {
            if (std::strcmp(argv[i], "--presets") == 0)
                path = argv[i + 1];
            ++i;
        }
    if (!path.empty())
        return path;
    const std::string folder = RunningDataFolder("");
    return folder.empty() ? "resources/deep.xml" : folder + "/resources/deep.xml";
}

bool ParseCompression(const std::string& text, PngCompression& compression)
{
    static const std::pair<const char*, PngCompression> kNames[] = {
        {"speed", PngCompression::Speed},
        {"balanced", PngCompression::Balanced},
        {"size", PngCompression::Size}};
    for (const auto& [name, value] : kNames)
        if (text == name)
        {
            compression = value;
            return true;
        }
    return false;
}

// Returns -1 when the options are good, otherwise the exit status.
int ParseOptions(int argc, char** argv, Options& options)
{
    options.presets = PresetsPath(argc, argv);
    for (int i = 1; i < argc; ++i)
    {
        const std::string name = argv[i];
        if (name == "--help")
        {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (IsFlag(name))
        {
            options.perturbation |= name == "--perturbation";
            options.skip &= name != "--no-skip";
            options.check |= name == "--check";
            continue;
        }
        static const char* const kKnown[] = {
            "--centre", "--real",   "--imag",     "--scale",   "--limit",      "--width",
            "--height", "--output", "--gradient", "--threads", "--compression", "--preset",
            "--presets"};
        if (std::find(std::begin(kKnown), std::end(kKnown), name) == std::end(kKnown))
            return Usage(name.compare(0, 2, "--") == 0 ? "unknown option " + name
                                                       : "unexpected argument " + name);
        if (i + 1 >= argc)
            return Usage("missing value for " + name);
        const char* value = argv[++i];
        bool good = false;
        if (name == "--centre")
            good = ParseCentre(value, options);
        else if (name == "--real")
            good = ParseCentrePart(value, options.centreRe, options.deep.re);
        else if (name == "--imag")
            good = ParseCentrePart(value, options.centreIm, options.deep.im);
        else if (name == "--scale")
            good = ParseScaleOption(value, options);
        else if (name == "--preset")
        {
            const std::string problem = ApplyPreset(value, options);
            if (!problem.empty())
                return Usage(problem);
            good = true;
        }
        else if (name == "--presets")
            good = *value != '\0';
        else if (name == "--limit")
            good = ParseUnsigned(value, UINT32_MAX, options.limit);
        else if (name == "--width")
            good = ParseUnsigned(value, kMaxSide, options.width) && options.width > 0;
        else if (name == "--height")
            good = ParseUnsigned(value, kMaxSide, options.height) && options.height > 0;
        else if (name == "--threads")
            good = ParseUnsigned(value, kMaxThreads, options.threads) && options.threads > 0;
        else if (name == "--compression")
            good = ParseCompression(value, options.compression);
        else if (name == "--gradient")
        {
            options.gradient = value;
            good = !options.gradient.empty();
        }
        else // --output, the last known name
        {
            options.output = value;
            good = !options.output.empty();
        }
        if (!good)
            return Usage("bad value for " + name + ": \"" + value + "\"");
    }
    return -1;
}

// The half-written picture, removed when a signal ends the run. The flag is
// set only once the name is complete, so the handler never reads half of it.
char g_partial[4096];
volatile std::sig_atomic_t g_havePartial = 0;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemovePartialAndExit(int signal)
{
    if (g_havePartial)
        unlink(g_partial);
    // Die of the same signal, so the caller sees how the run ended.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// A new, empty file beside `target` (same folder, so the final rename never
// crosses file systems), with the permissions a new file there would get.
// Its path goes to g_partial; false with errno set when it cannot be made.
bool CreatePartial(const std::string& target)
{
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string pattern = folder + "." + name + ".XXXXXX";
    if (pattern.size() >= sizeof g_partial)
    {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(g_partial, pattern.c_str(), pattern.size() + 1);
    // The ending signals wait while the file is made and named, so that a
    // file that exists is always one the handler knows of.
    sigset_t ending, previous;
    sigemptyset(&ending);
    for (const int signal : kEndingSignals)
        sigaddset(&ending, signal);
    sigprocmask(SIG_BLOCK, &ending, &previous);
    const int fd = mkstemp(g_partial);
    g_havePartial = fd >= 0;
    const int error = errno;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    if (fd < 0)
        return false;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return true;
}

// Only a file can be replaced: a folder or a device in its place fails now,
// before the render rather than after it.
bool IsReplaceable(const std::string& target)
{
    struct stat info;
    if (stat(target.c_str(), &info) != 0)
        return errno == ENOENT;
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return S_ISREG(info.st_mode);
}

int CannotWrite(const std::string& path)
{
    std::fprintf(stderr, "vemmo-render: cannot write \"%s\": %s\n", path.c_str(),
                 std::strerror(errno));
    return 1;
}

// One line on standard error, redrawn in place, while the standard error is
// a terminal; nothing at all otherwise, so logs and pipes stay clean.
class ProgressLine
{
public:
    ProgressLine() : m_shown(isatty(STDERR_FILENO) == 1) {}

    void Rendered(float share)
    {
        if (!m_shown)
            return;
        const double elapsed = std::chrono::duration<double>(Clock::now() - m_start).count();
        char left[32] = "";
        // A guess from the rows handed out so far: rows differ in cost.
        if (share > 0.0f)
            std::snprintf(left, sizeof left, ", %.0f s left", elapsed * (1.0 - share) / share);
        Show(m_reference + std::to_string(int(100.0f * share)) + " % rendered" + left);
    }
    // A deep render's reference orbit comes first, and its time stays on
    // the line apart from the render's, which starts counting after it.
    void Reference() { Show("computing the reference orbit"); }
    void ReferenceDone(double seconds)
    {
        char text[64];
        std::snprintf(text, sizeof text, "reference orbit %.1f s, ", seconds);
        m_reference = text;
        m_start = Clock::now();
    }
    void Checking() { Show("checking sampled pixels against MPFR"); }
    void Writing() { Show("writing the picture"); }
    void Clear()
    {
        if (m_shown)
            std::fprintf(stderr, "\r%*s\r", int(m_width), "");
    }

private:
    using Clock = std::chrono::steady_clock;

    void Show(const std::string& text)
    {
        if (!m_shown)
            return;
        const std::string line = "vemmo-render: " + text;
        // Pad over whatever a longer line left behind.
        m_width = std::max(m_width, line.size());
        std::fprintf(stderr, "\r%-*s", int(m_width), line.c_str());
        std::fflush(stderr);
    }

    const bool m_shown;
    Clock::time_point m_start = Clock::now();
    std::string m_reference;
    size_t m_width = 0;
};

// Runs `rows` on `threads` threads (fewer if the system refuses some), all
// taking rows from the job's one counter, whose share `progress` reads.
template <typename Rows, typename Share>
void RenderAllRows(const Rows& rows, const Share& share, unsigned threads, ProgressLine& progress)
{
    std::mutex mutex;
    std::condition_variable finished;
    unsigned done = 0;
    const auto work = [&]
    {
        rows();
        std::lock_guard<std::mutex> lock(mutex);
        ++done;
        finished.notify_one();
    };
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; ++i)
    {
        try
        {
            workers.emplace_back(work);
        }
        catch (const std::system_error&)
        {
            break;
        }
    }
    if (workers.empty())
        work();
    {
        std::unique_lock<std::mutex> lock(mutex);
        const auto allDone = [&] { return done == std::max<size_t>(1, workers.size()); };
        while (!finished.wait_for(lock, kProgressInterval, allDone))
            progress.Rendered(share());
    }
    for (std::thread& worker : workers)
        worker.join();
}

// The image of the job's size, or an empty one when memory is short.
bool CreateImage(CImage& image, const Options& options)
{
    try
    {
        image.Create(options.width, options.height, 3, 24);
        return true;
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

// Writes the picture to the partial file and renames it over the target.
int WriteAndRename(const CImage& image, const Options& options, ProgressLine& progress)
{
    const PngBandOptions png{options.compression, options.threads};
    progress.Writing();
    const bool written = WritePngBands(g_partial, image.GetWidth(), image.GetHeight(),
                                       image.GetBits(), image.GetPixels(), png);
    // Gone before any message, which would otherwise run on from it.
    progress.Clear();
    if (!written)
    {
        unlink(g_partial);
        std::fprintf(stderr, "vemmo-render: writing \"%s\" failed\n", options.output.c_str());
        return 1;
    }
    if (std::rename(g_partial, options.output.c_str()) != 0)
    {
        const int error = errno;
        unlink(g_partial);
        errno = error;
        return CannotWrite(options.output);
    }
    return 0;
}

// The deep path: reference orbit, perturbation, colouring with the same
// palette, and the check when asked. Returns 3 when the check fails, else 0.
int RenderDeep(const Options& options, const CFractal& fractal, CImage& image, ProgressLine& progress)
{
    CDeepRender render;
    progress.Reference();
    const auto start = std::chrono::steady_clock::now();
    render.Prepare(options.deep, options.skip);
    progress.ReferenceDone(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    RenderAllRows([&] { render.RenderRows(); }, [&] { return render.Progress(); }, options.threads,
                  progress);
    for (uint32_t row = 0; row < options.height; ++row)
        for (uint32_t col = 0; col < options.width; ++col)
            fractal.PixelColour(render.At(col, row).value, image.GetPixel(col, row));
    if (!options.check)
        return 0;
    progress.Checking();
    const DeepCheckResult result = CheckDeepRender(
        options.deep, [&](uint32_t col, uint32_t row) { return render.At(col, row).steps; },
        options.threads);
    progress.Clear();
    std::fprintf(stderr,
                 "vemmo-render: check: %u of %u sampled pixels differ from MPFR, largest group %u: "
                 "%s\n",
                 unsigned(result.mismatches), unsigned(result.samples), unsigned(result.largestCluster),
                 result.Passed() ? "passed" : "FAILED");
    return result.Passed() ? 0 : 3;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    const int status = ParseOptions(argc, argv, options);
    if (status >= 0)
        return status;

    // The tool takes its view from the options alone, not from the presets.
    CFractal fractal{String()};
    fractal.SetPalette(BuiltInPalette());
    if (!options.gradient.empty() && !fractal.ReadGradient(options.gradient.c_str(), nullptr))
    {
        std::fprintf(stderr, "vemmo-render: \"%s\" is not a gradient picture this program reads\n",
                     options.gradient.c_str());
        return 1;
    }

    // Find out before a long render that the file cannot be made.
    for (const int signal : kEndingSignals)
        std::signal(signal, RemovePartialAndExit);
    if (!IsReplaceable(options.output) || !CreatePartial(options.output))
        return CannotWrite(options.output);

    options.deep.width = options.width;
    options.deep.height = options.height;
    options.deep.limit = options.limit;
    const bool deep = options.perturbation || options.check ||
                      !DoubleHolds(options.deep, options.centreRe, options.centreIm);
    // The reference orbit keeps every step up to the limit.
    if (deep && options.limit > kMaxDeepLimit)
    {
        unlink(g_partial);
        return Usage("a limit above " + std::to_string(kMaxDeepLimit) +
                     " is too much for a view rendered by perturbation");
    }

    fractal.SetCentre(options.centreRe, options.centreIm);
    fractal.SetScale(options.scale);
    fractal.SetIterationLimit(options.limit);
    fractal.ResetJob(options.width, options.height);

    CImage image;
    if (!CreateImage(image, options))
    {
        unlink(g_partial);
        std::fprintf(stderr, "vemmo-render: not enough memory for %u x %u pixels\n",
                     unsigned(options.width), unsigned(options.height));
        return 1;
    }
    ProgressLine progress;
    int checked = 0;
    if (deep)
    {
        try
        {
            checked = RenderDeep(options, fractal, image, progress);
        }
        catch (const std::bad_alloc&)
        {
            progress.Clear();
            unlink(g_partial);
            std::fprintf(stderr, "vemmo-render: not enough memory for the reference orbit\n");
            return 1;
        }
    }
    else
        RenderAllRows([&] { fractal.RenderRows(image); }, [&] { return fractal.Progress(); },
                      options.threads, progress);
    const int written = WriteAndRename(image, options, progress);
    return written != 0 ? written : checked;
}
