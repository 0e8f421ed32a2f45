#pragma once

// A reader of placeable metafile files for the tests, written from the record layouts alone
// and sharing no code with the writer: it walks every record and checks the file's own
// bookkeeping (sizes, object taken, the header's counts).

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesral::test {

namespace wmf {
constexpr std::uint16_t kEof = 0x0000;
constexpr std::uint16_t kSetBkMode = 0x0102;
constexpr std::uint16_t kSelectObject = 0x012D;
constexpr std::uint16_t kDeleteObject = 0x01F0;
constexpr std::uint16_t kSetTextColor = 0x0209;
constexpr std::uint16_t kSetWindowExt = 0x020C;
constexpr std::uint16_t kSetMapMode = 0x0103;
constexpr std::uint16_t kCreatePen = 0x02FA;
constexpr std::uint16_t kCreateFont = 0x02FB;
constexpr std::uint16_t kCreateBrush = 0x02FC;
constexpr std::uint16_t kIntersectClipRect = 0x0416;
constexpr std::uint16_t kEllipse = 0x0418;
constexpr std::uint16_t kRectangle = 0x041B;
constexpr std::uint16_t kTextOut = 0x0521;
}  // namespace wmf

struct WmfRecord {
    std::uint16_t function = 0;
    std::vector<std::uint16_t> params;
    /** For SelectObject and DeleteObject: the slot; for creations: the slot taken. */
    int slot = -1;

    std::int16_t param(std::size_t i) const { return static_cast<std::int16_t>(params.at(i)); }
};

struct WmfFile {
    // Placeable header.
    std::uint32_t key = 0;
    std::int16_t left = 0, top = 0, right = 0, bottom = 0;
    std::uint16_t unitsPerInch = 0;
    std::uint16_t checksum = 0;
    std::uint16_t computedChecksum = 0;
    // METAHEADER.
    std::uint16_t type = 0, headerWords = 0, version = 0;
    std::uint32_t sizeWords = 0;
    std::uint16_t objects = 0;
    std::uint32_t maxRecordWords = 0;
    std::vector<WmfRecord> records;
    /** Everything found wrong; empty for a sound file. */
    std::vector<std::string> problems;

    std::vector<WmfRecord> all(std::uint16_t function) const {
        std::vector<WmfRecord> out;
        for (const WmfRecord& r : records)
            if (r.function == function) out.push_back(r);
        return out;
    }
};

namespace detail {

inline std::uint16_t word(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

inline std::uint32_t dword(std::string_view b, std::size_t at) {
    return word(b, at) | static_cast<std::uint32_t>(word(b, at + 2)) << 16;
}

inline bool createsObject(std::uint16_t function) {
    return function == wmf::kCreatePen || function == wmf::kCreateBrush ||
           function == wmf::kCreateFont;
}

}  // namespace detail

/** Reads a placeable metafile file; problems are listed, not thrown. */
inline WmfFile readWmf(std::string_view bytes) {
    using detail::dword;
    using detail::word;
    WmfFile f;
    const auto problem = [&f](std::string text) { f.problems.push_back(std::move(text)); };
    if (bytes.size() < 22 + 18) {
        problem("shorter than the two headers");
        return f;
    }
    f.key = dword(bytes, 0);
    f.left = static_cast<std::int16_t>(word(bytes, 6));
    f.top = static_cast<std::int16_t>(word(bytes, 8));
    f.right = static_cast<std::int16_t>(word(bytes, 10));
    f.bottom = static_cast<std::int16_t>(word(bytes, 12));
    f.unitsPerInch = word(bytes, 14);
    f.checksum = word(bytes, 20);
    for (std::size_t at = 0; at < 20; at += 2) f.computedChecksum ^= word(bytes, at);
    if (f.key != 0x9AC6CDD7u) problem("wrong placeable key");
    if (f.checksum != f.computedChecksum) problem("wrong placeable checksum");

    const std::string_view meta = bytes.substr(22);
    f.type = word(meta, 0);
    f.headerWords = word(meta, 2);
    f.version = word(meta, 4);
    f.sizeWords = dword(meta, 6);
    f.objects = word(meta, 10);
    f.maxRecordWords = dword(meta, 12);
    if (f.headerWords != 9) problem("header size is not 9 words");
    if (std::size_t{2} * f.sizeWords != meta.size()) problem("header size field != file size");

    std::vector<bool> taken;
    std::size_t mostSlots = 0;
    std::uint32_t largest = 0;
    std::size_t at = 18;
    while (at + 6 <= meta.size()) {
        const std::uint32_t words = dword(meta, at);
        if (words < 3 || at + std::size_t{2} * words > meta.size()) {
            problem("record at byte " + std::to_string(at) + " overruns the file");
            return f;
        }
        WmfRecord r;
        r.function = word(meta, at + 4);
        for (std::size_t i = 3; i < words; ++i) r.params.push_back(word(meta, at + 2 * i));
        largest = std::max(largest, words);
        if (detail::createsObject(r.function)) {
            const auto free = std::find(taken.begin(), taken.end(), false);
            r.slot = static_cast<int>(free - taken.begin());
            if (free == taken.end())
                taken.push_back(true);
            else
                *free = true;
            mostSlots = std::max(mostSlots, static_cast<std::size_t>(r.slot) + 1);
        } else if (r.function == wmf::kSelectObject || r.function == wmf::kDeleteObject) {
            r.slot = r.params.empty() ? -1 : r.params[0];
            if (r.slot < 0 || static_cast<std::size_t>(r.slot) >= taken.size() ||
                !taken[static_cast<std::size_t>(r.slot)])
                problem("record names the empty slot " + std::to_string(r.slot));
            else if (r.function == wmf::kDeleteObject)
                taken[static_cast<std::size_t>(r.slot)] = false;
        }
        f.records.push_back(r);
        at += std::size_t{2} * words;
        if (r.function == wmf::kEof) break;
    }
    if (at != meta.size()) problem("bytes after the last record");
    if (f.records.empty() || f.records.back().function != wmf::kEof ||
        !f.records.back().params.empty())
        problem("the last record is not META_EOF of 3 words");
    if (f.maxRecordWords != largest) problem("header's largest record is wrong");
    if (f.objects != mostSlots) problem("header's object count is wrong");
    return f;
}

/** A rectangle, ellipse or text as a reader would draw it, with the objects then selected. */
struct WmfShape {
    std::uint16_t function = 0;
    int left = 0, top = 0, right = 0, bottom = 0;  // text: the position in left, top
    /** 0x00BBGGRR; -1 while nothing of the kind is selected, -2 for a hollow or null one. */
    long brush = -1;
    long pen = -1;
    long textColour = -1;
    std::string text;
    /** 1 transparent, 2 opaque (the default). */
    int backgroundMode = 2;
};

/** Plays the records: every shape with the brush, pen and text colour it is drawn in. */
inline std::vector<WmfShape> shapesOf(const WmfFile& f) {
    std::vector<const WmfRecord*> table;
    long brush = -1, pen = -1, textColour = -1;
    int backgroundMode = 2;
    const auto colour = [](std::uint16_t low, std::uint16_t high) {
        return static_cast<long>(low | static_cast<std::uint32_t>(high) << 16);
    };
    std::vector<WmfShape> shapes;
    for (const WmfRecord& r : f.records) {
        if (detail::createsObject(r.function)) {
            if (table.size() <= static_cast<std::size_t>(r.slot))
                table.resize(static_cast<std::size_t>(r.slot) + 1);
            table[static_cast<std::size_t>(r.slot)] = &r;
        } else if (r.function == wmf::kSelectObject) {
            const WmfRecord& o = *table.at(static_cast<std::size_t>(r.slot));
            if (o.function == wmf::kCreateBrush)
                brush = o.params[0] == 0 ? colour(o.params[1], o.params[2]) : -2;
            if (o.function == wmf::kCreatePen)
                pen = o.params[0] == 0 ? colour(o.params[3], o.params[4]) : -2;
        } else if (r.function == wmf::kSetBkMode) {
            backgroundMode = r.params.at(0);
        } else if (r.function == wmf::kSetTextColor) {
            textColour = colour(r.params[0], r.params[1]);
        } else if (r.function == wmf::kRectangle || r.function == wmf::kEllipse) {
            shapes.push_back({r.function,
                              r.param(3),
                              r.param(2),
                              r.param(1),
                              r.param(0),
                              brush,
                              pen,
                              textColour,
                              {},
                              backgroundMode});
        } else if (r.function == wmf::kTextOut) {
            const std::size_t n = r.params[0];
            std::string text;
            for (std::size_t i = 0; i < n; ++i)
                text.push_back(static_cast<char>(r.params[1 + i / 2] >> (8 * (i % 2))));
            const std::size_t after = 1 + (n + 1) / 2;
            shapes.push_back({r.function, r.param(after + 1), r.param(after), 0, 0, brush, pen,
                              textColour, text, backgroundMode});
        }
    }
    return shapes;
}

}  // namespace tesral::test
