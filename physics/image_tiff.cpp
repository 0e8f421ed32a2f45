// TIFF through libtiff: 8-, 16- and 32-bit integer and 32- or 64-bit float samples, grey or
// RGB (read as luminance), in strips or tiles, any compression libtiff knows.
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "physics/image_formats.h"

namespace tesral::physics {

namespace {

/** libtiff's messages for one file go here rather than to stderr; the first error is kept. */
int onError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    auto* message = static_cast<std::string*>(user);
    if (!message->empty()) return 1;
    char text[300];
    std::vsnprintf(text, sizeof text, format, args);
    *message = text;
    (void)module;
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffHandle {
    TIFFOpenOptions* options = nullptr;
    TIFF* tif = nullptr;
    ~TiffHandle() {
        if (tif) TIFFClose(tif);
        if (options) TIFFOpenOptionsFree(options);
    }
};

struct Layout {
    int format = SAMPLEFORMAT_UINT;
    int bytes = 1;    // per sample
    int samples = 1;  // per pixel
    bool colour = false;
    bool inverted = false;  // 0 is white
};

float sampleAt(const unsigned char* p, const Layout& l) {
    if (l.format == SAMPLEFORMAT_IEEEFP) {
        if (l.bytes == 4) {
            float v;
            std::memcpy(&v, p, 4);
            return v;
        }
        double v;
        std::memcpy(&v, p, 8);
        return static_cast<float>(v);
    }
    if (l.format == SAMPLEFORMAT_INT) {
        if (l.bytes == 1) return static_cast<float>(static_cast<std::int8_t>(*p));
        if (l.bytes == 2) {
            std::int16_t v;
            std::memcpy(&v, p, 2);
            return v;
        }
        std::int32_t v;
        std::memcpy(&v, p, 4);
        return static_cast<float>(v);
    }
    if (l.bytes == 1) return *p;
    if (l.bytes == 2) {
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return static_cast<float>(v);
}

float pixelAt(const unsigned char* p, const Layout& l) {
    if (!l.colour) return sampleAt(p, l);
    return kLumaRed * sampleAt(p, l) + kLumaGreen * sampleAt(p + l.bytes, l) +
           kLumaBlue * sampleAt(p + 2 * l.bytes, l);
}

/** The largest value the samples hold; 0 for floats. */
float formatLargest(const Layout& l) {
    if (l.format == SAMPLEFORMAT_IEEEFP) return 0.0f;
    const int bits = 8 * l.bytes - (l.format == SAMPLEFORMAT_INT ? 1 : 0);
    return static_cast<float>(std::ldexp(1.0, bits) - 1.0);
}

/** Copies a block of `rows` × `columns` pixels at (x0, y0) into the image. */
void copyBlock(const unsigned char* block, std::size_t rowBytes, int x0, int y0, int columns,
               int rows, const Layout& l, DiffractionImage& image) {
    const std::size_t step = static_cast<std::size_t>(l.bytes) * l.samples;
    rows = std::min(rows, image.height - y0);
    columns = std::min(columns, image.width - x0);
    for (int r = 0; r < rows; ++r) {
        const unsigned char* in = block + r * rowBytes;
        float* out = image.pixels.data() + static_cast<std::size_t>(y0 + r) * image.width + x0;
        for (int c = 0; c < columns; ++c) out[c] = pixelAt(in + c * step, l);
    }
}

}  // namespace

DiffractionImage readTiffImage(const std::string& path) {
    std::string message;
    TiffHandle h;
    h.options = TIFFOpenOptionsAlloc();
    if (!h.options) failImage(path, "out of memory for the TIFF reader");
    TIFFOpenOptionsSetErrorHandlerExtR(h.options, onError, &message);
    TIFFOpenOptionsSetWarningHandlerExtR(h.options, onWarning, nullptr);
    h.tif = TIFFOpenExt(path.c_str(), "r", h.options);
    const auto fail = [&](const std::string& what) {
        failImage(path, "TIFF: " + what + (message.empty() ? "" : " (" + message + ")"));
    };
    if (!h.tif) fail("no image directory");

    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 1, samples = 1, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG,
                  photometric = PHOTOMETRIC_MINISBLACK;
    TIFFGetField(h.tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(h.tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(h.tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(h.tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(h.tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(h.tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(h.tif, TIFFTAG_PHOTOMETRIC, &photometric);
    checkImageSize(path, width, height);

    Layout l;
    l.format = format;
    l.bytes = bits / 8;
    l.samples = samples;
    l.colour = photometric == PHOTOMETRIC_RGB;
    l.inverted = photometric == PHOTOMETRIC_MINISWHITE;
    const bool knownFormat = format == SAMPLEFORMAT_IEEEFP
                                 ? (bits == 32 || bits == 64)
                                 : (format == SAMPLEFORMAT_UINT || format == SAMPLEFORMAT_INT) &&
                                       (bits == 8 || bits == 16 || bits == 32);
    if (!knownFormat)
        fail(std::to_string(bits) + "-bit " +
             (format == SAMPLEFORMAT_IEEEFP ? "float" : "integer") +
             " samples are not read (8, 16, 32 bit or float)");
    if (!(photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE ||
          (l.colour && samples >= 3)))
        fail("only grey and RGB images are read (photometric " + std::to_string(photometric) + ")");
    if (planar != PLANARCONFIG_CONTIG && samples > 1)
        fail("colour planes stored apart are not read");

    DiffractionImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.source = path;
    image.pixels.assign(static_cast<std::size_t>(width) * height, 0.0f);

    const std::size_t pixelBytes = static_cast<std::size_t>(l.bytes) * samples;
    if (TIFFIsTiled(h.tif)) {
        std::uint32_t tileWidth = 0, tileHeight = 0;
        TIFFGetField(h.tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(h.tif, TIFFTAG_TILELENGTH, &tileHeight);
        const tmsize_t tileSize = TIFFTileSize(h.tif);
        if (tileWidth == 0 || tileHeight == 0 || tileSize <= 0) fail("bad tile size");
        std::vector<unsigned char> tile(static_cast<std::size_t>(tileSize));
        for (std::uint32_t y = 0; y < height; y += tileHeight)
            for (std::uint32_t x = 0; x < width; x += tileWidth) {
                const ttile_t index = TIFFComputeTile(h.tif, x, y, 0, 0);
                if (TIFFReadEncodedTile(h.tif, index, tile.data(), tileSize) < 0)
                    fail("truncated or damaged tile " + std::to_string(index));
                copyBlock(tile.data(), tileWidth * pixelBytes, static_cast<int>(x),
                          static_cast<int>(y), static_cast<int>(tileWidth),
                          static_cast<int>(tileHeight), l, image);
            }
    } else {
        std::uint32_t rowsPerStrip = height;
        TIFFGetFieldDefaulted(h.tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        rowsPerStrip = std::clamp<std::uint32_t>(rowsPerStrip, 1, height);
        const tmsize_t stripSize = TIFFStripSize(h.tif);
        if (stripSize <= 0) fail("bad strip size");
        std::vector<unsigned char> strip(static_cast<std::size_t>(stripSize));
        const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
        for (std::uint32_t y = 0; y < height; y += rowsPerStrip) {
            const tstrip_t index = TIFFComputeStrip(h.tif, y, 0);
            const tmsize_t got = TIFFReadEncodedStrip(h.tif, index, strip.data(), stripSize);
            const std::uint32_t rows = std::min(rowsPerStrip, height - y);
            if (got < static_cast<tmsize_t>(rows * rowBytes))
                fail("truncated or damaged strip " + std::to_string(index));
            copyBlock(strip.data(), rowBytes, 0, static_cast<int>(y), static_cast<int>(width),
                      static_cast<int>(rows), l, image);
        }
    }

    float largest = formatLargest(l);
    if (largest == 0.0f) {
        largest = -std::numeric_limits<float>::infinity();
        for (const float v : image.pixels)
            if (std::isfinite(v)) largest = std::max(largest, v);
        if (!std::isfinite(largest)) largest = 0.0f;
    } else if (l.inverted) {
        for (float& v : image.pixels) v = largest - v;
    }
    image.saturation = largest;
    return image;
}

}  // namespace tesral::physics
