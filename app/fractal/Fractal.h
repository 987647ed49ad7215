// The explorer's fractal state without anything of OpenGL: the view (centre,
// scale, iteration limit), the preset locations, the palette, and the row
// counters the render workers share, with the snapshot of the view they
// read. Batch tools render through it directly; the application's
// CMandelbrot adds the palette texture on top.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/String.h"
#include "fractal/Escape.h"
#include "fractal/Locations.h"
#include "fractal/Palette.h"

class CImage;

class CFractal
{
public:
    // Reads the preset locations from "resources/locations.xml" under the
    // working directory; the first becomes the view.
    CFractal();
    // The same from another file. A file that is missing or not well-formed
    // gives no locations and leaves the view at 0.
    explicit CFractal(const String& locationsPath);
    CFractal(const CFractal&) = delete;
    CFractal& operator=(const CFractal&) = delete;

    // Starts a job of width × rows pixels: zeroes the row counters, sets the
    // steps, and captures the view and the palette for the workers. Call it
    // only while no worker runs.
    void ResetJob(uint32_t width, uint32_t rows);
    // Share of rows handed out so far, 0 … 1; 0 when the job has no rows.
    float Progress() const;

    // Asks the workers of the current job to stop before their next row;
    // they still count themselves out. ResetJob clears the request.
    void StopJob() { m_stopJob.store(true); }
    bool IsJobStopped() const { return m_stopJob.load(); }

    // Worker side. TakeRow hands out each row once; a result ≥ GetRows()
    // means none is left. FinishWorker counts the calling worker out.
    uint32_t TakeRow() { return m_nextRow.fetch_add(1); }
    void FinishWorker();
    uint32_t GetFinishedWorkers() const { return m_finishedWorkers.load(); }

    // Evaluate with the view captured by the last ResetJob.
    double PixelValue(uint32_t col, uint32_t row) const;
    void PixelColour(double value, uint8_t rgb[3]) const;
    // Fills one row of a 3-channel image of the job's size.
    void RenderRow(uint32_t row, CImage& image) const;
    // The worker body: renders rows from the shared counter until none is
    // left or the job is stopped, then counts itself out. Any number of
    // threads may run it at once.
    void RenderRows(CImage& image);

    uint32_t GetWidth() const { return m_width; }
    uint32_t GetRows() const { return m_rows; }
    double GetStepRe() const { return m_stepRe; }
    double GetStepIm() const { return m_stepIm; }

    uint32_t GetIterationLimit() const { return m_iterationLimit; }
    void SetIterationLimit(uint32_t limit) { m_iterationLimit = limit; }
    double GetCentreRe() const { return m_centreRe; }
    double GetCentreIm() const { return m_centreIm; }
    void SetCentre(double re, double im);
    double GetScale() const { return m_scale; }
    void SetScale(double scale) { m_scale = scale; }

    const std::vector<CLocation>& GetLocations() const { return m_locations; }
    const std::vector<PaletteEntry>& GetPalette() const { return m_palette; }
    void SetPalette(std::vector<PaletteEntry> palette) { m_palette = std::move(palette); }

    // Decodes a gradient picture (any format LoadPicture reads, by the
    // file's ending): the palette comes from its bottom row and,
    // when `picture` is given, the picture's pixels go there. A file that
    // cannot be decoded gives the built-in palette, leaves `picture` as it
    // was and returns false.
    bool ReadGradient(const String& path, CImage* picture);

protected:
    // Reads the locations file; the first location becomes the view.
    void LoadLocations(const String& path);

private:
    uint32_t m_width = 0;
    uint32_t m_rows = 0;
    std::atomic<uint32_t> m_nextRow{0};
    std::atomic<uint32_t> m_finishedWorkers{0};
    std::atomic<bool> m_stopJob{false};
    double m_stepRe = 0.0;
    double m_stepIm = 0.0;
    std::vector<CLocation> m_locations;
    uint32_t m_iterationLimit = 0;
    double m_centreRe = 0.0;
    double m_centreIm = 0.0;
    double m_scale = 0.0;
    std::vector<PaletteEntry> m_palette;

    // What the workers read. The main thread may move the view while a
    // render runs; workers only see this copy, which changes in ResetJob.
    uint32_t m_jobLimit = 0;
    double m_jobCentreRe = 0.0;
    double m_jobCentreIm = 0.0;
    double m_jobStepRe = 0.0;
    double m_jobStepIm = 0.0;
    std::vector<std::array<uint8_t, 3>> m_jobColours;
};
