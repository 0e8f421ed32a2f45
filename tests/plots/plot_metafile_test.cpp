// Plots recorded as metafiles: every spot and label, in the colours the screen shows them.

#include <QTest>
#include <cmath>

#include "engine/number_reader.h"
#include "plot_fixtures.h"
#include "plots/metafile_canvas.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_drawing.h"
#include "plots/plot_metafile.h"
#include "plots/recording_canvas.h"
#include "plots/tee_canvas.h"
#include "wmf_reader.h"

using namespace tesral;
using namespace tesral::test;
using Kind = RecordingCanvas::Kind;

Q_DECLARE_METATYPE(tesral::PlotOptions)
Q_DECLARE_METATYPE(tesral::PlotKind)

namespace {

/**
 * Four zero-layer spots (one a main spot, one below the 2D picture) and one off the zero
 * layer, below the 3D picture. Direction classes: 1 along, 2 between, 0 elsewhere.
 */
PlotState smallRun(const PlotOptions& options) {
    PlotState state = makeState(
        {
            {{1, 0, 0, 0, 0}, 0.0f, 0.0f, 0.0f, 10.0f, 0.1f, 1, false},
            {{0, 1, 0, 0, 0}, 1.0f, -0.5f, 0.5f, 20.0f, 0.5f, 2, true},
            {{-1, 2, 0, 1, 0}, -2.0f, 0.5f, -1.0f, 30.0f, 0.2f, 0, false},
            {{0, 0, 1, 0, 1}, 0.5f, 0.5f, 1.5f, 15.0f, 0.3f, 1, false},
            {{0, 0, 0, 1, 0}, 0.5f, 2.0f, 0.0f, 12.0f, 0.4f, 0, false},
        },
        makeStatistics(2.0f, 30.0f, 0.5f, 2.0f));
    state.options = options;
    return state;
}

long gdi(QRgb c) {
    return qAlpha(c) == 0 ? -2 : static_cast<long>(qRed(c) | qGreen(c) << 8 | qBlue(c) << 16);
}

int nearest(double v) {
    return static_cast<int>(roundHalfEven(v));
}

/** Draws on a recording canvas and a metafile canvas at once; returns the file read back. */
WmfFile drawnBoth(PlotKind kind, const PlotState& state, const PlotTarget& target,
                  RecordingCanvas& screen) {
    MetafileCanvas metafile(target, 15);
    TeeCanvas both(screen, metafile);
    if (!drawPlot(kind, state.data(), state.options, target, both)) qWarning("drawing failed");
    QString error;
    const std::optional<QByteArray> bytes = finishPlotMetafile(metafile, kTwipsPerInch, &error);
    if (!bytes) qWarning("%s", qPrintable(error));
    return readWmf(bytes ? bytes->toStdString() : std::string());
}

PlotOptions withIndices() {
    PlotOptions o;
    o.sizeByInverseQi = false;  // 60-twip spots carry labels
    o.showIndices = true;
    return o;
}

}  // namespace

class PlotMetafileTest : public QObject {
    Q_OBJECT

  private slots:
    void everyCircleBecomesAnEllipse_data();
    void everyCircleBecomesAnEllipse();
    void startsWithFrameThenBackground();
    void labelsAsTextInBlue();
    void legendIsNotRecorded();
    void sameFillKeepsItsBrush();
    void renderedFileAndTooLargePicture();
};

void PlotMetafileTest::everyCircleBecomesAnEllipse_data() {
    QTest::addColumn<PlotKind>("kind");
    QTest::addColumn<PlotOptions>("options");
    QTest::addColumn<QRgb>("background");
    QTest::addColumn<int>("ellipses");

    PlotOptions highlights;
    highlights.highlightDirections = true;
    highlights.highlightMainSpots = true;
    PlotOptions unfilled;
    unfilled.filledSpots = false;
    unfilled.colourByTheta = true;
    PlotOptions grey;
    grey.colourByInverseQi = true;
    QTest::newRow("2D defaults") << PlotKind::ZeroLayer << PlotOptions{} << kBlack << 3;
    QTest::newRow("2D directions, main spot twice")
        << PlotKind::ZeroLayer << highlights << kBlack << 4;
    QTest::newRow("2D unfilled on white") << PlotKind::ZeroLayer << unfilled << kWhite << 3;
    QTest::newRow("3D grey by 1/qi") << PlotKind::ThreeD << grey << kBlack << 4;
    QTest::newRow("3D directions on white") << PlotKind::ThreeD << highlights << kWhite << 5;
}

