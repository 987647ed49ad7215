// An image that is also an OpenGL texture. Every upload goes through a square
// canvas: the next power of two above the picture's larger side, or the
// caller's size limit with the picture scaled down to fit. The picture sits
// in the canvas's top-left corner. Needs a current GL context for Upload and
// for destroying a texture that was uploaded.
#pragma once

#include <cstdint>

#include "resources/Image.h"

class CTexture : public CImage
{
public:
    // For UploadOptions::maxSize: any canvas side is allowed.
    static constexpr unsigned NoLimit = 0xFFFFFFFFu;

    // The defaults upload the whole picture, filtered linearly, as one level
    // in a plain format, and keep the pixels.
    struct UploadOptions
    {
        unsigned maxSize = NoLimit; // larger pictures are scaled down to fit
        bool linear = true;         // else nearest-neighbour sampling
        bool mipmaps = false;
        bool compress = false;
        bool freePixels = false;
    };

    CTexture() = default;
    // A copy would share the GL name and delete it twice; copy the pixels
    // with CopyFrom instead.
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;
    ~CTexture() override;

    // Does nothing without pixels (or with a width or height of 0). Later
    // uploads replace the contents under the same name. With freePixels the
    // pixels are dropped afterwards; width, height and channels stay.
    void Upload(const UploadOptions& options);

    // 0 until the first upload.
    unsigned GetTextureName() const { return m_textureName; }
    // Side of the square that was uploaded.
    unsigned GetUploadedSize() const { return m_uploadedSize; }
    // Scaled picture size ÷ own size, x then y; 1 unless a limit shrank it.
    const float* GetScale() const { return m_scale; }

private:
    unsigned m_textureName = 0;
    unsigned m_uploadedSize = 0;
    float m_scale[2] = {1.0f, 1.0f};
};
