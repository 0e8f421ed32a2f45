// The clipboard's pictures of a plot: one drawing as metafile and bitmap, and the same plot as
// SVG.

#include <QSvgRenderer>
#include <QTest>

#include "plot_fixtures.h"
#include "plots/clipboard_pictures.h"
#include "plots/image_canvas.h"
#include "plots/plot_drawing.h"
#include "wmf_reader.h"

using namespace tesral;
using namespace tesral::test;

class ClipboardPicturesTest : public QObject {
    Q_OBJECT

  private slots:
    void threeFormsOfOneDrawing_data();
    void threeFormsOfOneDrawing();
    void metafileTooLargeKeepsTheOthers();

  private:
    static PlotState state() {
        return makeState({{{1, 0, 0, 0, 0}, 0.0f, 0.0f, 0.0f, 10.0f, 0.1f, 1, false},
                          {{0, 1, 0, 0, 0}, 1.0f, -0.5f, 0.5f, 20.0f, 0.5f, 2, true},
                          {{0, 0, 1, 0, 1}, 0.5f, 0.5f, 1.5f, 15.0f, 0.3f, 1, false}},
                         makeStatistics(2.0f, 30.0f, 0.5f, 2.0f));
    }
};

Q_DECLARE_METATYPE(tesral::PlotKind)

void ClipboardPicturesTest::threeFormsOfOneDrawing_data() {
    QTest::addColumn<PlotKind>("kind");
    QTest::addColumn<int>("unitsPerInch");
    QTest::addColumn<qreal>("pixelRatio");
    QTest::newRow("2D, plot box") << PlotKind::ZeroLayer << kTwipsPerInch << 1.0;
    QTest::newRow("3D, large view, high density")
        << PlotKind::ThreeD << kLargeViewUnitsPerInch << 2.0;
}

void ClipboardPicturesTest::threeFormsOfOneDrawing() {
    QFETCH(PlotKind, kind);
    QFETCH(int, unitsPerInch);
    QFETCH(qreal, pixelRatio);
    const PlotState plot = state();
    const ClipboardTarget where{makeTarget(), QSize(200, 100), pixelRatio, 15, unitsPerInch};
    const auto pictures = clipboardPictures(kind, plot.data(), plot.options, where);
    QVERIFY(pictures);

    const WmfFile wmf = readWmf(std::string_view(pictures->wmf.constData(), pictures->wmf.size()));
    QVERIFY2(wmf.problems.empty(), wmf.problems.empty() ? "" : wmf.problems[0].c_str());
    QCOMPARE(int{wmf.unitsPerInch}, unitsPerInch);
    QCOMPARE(wmf.right, std::int16_t{3001});
    QVERIFY(!wmf.all(wmf::kEllipse).empty());

    QVERIFY(QSvgRenderer(pictures->svg).isValid());

    // The bitmap is the screen's drawing of the same plot.
    QImage screen = ImageCanvas::makeImage(where.size, pixelRatio);
    ImageCanvas canvas(screen, where.target.twipsPerPixelX);
    QVERIFY(drawPlot(kind, plot.data(), plot.options, where.target, canvas));
    QCOMPARE(pictures->bitmap.size(), QSize(200, 100) * pixelRatio);
    QCOMPARE(pictures->bitmap, screen);
}

void ClipboardPicturesTest::metafileTooLargeKeepsTheOthers() {
    const PlotState plot = state();
    ClipboardTarget where{makeTarget(), QSize(3000, 100)};
    where.target.width = 45000;  // twips: beyond what a metafile header can hold
    const auto pictures = clipboardPictures(PlotKind::ZeroLayer, plot.data(), plot.options, where);
    QVERIFY(pictures);
    QVERIFY(pictures->wmf.isEmpty());
    QCOMPARE(pictures->wmfError.isEmpty(), false);
    QVERIFY(!pictures->svg.isEmpty());
    QVERIFY(!pictures->bitmap.isNull());
}

QTEST_MAIN(ClipboardPicturesTest)
#include "clipboard_pictures_test.moc"
