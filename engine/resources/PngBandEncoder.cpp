// The banded PNG writer. Each band is raw deflate ending on a byte boundary
// (a sync flush; the last band finishes the stream); the zlib header goes
// before the first band, and the Adler-32 of the whole, combined from the
// bands' own in order, after the last. Bands are written as soon as all
// bands above them are, so memory holds only the bands in flight.
#include "resources/PngBandEncoder.h"

#include <algorithm>
#include <cassert>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <zlib.h>

#include "core/RegularFile.h"
#include "resources/detail/PngWriting.h"

namespace
{

using resources_detail::PngChunkWriter;

// Big enough that the cut costs little size, small enough that two threads
// share a 1024 × 768 picture evenly.
constexpr size_t kBandBytes = 256 * 1024;
// deflate's window: a band can refer back this far into the band above.
constexpr size_t kDictionaryBytes = 32 * 1024;
constexpr int kRawWindowBits = -15;
constexpr size_t kScratchBytes = 64 * 1024;
// A thread may run this many bands ahead of the writer, so that a slow band
// never lets finished ones pile up.
constexpr uint32_t kBandsAheadPerThread = 2;

struct DeflateSettings
{
    int level;
    int strategy;
    uint8_t headerLevel; // FLEVEL in the zlib header
};

DeflateSettings SettingsOf(PngCompression compression)
{
    switch (compression)
    {
    case PngCompression::Speed:
        return {1, Z_RLE, 0};
    case PngCompression::Size:
        return {9, Z_FILTERED, 3};
    case PngCompression::Balanced:
        break;
    }
    // The filtered strategy favours literals over short matches, which suits
    // the small residues PNG filters leave: smaller files at about the same
    // speed on renders.
    return {6, Z_FILTERED, 2};
}

struct Picture
{
    const uint8_t* pixels;
    uint32_t height;
    size_t stride;
    size_t bpp;
};

struct DeflatedBand
{
    std::vector<uint8_t> bytes;
    uint32_t adler = 1;
    size_t size = 0; // filtered bytes the band covers
    bool ok = false;
};

// One file's bands: handed out in order to any number of threads, written in
// order by whichever thread finishes the band the file waits for.
class BandJob
{
public:
    BandJob(const Picture& picture, const DeflateSettings& settings, uint32_t threads,
            PngChunkWriter& writer);
    void Work();
    bool Succeeded() const { return !m_failed && m_nextToWrite == m_bands; }

private:
    DeflatedBand Deflate(uint32_t band, resources_detail::Deflater& deflater,
                         std::vector<uint8_t>& filtered) const;
    void FilterRows(uint32_t first, uint32_t end, uint8_t* out) const;
    void Publish(uint32_t band, DeflatedBand&& deflated);
    void WriteBand(uint32_t band, DeflatedBand& deflated);

    const Picture m_picture;
    const DeflateSettings m_settings;
    const size_t m_rowBytes;
    const uint32_t m_rowsPerBand;
    const uint32_t m_bands;
    const uint32_t m_ahead;
    PngChunkWriter& m_writer;

    std::mutex m_mutex;
    std::condition_variable m_progress;
    std::map<uint32_t, DeflatedBand> m_waiting; // finished, not yet written
    uint32_t m_nextBand = 0;
    uint32_t m_nextToWrite = 0;
    uint32_t m_adler = 1;
    bool m_failed = false;
};

BandJob::BandJob(const Picture& picture, const DeflateSettings& settings, uint32_t threads,
                 PngChunkWriter& writer)
    : m_picture(picture), m_settings(settings), m_rowBytes(picture.stride + 1),
      m_rowsPerBand(uint32_t(std::max<size_t>(1, kBandBytes / m_rowBytes))),
      m_bands(std::max<uint32_t>(1, (picture.height + m_rowsPerBand - 1) / m_rowsPerBand)),
      m_ahead(threads * kBandsAheadPerThread), m_writer(writer)
{
}

// PNG row j is buffer row height - 1 - j; the row above it in the picture is
// the next row of the buffer.
void BandJob::FilterRows(uint32_t first, uint32_t end, uint8_t* out) const
{
    for (uint32_t j = first; j < end; ++j, out += m_rowBytes)
    {
        const uint8_t* raw = m_picture.pixels + size_t(m_picture.height - 1 - j) * m_picture.stride;
        resources_detail::FilterPngRow(raw, j == 0 ? nullptr : raw + m_picture.stride,
                                       m_picture.stride, m_picture.bpp, out);
    }
}

DeflatedBand BandJob::Deflate(uint32_t band, resources_detail::Deflater& deflater,
                              std::vector<uint8_t>& filtered) const
{
    const uint32_t first = band * m_rowsPerBand;
    const uint32_t end = std::min(m_picture.height, first + m_rowsPerBand);
    // The rows above the band are filtered again for the dictionary: the
    // same bytes the band above deflated, so the joined stream is the same
    // whoever deflated which band.
    const uint32_t dictionaryRows =
        std::min<uint32_t>(first, uint32_t((kDictionaryBytes + m_rowBytes - 1) / m_rowBytes));
    const size_t before = dictionaryRows * m_rowBytes;
    filtered.resize(before + (end - first) * m_rowBytes);
    FilterRows(first - dictionaryRows, end, filtered.data());

    DeflatedBand deflated;
    deflated.size = filtered.size() - before;
    deflated.adler = resources_detail::Adler32(1, filtered.data() + before, deflated.size);
    z_stream& stream = deflater.stream;
    if (deflateReset(&stream) != Z_OK)
        return deflated;
    const size_t dictionary = std::min(before, kDictionaryBytes);
    if (dictionary != 0 &&
        deflateSetDictionary(&stream, filtered.data() + before - dictionary, uInt(dictionary)) !=
            Z_OK)
        return deflated;
    uint8_t scratch[kScratchBytes];
    const auto append = [&deflated](const uint8_t* bytes, size_t count)
    {
        deflated.bytes.insert(deflated.bytes.end(), bytes, bytes + count);
        return true;
    };
    deflated.bytes.reserve(deflateBound(&stream, uLong(deflated.size)));
    deflated.ok = resources_detail::DeflateBytes(
        stream, filtered.data() + before, deflated.size,
        band + 1 == m_bands ? Z_FINISH : Z_SYNC_FLUSH, scratch, sizeof scratch, append);
    return deflated;
}

void BandJob::Work()
{
    resources_detail::Deflater deflater(m_settings.level, kRawWindowBits, m_settings.strategy);
    std::vector<uint8_t> filtered;
    for (;;)
    {
        uint32_t band = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_progress.wait(lock, [this]
                            { return m_failed || m_nextBand >= m_bands ||
                                     m_nextBand < m_nextToWrite + m_ahead; });
            if (m_failed || m_nextBand >= m_bands)
                return;
            band = m_nextBand++;
        }
        DeflatedBand deflated;
        if (deflater.IsOpen())
            deflated = Deflate(band, deflater, filtered);
        Publish(band, std::move(deflated));
    }
}