void PlotMetafileTest::everyCircleBecomesAnEllipse() {
    QFETCH(PlotKind, kind);
    QFETCH(PlotOptions, options);
    QFETCH(QRgb, background);
    QFETCH(int, ellipses);
    RecordingCanvas screen;
    const WmfFile f = drawnBoth(kind, smallRun(options),
                                makeTarget(background, ~background | 0xff000000u), screen);
    QVERIFY2(f.problems.empty(), f.problems.empty() ? "" : f.problems.front().c_str());
    QCOMPARE(f.right, 3001);
    QCOMPARE(f.bottom, 1501);

    std::vector<WmfShape> drawn;
    for (const WmfShape& s : shapesOf(f))
        if (s.function == wmf::kEllipse) drawn.push_back(s);
    // The plot box clips; a spot wholly outside the picture is left out.
    std::vector<RecordingCanvas::Item> circles;
    for (const RecordingCanvas::Item& c : screen.items(Kind::Circle))
        if (c.x + c.r >= 0 && c.y + c.r >= 0 && c.x - c.r <= 3000 && c.y - c.r <= 1500)
            circles.push_back(c);
    QCOMPARE(int(drawn.size()), ellipses);
    QCOMPARE(drawn.size(), circles.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const RecordingCanvas::Item& c = circles[i];
        QCOMPARE(drawn[i].left, nearest(c.x - c.r));
        QCOMPARE(drawn[i].top, nearest(c.y - c.r));
        QCOMPARE(drawn[i].right, nearest(c.x + c.r));
        QCOMPARE(drawn[i].bottom, nearest(c.y + c.r));
        QCOMPARE(drawn[i].brush, gdi(c.fill));
        QCOMPARE(drawn[i].pen, gdi(c.outline));
        QCOMPARE(drawn[i].backgroundMode, 2);  // opaque: some readers fade fills otherwise
    }
}

void PlotMetafileTest::startsWithFrameThenBackground() {
    RecordingCanvas screen;
    const WmfFile f =
        drawnBoth(PlotKind::ZeroLayer, smallRun({}), makeTarget(kWhite, kBlack), screen);
    const std::vector<WmfShape> shapes = shapesOf(f);
    QVERIFY(shapes.size() >= 2);
    // The frame: a black pen, no brush selected yet (the reader's initial white one).
    QCOMPARE(shapes[0].function, wmf::kRectangle);
    QCOMPARE(std::vector<int>({shapes[0].left, shapes[0].top, shapes[0].right, shapes[0].bottom}),
             std::vector<int>({0, 0, 3000, 1500}));
    QCOMPARE(shapes[0].brush, -1L);
    QCOMPARE(shapes[0].pen, 0L);
    // The plot's clear: the whole picture in the background colour.
    QCOMPARE(shapes[1].function, wmf::kRectangle);
    QCOMPARE(shapes[1].right, 3000);
    QCOMPARE(shapes[1].brush, 0xffffffL);
    QCOMPARE(shapes[1].pen, 0xffffffL);
    // Pen 15 twips wide; the font 8 pixels of 15 twips high.
    const std::vector<WmfRecord> pens = f.all(wmf::kCreatePen);
    QCOMPARE(pens.front().params[1], std::uint16_t{15});
    const std::vector<WmfRecord> fonts = f.all(wmf::kCreateFont);
    QCOMPARE(fonts.size(), std::size_t{1});
    QCOMPARE(fonts.front().param(0), std::int16_t{-120});
}

