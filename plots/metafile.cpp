#include "plots/metafile.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/number_reader.h"

namespace tesral {

namespace {

constexpr std::uint16_t kMemoryMetafile = 1;
constexpr std::uint16_t kHeaderWords = 9;
constexpr std::uint16_t kWindows3Version = 0x0300;

/** A coordinate as a 16-bit word, clamped to the signed range. */
std::uint16_t coordinate(long value) {
    const long clamped = std::clamp<long>(value, std::numeric_limits<std::int16_t>::min(),
                                          std::numeric_limits<std::int16_t>::max());
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(clamped));
}

std::uint16_t lowWord(std::uint32_t value) {
    return static_cast<std::uint16_t>(value & 0xffffu);
}

std::uint16_t highWord(std::uint32_t value) {
    return static_cast<std::uint16_t>(value >> 16);
}

std::uint16_t bytePair(std::uint8_t low, std::uint8_t high) {
    return static_cast<std::uint16_t>(low | high << 8);
}

/** Records that make an object, which takes a slot of the table. */
bool createsObject(MetaFunction function) {
    return function == MetaFunction::CreatePenIndirect ||
           function == MetaFunction::CreateBrushIndirect ||
           function == MetaFunction::CreateFontIndirect;
}

void appendWord(std::string& out, std::uint16_t word) {
    out.push_back(static_cast<char>(word & 0xff));
    out.push_back(static_cast<char>(word >> 8));
}

void appendDword(std::string& out, std::uint32_t value) {
    appendWord(out, lowWord(value));
    appendWord(out, highWord(value));
}

}  // namespace

LogFont makeLogFont(std::string_view faceName, double sizeValue, double twipsPerPixelY) {
    LogFont font;
    font.height = static_cast<std::int16_t>(metafileCoordinate(-sizeValue * twipsPerPixelY));
    const std::size_t n = std::min(faceName.size(), kFaceNameBytes - 1);
    std::copy_n(faceName.begin(), n, font.faceName.begin());
    return font;
}

std::uint32_t Metafile::sizeInWords() const {
    std::uint32_t words = kHeaderWords;
    for (const MetaRecord& r : records_) words += r.sizeInWords();
    return words;
}

std::uint32_t Metafile::maxRecordInWords() const {
    std::uint32_t largest = 0;
    for (const MetaRecord& r : records_) largest = std::max(largest, r.sizeInWords());
    return largest;
}

std::string Metafile::bits() const {
    std::string out;
    out.reserve(std::size_t{2} * sizeInWords());
    appendWord(out, kMemoryMetafile);
    appendWord(out, kHeaderWords);
    appendWord(out, kWindows3Version);
    appendDword(out, sizeInWords());
    appendWord(out, static_cast<std::uint16_t>(objectCount_));
    appendDword(out, maxRecordInWords());
    appendWord(out, 0);  // number of parameters: unused
    for (const MetaRecord& r : records_) {
        appendDword(out, r.sizeInWords());
        appendWord(out, static_cast<std::uint16_t>(r.function));
        for (std::uint16_t word : r.params) appendWord(out, word);
    }
    return out;
}

void MetafileRecorder::record(MetaFunction function, std::vector<std::uint16_t> params) {
    records_.push_back({function, std::move(params)});
}

MetaObject MetafileRecorder::create(MetaFunction function, std::vector<std::uint16_t> params) {
    const auto free = std::find(slots_.begin(), slots_.end(), false);
    const auto slot = static_cast<int>(free - slots_.begin());
    if (free == slots_.end())
        slots_.push_back(true);
    else
        *free = true;
    objectCount_ = std::max(objectCount_, slot + 1);
    record(function, std::move(params));
    return {slot};
}

bool MetafileRecorder::inUse(MetaObject object) const {
    return object.slot >= 0 && static_cast<std::size_t>(object.slot) < slots_.size() &&
           slots_[static_cast<std::size_t>(object.slot)];
}

MetaObject MetafileRecorder::createPen(PenStyle style, int width, ColorRef colour) {
    // The width is a point (x, y) of which only x counts.
    return create(MetaFunction::CreatePenIndirect,
                  {static_cast<std::uint16_t>(style), coordinate(width), 0, lowWord(colour),
                   highWord(colour)});
}

MetaObject MetafileRecorder::createBrush(BrushStyle style, ColorRef colour) {
    return create(MetaFunction::CreateBrushIndirect,
                  {static_cast<std::uint16_t>(style), lowWord(colour), highWord(colour), 0});
}

MetaObject MetafileRecorder::createFont(const LogFont& font) {
    std::vector<std::uint16_t> params = {static_cast<std::uint16_t>(font.height),
                                         static_cast<std::uint16_t>(font.width),
                                         static_cast<std::uint16_t>(font.escapement),
                                         static_cast<std::uint16_t>(font.orientation),
                                         static_cast<std::uint16_t>(font.weight),
                                         bytePair(font.italic, font.underline),
                                         bytePair(font.strikeOut, font.charSet),
                                         bytePair(font.outPrecision, font.clipPrecision),
                                         bytePair(font.quality, font.pitchAndFamily)};
    for (std::size_t i = 0; i < kFaceNameBytes; i += 2)
        params.push_back(bytePair(static_cast<std::uint8_t>(font.faceName[i]),
                                  static_cast<std::uint8_t>(font.faceName[i + 1])));
    return create(MetaFunction::CreateFontIndirect, std::move(params));
}

