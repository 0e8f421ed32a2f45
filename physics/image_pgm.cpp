// Binary PGM (P5): a text header "P5 width height maxval", one blank, then the pixels, one
// byte each up to maxval 255, else two bytes, most significant first.
#include <cctype>
#include <fstream>
#include <string>

#include "physics/image_formats.h"

namespace tesral::physics {

namespace {

/** The next header number, after blanks and '#' comments; -1 when there is none. */
long long headerNumber(std::istream& in) {
    int c = in.get();
    while (c != EOF && (std::isspace(c) || c == '#')) {
        if (c == '#')
            while (c != EOF && c != '\n') c = in.get();
        c = in.get();
    }
    if (c == EOF || !std::isdigit(c)) return -1;
    long long value = 0;
    while (c != EOF && std::isdigit(c)) {
        if (value < 1'000'000'000) value = value * 10 + (c - '0');
        c = in.get();
    }
    // The one blank after the last number belongs to the header.
    if (c != EOF && !std::isspace(c)) return -1;
    return value;
}

}  // namespace

DiffractionImage readPgmImage(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    in.ignore(2);
    const long long width = headerNumber(in);
    const long long height = width < 0 ? -1 : headerNumber(in);
    const long long maxval = height < 0 ? -1 : headerNumber(in);
    if (maxval < 0) failImage(path, "PGM header is not \"P5 width height maxval\"");
    if (maxval == 0 || maxval > 65535)
        failImage(path, "PGM maxval " + std::to_string(maxval) + " is not 1 to 65535");
    checkImageSize(path, width, height);

    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::size_t bytesPerPixel = maxval > 255 ? 2 : 1;
    const std::streampos start = in.tellg();
    in.seekg(0, std::ios::end);
    const std::streamoff available = in.tellg() - start;
    if (available < static_cast<std::streamoff>(count * bytesPerPixel))
        failImage(path, "truncated: the PGM header promises " + std::to_string(width) + " x " +
                            std::to_string(height) + " pixels, the file holds " +
                            std::to_string(available / static_cast<std::streamoff>(bytesPerPixel)));
    in.seekg(start);

    DiffractionImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.saturation = static_cast<float>(maxval);
    image.source = path;
    image.pixels.resize(count);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * bytesPerPixel);
    for (int y = 0; y < image.height; ++y) {
        if (!in.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(row.size())))
            failImage(path, "cannot read the pixels of row " + std::to_string(y));
        float* out = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
        if (bytesPerPixel == 1) {
            for (int x = 0; x < image.width; ++x) out[x] = row[x];
        } else {
            for (int x = 0; x < image.width; ++x)
                out[x] = static_cast<float>(row[2 * x] << 8 | row[2 * x + 1]);
        }
    }
    return image;
}

}  // namespace tesral::physics