void BandJob::Publish(uint32_t band, DeflatedBand&& deflated)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_waiting.emplace(band, std::move(deflated));
    for (auto next = m_waiting.find(m_nextToWrite); next != m_waiting.end() && !m_failed;
         next = m_waiting.find(m_nextToWrite))
    {
        WriteBand(next->first, next->second);
        m_waiting.erase(next);
        ++m_nextToWrite;
    }
    m_progress.notify_all();
}

void BandJob::WriteBand(uint32_t band, DeflatedBand& deflated)
{
    m_failed = !deflated.ok;
    if (m_failed)
        return;
    std::vector<uint8_t>& bytes = deflated.bytes;
    if (band == 0)
    {
        // CMF: deflate with a 32 KiB window; FLG: the level, and check bits
        // that make the pair a multiple of 31.
        const uint8_t cmf = 0x78;
        uint8_t flg = uint8_t(m_settings.headerLevel << 6);
        flg = uint8_t(flg + (31 - (cmf * 256 + flg) % 31) % 31);
        bytes.insert(bytes.begin(), {cmf, flg});
    }
    m_adler = uint32_t(adler32_combine(m_adler, deflated.adler, z_off_t(deflated.size)));
    if (band + 1 == m_bands)
        bytes.insert(bytes.end(), {uint8_t(m_adler >> 24), uint8_t(m_adler >> 16),
                                   uint8_t(m_adler >> 8), uint8_t(m_adler)});
    m_writer.WriteChunk("IDAT", bytes.data(), uint32_t(bytes.size()));
    m_failed = !m_writer.Good();
}

// Runs the job on the calling thread and up to threads - 1 more; fewer when
// the system refuses a thread.
bool RunBands(BandJob& job, unsigned threads)
{
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads; ++i)
    {
        try
        {
            helpers.emplace_back(&BandJob::Work, &job);
        }
        catch (const std::system_error&)
        {
            break;
        }
    }
    job.Work();
    for (std::thread& helper : helpers)
        helper.join();
    return job.Succeeded();
}

} // namespace

bool WritePngBands(const char* fileName, uint32_t width, uint32_t height, int bits,
                   const uint8_t* pixels, const PngBandOptions& options)
{
    assert(fileName && "WritePngBands(): null file name");
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    const size_t bpp = size_t(bits / 8);
    const uint64_t stride = uint64_t(width) * bpp;
    // A band of one row must fit in a chunk, with room for the zlib header,
    // the trailer and deflate's own overhead.
    if (stride + 1 > resources_detail::kMaxPngChunkData / 2)
        return false;
    assert((pixels || stride == 0 || height == 0) && "WritePngBands(): null pixels");

    UniqueFile file(std::fopen(fileName, "wb"));
    if (!file)
        return false;
    PngChunkWriter writer(file.get());
    writer.WriteHeader(width, height, bpp);
    const unsigned threads = std::max(1u, options.threads);
    BandJob job(Picture{pixels, height, size_t(stride), bpp}, SettingsOf(options.compression),
                threads, writer);
    if (!RunBands(job, threads))
        return false;
    writer.WriteChunk("IEND", nullptr, 0);
    return writer.Good() && std::fclose(file.release()) == 0;
}
