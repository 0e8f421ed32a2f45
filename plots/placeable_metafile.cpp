#include "plots/placeable_metafile.h"

#include "report/safe_file.h"

namespace tesral {

namespace {

void appendWord(std::string& out, std::uint16_t word) {
    out.push_back(static_cast<char>(word & 0xff));
    out.push_back(static_cast<char>(word >> 8));
}

}  // namespace

std::string placeableHeader(int widthTwips, int heightTwips, int unitsPerInch) {
    const std::uint16_t words[10] = {
        static_cast<std::uint16_t>(kPlaceableKey & 0xffffu),
        static_cast<std::uint16_t>(kPlaceableKey >> 16),
        0,  // handle
        0,  // left
        0,  // top
        static_cast<std::uint16_t>(static_cast<std::int16_t>(widthTwips + 1)),
        static_cast<std::uint16_t>(static_cast<std::int16_t>(heightTwips + 1)),
        static_cast<std::uint16_t>(unitsPerInch),
        0,  // reserved, two words
        0};
    std::string out;
    std::uint16_t checksum = 0;
    for (std::uint16_t word : words) {
        appendWord(out, word);
        checksum ^= word;
    }
    appendWord(out, checksum);
    return out;
}

std::optional<std::string> placeableMetafileBytes(const Metafile& picture, int widthTwips,
                                                  int heightTwips, int unitsPerInch,
                                                  std::string* error) {
    const auto refuse = [error](std::string_view why) -> std::optional<std::string> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (widthTwips > kLargestMetafileSide || heightTwips > kLargestMetafileSide)
        return refuse(kMetafileTooLargeMessage);
    if (widthTwips < 1 || heightTwips < 1) return refuse(kMetafileEmptyMessage);
    MetafileRecorder placed;
    placed.setWindowExt(widthTwips, heightTwips);
    placed.setMapMode(MapMode::Anisotropic);
    placed.play(picture);
    return placeableHeader(widthTwips, heightTwips, unitsPerInch) + placed.close().bits();
}

std::optional<std::string> writePlaceableMetafile(const std::string& path, const Metafile& picture,
                                                  int widthTwips, int heightTwips,
                                                  int unitsPerInch) {
    std::string error;
    const std::optional<std::string> bytes =
        placeableMetafileBytes(picture, widthTwips, heightTwips, unitsPerInch, &error);
    if (!bytes) return error;
    return writeFileSafely(path, *bytes);
}

}  // namespace tesral