void MetafileRecorder::selectObject(MetaObject object) {
    if (!inUse(object)) return;
    record(MetaFunction::SelectObject, {static_cast<std::uint16_t>(object.slot)});
}

void MetafileRecorder::deleteObject(MetaObject object) {
    if (!inUse(object)) return;
    record(MetaFunction::DeleteObject, {static_cast<std::uint16_t>(object.slot)});
    slots_[static_cast<std::size_t>(object.slot)] = false;
}

void MetafileRecorder::intersectClipRect(int left, int top, int right, int bottom) {
    record(MetaFunction::IntersectClipRect,
           {coordinate(bottom), coordinate(right), coordinate(top), coordinate(left)});
}

void MetafileRecorder::polyline(const std::vector<int>& xy) {
    // The point count and then the points in order, each x before its y.
    std::vector<std::uint16_t> params{static_cast<std::uint16_t>(xy.size() / 2)};
    for (const int v : xy) params.push_back(coordinate(v));
    record(MetaFunction::Polyline, std::move(params));
}

void MetafileRecorder::rectangle(int left, int top, int right, int bottom) {
    // Parameters are stored last first.
    record(MetaFunction::Rectangle,
           {coordinate(bottom), coordinate(right), coordinate(top), coordinate(left)});
}

void MetafileRecorder::ellipse(int left, int top, int right, int bottom) {
    record(MetaFunction::Ellipse,
           {coordinate(bottom), coordinate(right), coordinate(top), coordinate(left)});
}

void MetafileRecorder::textOut(int x, int y, std::string_view text) {
    // A record's length is a 16-bit count of bytes; longer text is cut.
    const std::size_t n = std::min<std::size_t>(text.size(), 0x7ffe);
    std::vector<std::uint16_t> params = {static_cast<std::uint16_t>(n)};
    for (std::size_t i = 0; i < n; i += 2) {
        const auto low = static_cast<std::uint8_t>(text[i]);
        const auto high = i + 1 < n ? static_cast<std::uint8_t>(text[i + 1]) : std::uint8_t{0};
        params.push_back(bytePair(low, high));
    }
    params.push_back(coordinate(y));
    params.push_back(coordinate(x));
    record(MetaFunction::TextOut, std::move(params));
}

void MetafileRecorder::setTextColor(ColorRef colour) {
    record(MetaFunction::SetTextColor, {lowWord(colour), highWord(colour)});
}

void MetafileRecorder::setBkMode(BackgroundMode mode) {
    record(MetaFunction::SetBkMode, {static_cast<std::uint16_t>(mode)});
}

void MetafileRecorder::setWindowExt(int width, int height) {
    record(MetaFunction::SetWindowExt, {coordinate(height), coordinate(width)});
}

void MetafileRecorder::setMapMode(MapMode mode) {
    record(MetaFunction::SetMapMode, {static_cast<std::uint16_t>(mode)});
}

void MetafileRecorder::play(const Metafile& picture) {
    // The picture's own table is replayed alongside, to know which of its slots each of its
    // records names; `here` maps those slots to ours.
    std::vector<bool> theirs;
    std::vector<MetaObject> here;
    const auto known = [&](std::uint16_t slot) { return slot < theirs.size() && theirs[slot]; };
    for (const MetaRecord& r : picture.records()) {
        if (r.function == MetaFunction::Eof) break;
        if (createsObject(r.function)) {
            const auto free = std::find(theirs.begin(), theirs.end(), false);
            const auto slot = static_cast<std::size_t>(free - theirs.begin());
            if (free == theirs.end()) {
                theirs.push_back(true);
                here.emplace_back();
            } else {
                *free = true;
            }
            here[slot] = create(r.function, r.params);
        } else if (r.function == MetaFunction::SelectObject && !r.params.empty()) {
            if (known(r.params[0])) selectObject(here[r.params[0]]);
        } else if (r.function == MetaFunction::DeleteObject && !r.params.empty()) {
            if (!known(r.params[0])) continue;
            deleteObject(here[r.params[0]]);
            theirs[r.params[0]] = false;
        } else {
            record(r.function, r.params);
        }
    }
}

Metafile MetafileRecorder::close() {
    record(MetaFunction::Eof, {});
    Metafile picture;
    picture.records_ = std::move(records_);
    picture.objectCount_ = objectCount_;
    *this = MetafileRecorder();
    return picture;
}

int metafileCoordinate(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(roundHalfEven(value), -32768.0, 32767.0));
}

void metafileEllipse(MetafileRecorder& recorder, double x, double y, double r) {
    recorder.ellipse(metafileCoordinate(x - r), metafileCoordinate(y - r),
                     metafileCoordinate(x + r), metafileCoordinate(y + r));
}

}  // namespace tesral
