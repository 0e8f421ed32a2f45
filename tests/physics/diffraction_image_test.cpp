#include "physics/diffraction_image.h"

#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

using namespace tesral::physics;

namespace {

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "image_" + name;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

/** A PNG of `channels` samples per pixel from row-major samples (big-endian order written). */
void writePng(const std::string& path, int width, int height, int colourType, int depth,
              const std::vector<std::uint16_t>& samples, bool interlaced = false) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        FAIL() << "libpng could not write " << path;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[2] = {{0, 0, 0}, {0, 0, 255}};
        png_set_PLTE(png, info, palette, 2);
    }
    png_write_info(png, info);
    std::vector<png_byte> bytes;
    for (std::uint16_t s : samples) {
        if (depth == 16) bytes.push_back(static_cast<png_byte>(s >> 8));
        bytes.push_back(static_cast<png_byte>(s));
    }
    const std::size_t rowBytes = bytes.size() / height;
    std::vector<png_bytep> rows;
    rows.reserve(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) rows.push_back(bytes.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

/** A TIFF in strips of `rowsPerStrip` rows, or in 16 × 16 tiles when `tiled`. */
void writeTiff(const std::string& path, int width, int height, int bits, int format, int samples,
               const std::vector<unsigned char>& bytes, int rowsPerStrip, bool tiled = false,
               int compression = COMPRESSION_NONE) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, format);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * samples * bits / 8;
    if (tiled) {
        const int t = 16;
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, t);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, t);
        const std::size_t pixelBytes = rowBytes / width;
        std::vector<unsigned char> tile(t * t * pixelBytes);
        for (int y0 = 0; y0 < height; y0 += t)
            for (int x0 = 0; x0 < width; x0 += t) {
                std::fill(tile.begin(), tile.end(), 0);
                for (int y = y0; y < std::min(height, y0 + t); ++y)
                    for (int x = x0; x < std::min(width, x0 + t); ++x)
                        std::memcpy(&tile[((y - y0) * t + (x - x0)) * pixelBytes],
                                    &bytes[y * rowBytes + x * pixelBytes], pixelBytes);
                TIFFWriteTile(tif, tile.data(), x0, y0, 0, 0);
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
        for (int y = 0; y < height; ++y)
            TIFFWriteScanline(tif, const_cast<unsigned char*>(&bytes[y * rowBytes]), y, 0);
    }
    TIFFClose(tif);
}

