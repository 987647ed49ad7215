// In-memory raster: 8-bit interleaved samples, 1 to 4 channels (red first),
// rows stored bottom row first with no gap between rows. Every decoder
// delivers this layout and the PNG encoder expects it.
#pragma once

#include <cstdint>
#include <memory>

#include "resources/Resource.h"

class CImage : public CResource
{
public:
    CImage();
    CImage(const CImage& source);
    CImage& operator=(const CImage& source);
    ~CImage() override;

    void CopyFrom(const CImage& source);
    void Create(unsigned width, unsigned height, unsigned channels, int bits);
    void SetFromCopy(const uint8_t* buffer, unsigned width, unsigned height, unsigned channels,
                     int bits);
    // Takes ownership of `buffer` (allocated with new[]) without copying; a
    // previous, different buffer is freed.
    void Adopt(uint8_t* buffer, unsigned width, unsigned height, unsigned channels, int bits);
    void Adopt(std::unique_ptr<uint8_t[]> buffer, unsigned width, unsigned height,
               unsigned channels, int bits);
    void FreePixels();

    const uint8_t* GetPixels() const { return m_pixels.get(); }
    uint8_t* GetPixels() { return m_pixels.get(); }
    unsigned GetWidth() const { return m_width; }
    unsigned GetHeight() const { return m_height; }
    unsigned GetChannels() const { return m_channels; }
    int GetBits() const { return m_bits; }
    float GetAspect() const;

    const uint8_t* GetPixel(unsigned x, unsigned y) const;
    uint8_t* GetPixel(unsigned x, unsigned y);
    void SetPixel(unsigned x, unsigned y, const uint8_t* value);

    void ConvertChannels(unsigned channels);
    void Blit(const CImage& source, unsigned x, unsigned y, unsigned sourceX, unsigned sourceY,
              unsigned width, unsigned height);
    void BlitWhole(const CImage& source);

protected:
    std::unique_ptr<uint8_t[]> m_pixels;
    unsigned m_width = 0;
    unsigned m_height = 0;
    unsigned m_channels = 0;
    int m_bits = 0;
};
