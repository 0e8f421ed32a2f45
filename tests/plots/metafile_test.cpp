// The metafile recorder and the placeable file, read back with the tests' own reader.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>

#include "plots/metafile.h"
#include "plots/placeable_metafile.h"
#include "wmf_reader.h"

using namespace tesral;
using namespace tesral::test;

namespace {

Metafile oneRecord(const std::function<void(MetafileRecorder&)>& draw) {
    MetafileRecorder recorder;
    draw(recorder);
    return recorder.close();
}

WmfFile placed(const Metafile& picture, int width = 100, int height = 100) {
    return readWmf(placeableMetafileBytes(picture, width, height, kTwipsPerInch).value());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(PlaceableMetafile, HeaderFieldsAndChecksum) {
    for (const int unitsPerInch : {kTwipsPerInch, kLargeViewUnitsPerInch}) {
        SCOPED_TRACE(unitsPerInch);
        const WmfFile f = readWmf(
            placeableMetafileBytes(MetafileRecorder().close(), 4300, 4200, unitsPerInch).value());
        EXPECT_TRUE(f.problems.empty()) << f.problems.front();
        EXPECT_EQ(f.key, 0x9AC6CDD7u);
        EXPECT_EQ(f.left, 0);
        EXPECT_EQ(f.top, 0);
        EXPECT_EQ(f.right, 4301);
        EXPECT_EQ(f.bottom, 4201);
        EXPECT_EQ(f.unitsPerInch, unitsPerInch);
        EXPECT_EQ(f.checksum, 0x5711 ^ 4301 ^ 4201 ^ unitsPerInch);
    }
}

TEST(PlaceableMetafile, SecondRecordingSetsExtentAndMappingThenPlays) {
    const Metafile picture = oneRecord([](MetafileRecorder& r) { r.rectangle(1, 2, 3, 4); });
    const WmfFile f = placed(picture, 4300, 4200);
    EXPECT_TRUE(f.problems.empty());
    EXPECT_EQ(f.type, 1);
    EXPECT_EQ(f.version, 0x0300);
    ASSERT_EQ(f.records.size(), 4u);
    EXPECT_EQ(f.records[0].function, wmf::kSetWindowExt);
    EXPECT_EQ(f.records[0].params, (std::vector<std::uint16_t>{4200, 4300}));  // y, then x
    EXPECT_EQ(f.records[1].function, wmf::kSetMapMode);
    EXPECT_EQ(f.records[1].params, (std::vector<std::uint16_t>{8}));
    EXPECT_EQ(f.records[2].function, wmf::kRectangle);
    EXPECT_EQ(f.records[3].function, wmf::kEof);
}

TEST(PlaceableMetafile, LargestSideIs32766Twips) {
    const Metafile picture = MetafileRecorder().close();
    EXPECT_EQ(placed(picture, 32766, 1).right, 32767);
    std::string error;
    EXPECT_FALSE(placeableMetafileBytes(picture, 32767, 100, kTwipsPerInch, &error));
    EXPECT_EQ(error, "The picture is too large for a metafile.");
    EXPECT_FALSE(placeableMetafileBytes(picture, 100, 32767, kTwipsPerInch));
}

TEST(PlaceableMetafile, WrittenFileIsTheBytesAndATooLargeOneIsNotWritten) {
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("tesral-wmf-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const Metafile picture = oneRecord([](MetafileRecorder& r) { r.ellipse(0, 0, 10, 10); });

    const auto good = dir / "a.wmf";
    EXPECT_FALSE(writePlaceableMetafile(good.string(), picture, 4300, 4200, kTwipsPerInch));
    EXPECT_EQ(readFile(good), placeableMetafileBytes(picture, 4300, 4200, kTwipsPerInch).value());

    const auto large = dir / "large.wmf";
    EXPECT_EQ(writePlaceableMetafile(large.string(), picture, 40000, 100, kTwipsPerInch),
              "The picture is too large for a metafile.");
    EXPECT_FALSE(std::filesystem::exists(large));
    std::filesystem::remove_all(dir);
}

TEST(MetafileRecorder, RecordLayouts) {
    struct Case {
        const char* name;
        std::function<void(MetafileRecorder&)> draw;
        std::uint16_t function;
        std::vector<std::uint16_t> params;
    };
    const std::vector<Case> cases = {
        {"rectangle: bottom, right, top, left",
         [](auto& r) { r.rectangle(1, 2, 3, 4); },
         wmf::kRectangle,
         {4, 3, 2, 1}},
        {"ellipse: bottom, right, top, left",
         [](auto& r) { r.ellipse(-1, 2, 3, 4); },
         wmf::kEllipse,
         {4, 3, 2, 0xffff}},
        {"clip rectangle: bottom, right, top, left",
         [](auto& r) { r.intersectClipRect(0, 0, 3001, 1501); },
         wmf::kIntersectClipRect,
         {1501, 3001, 0, 0}},
        {"coordinates clamp to 16 bits",
         [](auto& r) { r.ellipse(-40000, 0, 40000, 0); },
         wmf::kEllipse,
         {0, 32767, 0, 0x8000}},
        {"text of odd length: count, padded bytes, y, x",
         [](auto& r) { r.textOut(7, 9, "1-2"); },
         wmf::kTextOut,
         {3, 0x2d31, 0x0032, 9, 7}},
        {"text colour",
         [](auto& r) { r.setTextColor(colorRef(1, 2, 3)); },
         wmf::kSetTextColor,
         {0x0201, 0x0003}},
        {"window extent: y, x",
         [](auto& r) { r.setWindowExt(300, 200); },
         wmf::kSetWindowExt,
         {200, 300}},
        {"pen: style, width point, colour",
         [](auto& r) { r.createPen(PenStyle::Solid, 15, colorRef(0x10, 0x20, 0x30)); },
         wmf::kCreatePen,
         {0, 15, 0, 0x2010, 0x0030}},
        {"brush: style, colour, hatch",
         [](auto& r) { r.createBrush(BrushStyle::Solid, colorRef(255, 0, 0)); },
         wmf::kCreateBrush,
         {0, 0x00ff, 0x0000, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WmfFile f = placed(oneRecord(c.draw));
        EXPECT_TRUE(f.problems.empty());
        ASSERT_EQ(f.records.size(), 4u);
        EXPECT_EQ(f.records[2].function, c.function);
        EXPECT_EQ(f.records[2].params, c.params);
    }
}

TEST(MetafileRecorder, CreatedObjectTakesLowestFreeSlot) {
    MetafileRecorder r;
    const MetaObject a = r.createBrush(BrushStyle::Solid, 0);
    const MetaObject b = r.createBrush(BrushStyle::Solid, 1);
    const MetaObject c = r.createBrush(BrushStyle::Solid, 2);
    r.deleteObject(b);
    const MetaObject d = r.createBrush(BrushStyle::Solid, 3);
    EXPECT_EQ(std::vector<int>({a.slot, b.slot, c.slot, d.slot}), std::vector<int>({0, 1, 2, 1}));
    r.deleteObject(a);
    r.deleteObject(c);
    r.deleteObject(d);
    EXPECT_EQ(r.createBrush(BrushStyle::Solid, 4).slot, 0);
    // A deleted object is no longer in the table: naming it records nothing.
    r.deleteObject(b);
    r.selectObject(c);
    const Metafile picture = r.close();
    EXPECT_EQ(picture.objectCount(), 3);
    EXPECT_TRUE(placed(picture).problems.empty());
}

TEST(MetafileRecorder, PlayedObjectsTakeSlotsOfTheTarget) {
    MetafileRecorder inner;
    const MetaObject pen = inner.createPen(PenStyle::Solid, 1, 0);
    const MetaObject brush = inner.createBrush(BrushStyle::Solid, 0);
    inner.selectObject(brush);
    inner.deleteObject(pen);
    inner.selectObject(inner.createFont(makeLogFont("Arial", 8, 15)));  // takes slot 0 again
    const Metafile picture = inner.close();

    MetafileRecorder outer;
    outer.createBrush(BrushStyle::Solid, 0);  // slot 0 is taken here
    outer.play(picture);
    const Metafile both = outer.close();
    EXPECT_EQ(both.objectCount(), 3);
    const WmfFile f = readWmf(placeableHeader(10, 10, kTwipsPerInch) + both.bits());
    EXPECT_TRUE(f.problems.empty()) << f.problems.front();
    std::vector<int> named;
    for (const WmfRecord& rec : f.records)
        if (rec.function == wmf::kSelectObject || rec.function == wmf::kDeleteObject)
            named.push_back(rec.slot);
    // Brush in slot 2 selected, pen in slot 1 deleted, the font then in slot 1 selected.
    EXPECT_EQ(named, std::vector<int>({2, 1, 1}));
}

TEST(MakeLogFont, HeightIsNearestTwipsWithHalvesToEven) {
    struct Case {
        double size, twipsPerPixel;
        int height;
    };
    for (const Case c : {Case{8, 15, -120}, Case{8, 12, -96}, Case{2.5, 1, -2}, Case{3.5, 1, -4},
                         Case{0.3, 15, -4}}) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(makeLogFont("Arial", c.size, c.twipsPerPixel).height, c.height);
    }
}

TEST(MakeLogFont, FaceNameEndsInZeroWithinTheFieldOtherFieldsZero) {
    const LogFont shortName = makeLogFont("Arial", 8, 15);
    EXPECT_STREQ(shortName.faceName.data(), "Arial");
    EXPECT_EQ(std::tuple(shortName.width, shortName.weight, shortName.charSet),
              std::tuple(0, 0, 0));
    const LogFont cut = makeLogFont(std::string(40, 'x'), 8, 15);
    EXPECT_EQ(std::string(cut.faceName.data()), std::string(31, 'x'));
}

TEST(MetafileEllipse, BoundingBoxCornersRoundHalvesToEven) {
    struct Case {
        double x, y, r;
        std::vector<std::uint16_t> params;  // bottom, right, top, left
    };
    const std::vector<Case> cases = {
        {100, 200, 60, {260, 160, 140, 40}},
        {100, 200, 2.5, {202, 102, 198, 98}},  // 97.5 -> 98, 102.5 -> 102
        {10.5, 11.5, 0, {12, 10, 12, 10}},
        {0.4, 0.6, 0, {1, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        const WmfFile f =
            placed(oneRecord([&](MetafileRecorder& r) { metafileEllipse(r, c.x, c.y, c.r); }));
        ASSERT_EQ(f.records.size(), 4u);
        EXPECT_EQ(f.records[2].params, c.params);
    }
}