void PlotMetafileTest::labelsAsTextInBlue() {
    RecordingCanvas screen;
    const WmfFile f = drawnBoth(PlotKind::ZeroLayer, smallRun(withIndices()), makeTarget(), screen);
    std::vector<WmfShape> texts;
    for (const WmfShape& s : shapesOf(f)) {
        if (s.function == wmf::kTextOut) texts.push_back(s);
        if (s.function == wmf::kEllipse) QCOMPARE(s.backgroundMode, 2);  // opaque again
    }
    const std::vector<RecordingCanvas::Item> labels = screen.items(Kind::Text);
    QCOMPARE(texts.size(), std::size_t{3});
    QCOMPARE(labels.size(), std::size_t{4});  // the last below the picture
    for (std::size_t i = 0; i < texts.size(); ++i) {
        QCOMPARE(QString::fromStdString(texts[i].text), labels[i].text);
        QCOMPARE(texts[i].left, nearest(labels[i].x));
        QCOMPARE(texts[i].top, nearest(labels[i].y));
        QCOMPARE(texts[i].textColour, 0xff0000L);  // RGB(0, 0, 255)
        QCOMPARE(texts[i].backgroundMode, 1);      // transparent: no box behind the label
    }
    QCOMPARE(texts[2].text, std::string("-12010"));
    QCOMPARE(f.all(wmf::kSetTextColor).size(), std::size_t{1});
}

void PlotMetafileTest::legendIsNotRecorded() {
    PlotOptions o = withIndices();
    o.highlightDirections = true;
    RecordingCanvas screen;
    const WmfFile f = drawnBoth(PlotKind::ThreeD, smallRun(o), makeTarget(), screen);
    QCOMPARE(screen.items(Kind::Text).size(), std::size_t{2});
    QVERIFY(f.all(wmf::kTextOut).empty());
}

void PlotMetafileTest::sameFillKeepsItsBrush() {
    // Defaults on black: every spot white, outlines black. Black brush and pen of the start,
    // reused by the clear; one white brush for all spots.
    RecordingCanvas screen;
    const WmfFile f = drawnBoth(PlotKind::ThreeD, smallRun({}), makeTarget(), screen);
    QCOMPARE(f.all(wmf::kCreateBrush).size(), std::size_t{2});
    QCOMPARE(f.all(wmf::kCreatePen).size(), std::size_t{1});
    QCOMPARE(f.all(wmf::kDeleteObject).size(), std::size_t{1});
    QCOMPARE(f.objects, std::uint16_t{4});  // font, pen, black brush, white brush
    const std::vector<WmfRecord> clips = f.all(wmf::kIntersectClipRect);
    QCOMPARE(clips.size(), std::size_t{1});
    QCOMPARE(clips.front().params, (std::vector<std::uint16_t>{1501, 3001, 0, 0}));
}

void PlotMetafileTest::renderedFileAndTooLargePicture() {
    const PlotState state = smallRun({});
    PictureSettings settings;
    settings.size = {200, 100};
    QString error;
    const std::optional<QByteArray> bytes = renderPlotMetafile(
        PlotKind::ZeroLayer, state.data(), state.options, settings, kLargeViewUnitsPerInch, &error);
    QVERIFY(bytes);
    const WmfFile f = readWmf(bytes->toStdString());
    QVERIFY(f.problems.empty());
    QCOMPARE(f.unitsPerInch, std::uint16_t{3000});
    QCOMPARE(f.all(wmf::kEllipse).size(), std::size_t{3});

    settings.size = {2185, 100};  // 32775 twips
    QVERIFY(!renderPlotMetafile(PlotKind::ZeroLayer, state.data(), state.options, settings,
                                kTwipsPerInch, &error));
    QCOMPARE(error, QStringLiteral("The picture is too large for a metafile."));
}

QTEST_MAIN(PlotMetafileTest)
#include "plot_metafile_test.moc"
