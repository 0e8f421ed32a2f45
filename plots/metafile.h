#pragma once

// A Windows metafile (WMF) recorder: the records of a 16-bit GDI drawing, as they are kept
// on the clipboard and in ".wmf" files. No Qt and no Windows: only the byte layout.
// Records are little-endian; their sizes count 16-bit words.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesral {

/** A GDI colour: 0x00BBGGRR. */
using ColorRef = std::uint32_t;

constexpr ColorRef colorRef(int red, int green, int blue) {
    return static_cast<ColorRef>((red & 0xff) | (green & 0xff) << 8 | (blue & 0xff) << 16);
}

/** Record functions (the low byte numbers the call, the high byte counts its words). */
enum class MetaFunction : std::uint16_t {
    Eof = 0x0000,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SelectObject = 0x012D,
    DeleteObject = 0x01F0,
    SetTextColor = 0x0209,
    SetWindowExt = 0x020C,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    Rectangle = 0x041B,
    Polyline = 0x0325,
    TextOut = 0x0521,
};

enum class MapMode : std::uint16_t { Text = 1, Anisotropic = 8 };
enum class BackgroundMode : std::uint16_t { Transparent = 1, Opaque = 2 };
enum class PenStyle : std::uint16_t { Solid = 0, Null = 5 };
enum class BrushStyle : std::uint16_t { Solid = 0, Hollow = 1 };

/** The 32-byte face field of a LOGFONT holds at most 31 characters and their ending zero. */
inline constexpr std::size_t kFaceNameBytes = 32;

/** A font as CreateFontIndirect takes it; lengths in the recording's logical units. */
struct LogFont {
    std::int16_t height = 0;  // negative: the character height without internal leading
    std::int16_t width = 0;
    std::int16_t escapement = 0;
    std::int16_t orientation = 0;
    std::int16_t weight = 0;
    std::uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0;
    std::uint8_t outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
    /** Single-byte characters, zero-filled; the last byte is always 0. */
    std::array<char, kFaceNameBytes> faceName{};
};

/**
 * The font of a recording: height = -n x the screen's twips per pixel (vertical), the nearest
 * integer with halves to even, so a size in screen pixels becomes twips. The face name keeps
 * its first 31 bytes (a longer one is cut so that the ending zero still fits); every other
 * field is 0, the defaults.
 */
LogFont makeLogFont(std::string_view faceName, double sizeValue, double twipsPerPixelY);

/** A slot of the recording's object table. */
struct MetaObject {
    int slot = -1;
    bool operator==(const MetaObject&) const = default;
};

/** One record: its function and its parameter words (the size and function words excluded). */
struct MetaRecord {
    MetaFunction function = MetaFunction::Eof;
    std::vector<std::uint16_t> params;

    /** The record's size in words, with the 6-byte size and function fields. */
    std::uint32_t sizeInWords() const { return static_cast<std::uint32_t>(3 + params.size()); }
};

/** A closed recording: the records, the last one META_EOF, and its header values. */
class Metafile {
  public:
    const std::vector<MetaRecord>& records() const { return records_; }
    /** The most object slots in use at one time. */
    int objectCount() const { return objectCount_; }
    /** The whole file size in words, the 9-word header included. */
    std::uint32_t sizeInWords() const;
    /** The largest record in words. */
    std::uint32_t maxRecordInWords() const;
    /** The byte image: the 18-byte METAHEADER followed by the records. */
    std::string bits() const;

  private:
    friend class MetafileRecorder;
    std::vector<MetaRecord> records_;
    int objectCount_ = 0;
};

/**
 * A recording context. A created object takes the lowest free slot of the object table and
 * DeleteObject frees it again. Coordinates are logical units; those outside the 16-bit range
 * are clamped to it.
 */
class MetafileRecorder {
  public:
    MetaObject createPen(PenStyle style, int width, ColorRef colour);
    MetaObject createBrush(BrushStyle style, ColorRef colour);
    MetaObject createFont(const LogFont& font);
    /** Selecting or deleting an object that is not in the table records nothing. */
    void selectObject(MetaObject object);
    void deleteObject(MetaObject object);

    /** Limits drawing to the rectangle (right and bottom excluded). */
    void intersectClipRect(int left, int top, int right, int bottom);
    void rectangle(int left, int top, int right, int bottom);
    void ellipse(int left, int top, int right, int bottom);
    /** Segments through the points, given as x0, y0, x1, y1, ... */
    void polyline(const std::vector<int>& xy);
    /** Single-byte text whose reference point (top-left by default) is at (x, y). */
    void textOut(int x, int y, std::string_view text);
    void setTextColor(ColorRef colour);
    void setBkMode(BackgroundMode mode);
    void setWindowExt(int width, int height);
    void setMapMode(MapMode mode);

    /** Records the records of `picture`, its objects given slots of this table. */
    void play(const Metafile& picture);

    /** Ends the recording with META_EOF. The recorder is empty again afterwards. */
    Metafile close();

  private:
    void record(MetaFunction function, std::vector<std::uint16_t> params);
    MetaObject create(MetaFunction function, std::vector<std::uint16_t> params);
    bool inUse(MetaObject object) const;

    std::vector<MetaRecord> records_;
    std::vector<bool> slots_;  // true: in use
    int objectCount_ = 0;
};

/** A coordinate of a record: the nearest integer (halves to even), clamped to 16 bits. */
int metafileCoordinate(double value);

/**
 * Records an ellipse around (x, y) with radius r: the bounding box x - r, y - r, x + r, y + r,
 * each corner the nearest integer with halves to even.
 */
void metafileEllipse(MetafileRecorder& recorder, double x, double y, double r);

}  // namespace tesral