template <typename T>
std::vector<unsigned char> asBytes(const std::vector<T>& values) {
    std::vector<unsigned char> bytes(values.size() * sizeof(T));
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

TEST(DiffractionImage, ReadsEachFormatBackAsWritten) {
    const int w = 20, h = 18, n = w * h;
    std::vector<std::uint16_t> grey8(n), grey16(n), rgb8, greyAlpha16;
    std::string pgm8, pgm16;
    for (int i = 0; i < n; ++i) {
        grey8[i] = static_cast<std::uint16_t>(i % 256);
        grey16[i] = static_cast<std::uint16_t>(i * 181);
        pgm8 += static_cast<char>(i % 256);
        pgm16 += static_cast<char>((i * 11) >> 8);
        pgm16 += static_cast<char>((i * 11) & 0xff);
        // Grey in colour: each channel the same, so the luminance is the value whatever the
        // weights; pixel 0 is pure red.
        const std::uint16_t g = grey8[i];
        rgb8.insert(rgb8.end(), {g, g, g});
        greyAlpha16.insert(greyAlpha16.end(), {grey16[i], 1234});
    }
    rgb8[0] = 255;
    std::vector<float> want8(grey8.begin(), grey8.end()), want16(grey16.begin(), grey16.end());
    std::vector<float> wantPgm16(n), wantRgb = want8;
    for (int i = 0; i < n; ++i) wantPgm16[i] = static_cast<float>(i * 11);
    wantRgb[0] = 54.0f;  // 0.2126 × 255
    std::vector<std::uint16_t> tiff16(grey16);
    std::vector<float> tiffFloat(n);
    for (int i = 0; i < n; ++i) tiffFloat[i] = 0.5f * static_cast<float>(i) - 3.25f;
    std::vector<unsigned char> tiffRgb(3 * n, 40);
    tiffRgb[0] = 255;

    const struct {
        std::string name;
        std::function<void(const std::string&)> write;
        std::vector<float> pixels;
        float saturation;
    } cases[] = {
        {"p8.pgm", [&](auto& p) { writeBytes(p, "P5\n# made here\n20 18\n255\n" + pgm8); }, want8,
         255.0f},
        {"p16.pgm", [&](auto& p) { writeBytes(p, "P5 20 18 4095 " + pgm16); }, wantPgm16, 4095.0f},
        {"g8.png", [&](auto& p) { writePng(p, w, h, PNG_COLOR_TYPE_GRAY, 8, grey8); }, want8,
         255.0f},
        {"g16.png", [&](auto& p) { writePng(p, w, h, PNG_COLOR_TYPE_GRAY, 16, grey16, true); },
         want16, 65535.0f},
        {"rgb8.png", [&](auto& p) { writePng(p, w, h, PNG_COLOR_TYPE_RGB, 8, rgb8); }, wantRgb,
         255.0f},
        {"palette.png",
         [&](auto& p) {
             std::vector<std::uint16_t> index(n);
             for (int i = 0; i < n; ++i) index[i] = i % 2;
             writePng(p, w, h, PNG_COLOR_TYPE_PALETTE, 8, index);
         },
         [&] {
             std::vector<float> v(n, 0.0f);
             for (int i = 1; i < n; i += 2) v[i] = 18.0f;  // blue: 0.0722 × 255
             return v;
         }(),
         255.0f},
        {"ga16.png",
         [&](auto& p) { writePng(p, w, h, PNG_COLOR_TYPE_GRAY_ALPHA, 16, greyAlpha16); }, want16,
         65535.0f},
        {"u8.tif",
         [&](auto& p) {
             std::vector<unsigned char> b(grey8.begin(), grey8.end());
             writeTiff(p, w, h, 8, SAMPLEFORMAT_UINT, 1, b, h);
         },
         want8, 255.0f},
        {"u16strips.tif",
         [&](auto& p) {
             writeTiff(p, w, h, 16, SAMPLEFORMAT_UINT, 1, asBytes(tiff16), 5, false,
                       COMPRESSION_ADOBE_DEFLATE);
         },
         want16, 65535.0f},
        {"f32tiles.tif",
         [&](auto& p) {
             writeTiff(p, w, h, 32, SAMPLEFORMAT_IEEEFP, 1, asBytes(tiffFloat), 0, true);
         },
         tiffFloat, tiffFloat.back()},
        {"rgb8.tif", [&](auto& p) { writeTiff(p, w, h, 8, SAMPLEFORMAT_UINT, 3, tiffRgb, 7); },
         [&] {
             std::vector<float> v(n, 40.0f);
             v[0] = 0.2126f * 255 + (0.7152f + 0.0722f) * 40;
             return v;
         }(),
         255.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = tempPath(c.name);
        c.write(path);
        const DiffractionImage image = readDiffractionImage(path);
        EXPECT_EQ(image.width, w);
        EXPECT_EQ(image.height, h);
        EXPECT_EQ(image.saturation, c.saturation);
        EXPECT_EQ(image.source, path);
        ASSERT_EQ(image.pixels.size(), c.pixels.size());
        int wrong = 0;
        for (int i = 0; i < n; ++i)
            if (std::abs(image.pixels[i] - c.pixels[i]) > 1e-3f * (1 + std::abs(c.pixels[i])) &&
                wrong++ < 3)
                ADD_FAILURE() << "pixel " << i << ": " << image.pixels[i] << " not " << c.pixels[i];
    }
}

TEST(DiffractionImage, NamesTheFileAndWhatIsWrongInOneLine) {
    const std::string png = tempPath("whole.png");
    writePng(png, 40, 40, PNG_COLOR_TYPE_GRAY, 16, std::vector<std::uint16_t>(1600, 7));
    const std::string tif = tempPath("whole.tif");
    writeTiff(tif, 40, 40, 16, SAMPLEFORMAT_UINT, 1, std::vector<unsigned char>(3200, 7), 40);
    const std::string wide = tempPath("wide.tif");
    writeTiff(wide, 20000, 1, 8, SAMPLEFORMAT_UINT, 1, std::vector<unsigned char>(20000), 1);
    std::string bigPng = readBytes(png);
    bigPng[16] = 0, bigPng[17] = 0, bigPng[18] = 0x4e, bigPng[19] = 0x21;  // IHDR width 20001
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(bigPng.data() + 12), 17);
    for (int i = 0; i < 4; ++i) bigPng[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    const std::string pngData = readBytes(png), tifData = readBytes(tif);
    // The one strip's data cut short, its directory moved up to follow it.
    std::uint32_t directory;
    std::memcpy(&directory, tifData.data() + 4, 4);
    const std::uint32_t cut = 1000;
    std::string shortStrip = tifData.substr(0, directory - cut) + tifData.substr(directory);
    const std::uint32_t moved = directory - cut;
    std::memcpy(shortStrip.data() + 4, &moved, 4);

    const struct {
        std::string name;
        std::string bytes;  // empty: the file as written above
        std::string message;
    } cases[] = {
        {"empty.pgm", "", "the file is empty"},
        {"text.png", "hello, world\n", "not a PNG, TIFF or binary PGM (P5) image"},
        {"ascii.pgm", "P2 2 2 255\n1 2 3 4\n", "not a PNG, TIFF or binary PGM (P5) image"},
        {"short.pgm", "P5 4 4 255\nabc",
         "truncated: the PGM header promises 4 x 4 pixels, the file holds 3"},
        {"none.pgm", "P5 0 0 255\n", "the image has no pixels (0 x 0)"},
        {"huge.pgm", "P5 16385 2 255\n",
         "the image is 16385 x 2 pixels; at most 16384 on a side are read"},
        {"badmax.pgm", "P5 2 2 70000\n", "PGM maxval 70000 is not 1 to 65535"},
        {"header.pgm", "P5 2 x 255\n", "PGM header is not \"P5 width height maxval\""},
        {"short.png", pngData.substr(0, pngData.size() / 2),
         "PNG: truncated: the file ends inside the PNG data"},
        {"huge.png", bigPng, "the image is 20001 x 40 pixels; at most 16384 on a side are read"},
        {"wide.tif", "", "the image is 20000 x 1 pixels; at most 16384 on a side are read"},
        {"cut.tif", tifData.substr(0, tifData.size() / 2),
         "TIFF: no image directory (Can not read TIFF directory count)"},
        {"short.tif", shortStrip, "TIFF: truncated or damaged strip 0 (Read error on strip 0"},
        {"missing.tif", "-", "cannot open (No such file or directory)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.name == "wide.tif" ? wide : tempPath(c.name);
        if (c.bytes == "-")
            std::remove(path.c_str());
        else if (c.name != "wide.tif")
            writeBytes(path, c.bytes);
        try {
            readDiffractionImage(path);
            ADD_FAILURE() << "read without an error";
        } catch (const std::runtime_error& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(path + ": " + c.message, 0), 0u) << what;
            EXPECT_EQ(what.find('\n'), std::string::npos) << what;
        }
    }
}

}  // namespace
