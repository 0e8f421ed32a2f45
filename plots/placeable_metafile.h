#pragma once

// The placeable metafile: a 22-byte header that gives a Windows metafile its size on paper,
// followed by the metafile's bits. This is the ".wmf" file and the clipboard picture.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plots/metafile.h"

namespace tesral {

inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
inline constexpr std::size_t kPlaceableHeaderBytes = 22;
/** The header's right and bottom (width + 1, height + 1) must fit in a signed 16-bit word. */
inline constexpr int kLargestMetafileSide = 32766;
inline constexpr std::string_view kMetafileTooLargeMessage =
    "The picture is too large for a metafile.";
inline constexpr std::string_view kMetafileEmptyMessage = "The picture has no size.";

/** Units per inch of the header: twips, or finer for the large view. */
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kLargeViewUnitsPerInch = 3000;

/** The 22-byte header; the checksum is the XOR of its ten preceding 16-bit words. */
std::string placeableHeader(int widthTwips, int heightTwips, int unitsPerInch);

/**
 * The whole file: the header, then a second recording that sets the window extent to the
 * picture's size and the anisotropic mapping mode and plays `picture`. The second recording
 * lives only for this call. Nothing when a side is larger than kLargestMetafileSide or less
 * than 1; `error` then gets the reason.
 */
std::optional<std::string> placeableMetafileBytes(const Metafile& picture, int widthTwips,
                                                  int heightTwips, int unitsPerInch,
                                                  std::string* error = nullptr);

/**
 * Writes placeableMetafileBytes to `path` through the safe writer, so a failure keeps an
 * old file as it was. Returns the reason on failure; nothing is written then.
 */
std::optional<std::string> writePlaceableMetafile(const std::string& path, const Metafile& picture,
                                                  int widthTwips, int heightTwips,
                                                  int unitsPerInch);

}  // namespace tesral
