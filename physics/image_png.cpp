// PNG through libpng: grey kept as it is, colour turned into its luminance, alpha dropped,
// palettes expanded, 16-bit samples in the machine's byte order.
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "physics/image_formats.h"

namespace tesral::physics {

namespace {

struct PngFile {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    char message[200] = {};
    bool tooLarge = false;
    png_uint_32 width = 0, height = 0;

    ~PngFile() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (file) std::fclose(file);
    }
};

void onError(png_structp png, png_const_charp text) {
    auto* self = static_cast<PngFile*>(png_get_error_ptr(png));
    std::snprintf(self->message, sizeof self->message, "%s", text);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readData(png_structp png, png_bytep data, png_size_t length) {
    auto* self = static_cast<PngFile*>(png_get_io_ptr(png));
    if (std::fread(data, 1, length, self->file) != length)
        png_error(png, "truncated: the file ends inside the PNG data");
}

/**
 * Decodes into `image`. Returns false after a libpng error, with the reason in `f.message`.
 * Only references and trivial locals live here, so libpng's jump back skips no destructor;
 * the vectors belong to the caller.
 */
bool decode(PngFile& f, DiffractionImage& image, std::vector<unsigned char>& row) {
    if (setjmp(png_jmpbuf(f.png))) return false;
    png_set_read_fn(f.png, &f, readData);
    png_set_user_limits(f.png, 0x7fffffff, 0x7fffffff);
    png_read_info(f.png, f.info);
    f.width = png_get_image_width(f.png, f.info);
    f.height = png_get_image_height(f.png, f.info);
    if (f.width > kLargestImageSide || f.height > kLargestImageSide) {
        f.tooLarge = true;
        return false;
    }
    const int colour = png_get_color_type(f.png, f.info);
    const int depth = png_get_bit_depth(f.png, f.info);
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(f.png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(f.png);
    // Also the alpha that a palette's transparency entries become.
    png_set_strip_alpha(f.png);
    if (colour & PNG_COLOR_MASK_COLOR || colour == PNG_COLOR_TYPE_PALETTE)
        png_set_rgb_to_gray_fixed(f.png, 1, -1, -1);
    if (depth == 16) png_set_swap(f.png);
    const int passes = png_set_interlace_handling(f.png);
    png_read_update_info(f.png, f.info);
    if (png_get_channels(f.png, f.info) != 1) png_error(f.png, "cannot reduce to one channel");
    const bool wide = png_get_bit_depth(f.png, f.info) == 16;
    image.width = static_cast<int>(f.width);
    image.height = static_cast<int>(f.height);
    image.saturation = wide ? 65535.0f : 255.0f;
    image.pixels.assign(static_cast<std::size_t>(f.width) * f.height, 0.0f);
    row.assign(png_get_rowbytes(f.png, f.info), 0);
    // Interlaced files are read whole on each pass; the last pass leaves every pixel.
    std::vector<unsigned char>* rows = &row;
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < f.height; ++y) {
            float* out = image.pixels.data() + static_cast<std::size_t>(y) * f.width;
            if (passes > 1) {
                // Earlier passes' pixels come back from the floats already written.
                for (png_uint_32 x = 0; x < f.width; ++x) {
                    if (wide) {
                        const auto v = static_cast<std::uint16_t>(out[x]);
                        std::memcpy(rows->data() + 2 * x, &v, 2);
                    } else {
                        (*rows)[x] = static_cast<unsigned char>(out[x]);
                    }
                }
            }
            png_read_row(f.png, rows->data(), nullptr);
            for (png_uint_32 x = 0; x < f.width; ++x) {
                if (wide) {
                    std::uint16_t v;
                    std::memcpy(&v, rows->data() + 2 * x, 2);
                    out[x] = v;
                } else {
                    out[x] = (*rows)[x];
                }
            }
        }
    }
    png_read_end(f.png, nullptr);
    return true;
}

}  // namespace

DiffractionImage readPngImage(const std::string& path) {
    PngFile f;
    f.file = std::fopen(path.c_str(), "rb");
    if (!f.file) failImage(path, "cannot open");
    f.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &f, onError, onWarning);
    if (f.png) f.info = png_create_info_struct(f.png);
    if (!f.png || !f.info) failImage(path, "out of memory for the PNG reader");
    DiffractionImage image;
    image.source = path;
    std::vector<unsigned char> row;
    if (!decode(f, image, row)) {
        if (f.tooLarge) checkImageSize(path, f.width, f.height);
        failImage(path, std::string("PNG: ") + f.message);
    }
    return image;
}

}  // namespace tesral::physics
