// Pictures written by tesral-cli plot2d / plot3d for the default decagonal run.

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>

#include "app/plot_view.h"
#include "engine/generation.h"
#include "engine/projected_points.h"
#include "plots/plot_picture.h"
#include "plots/rotation.h"
#include "wmf_reader.h"

using namespace tesral;

namespace {

const QStringList kRun = {"--system", "decagonal",    "--group-index",
                          "13",       "--wavelength", "0.7106867"};

RunResult defaultRun() {
    RunInputs inputs;  // the same decagonal run as kRun
    return runGeneration(inputs);
}

QRgb pixel(const QImage& image, double x, double y) {
    return image.pixel(static_cast<int>(x), static_cast<int>(y)) | 0xff000000u;
}

/** Radius in pixels of a spot at the default options (size ~ 1/qi, slider 10, zoom 1). */
double radiusPixels(const ReflectionRecord& r, const TableStatistics& st) {
    const float qi = r.qi() == 0.0f ? st.minPositiveQi : r.qi();
    return (1.0 / std::fabs(qi)) / 2.0 + 1.0;
}

}  // namespace

class PlotCliTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void zeroLayerPicture();
    void threeDPicture();
    void turnedPictureMatchesTheWindow();
    void labelledPictureMatchesTheWindow();
    void svgPicture();
    void metafileAndPrintedPage();
    void mistakes_data();
    void mistakes();

  private:
    /** Runs the tool; returns its exit status. */
    int run(const QStringList& args, QString* errors = nullptr);
    QImage written(const QString& command, const QStringList& extra, const QString& file);

    QString cli_;
    QTemporaryDir dir_;
    RunResult result_;

    /** The window's results after the default run, with the options of its plot boxes. */
    struct WindowPlots {
        Session session;
        PlotOptions options;
    };
    void showRun(WindowPlots& window) const {
        window.session.publish(result_, projectedPointsOf(result_.table));
    }
};

void PlotCliTest::initTestCase() {
    cli_ = qEnvironmentVariable("TESRAL_CLI");
    QVERIFY2(QFile::exists(cli_), "TESRAL_CLI must name the tesral-cli program");
    QVERIFY(dir_.isValid());
    result_ = defaultRun();
    QCOMPARE(result_.status, RunStatus::Completed);
    QVERIFY(result_.table.size() > 1000);
}

int PlotCliTest::run(const QStringList& args, QString* errors) {
    QProcess process;
    process.start(cli_, args);
    if (!process.waitForFinished(60000)) return -1;
    if (errors) *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return process.exitCode();
}

QImage PlotCliTest::written(const QString& command, const QStringList& extra, const QString& file) {
    const QString path = dir_.filePath(file);
    QString errors;
    const int status =
        run(QStringList{command} + kRun + extra + QStringList{"--output", path}, &errors);
    if (status != 0) qWarning("%s", qPrintable(errors));
    return QImage(path);
}

void PlotCliTest::zeroLayerPicture() {
    const QImage image = written("plot2d", {"--size", "800x600"}, "zero.png");
    QCOMPARE(image.size(), QSize(800, 600));
    const TableStatistics& st = result_.statistics;
    // Isotropic: 400 pixels per maxZeroLayerX about the centre (400, 300).
    const double s = 400.0 / st.maxZeroLayerX;
    int bigSpots = 0;
    for (const ReflectionRecord& r : result_.table) {
        if (r.h(4) != 0.0f || radiusPixels(r, st) < 3.0) continue;
        const double px = s * r.x() + 400, py = s * r.y() + 300;
        if (px < 0 || px >= 800 || py < 0 || py >= 600) continue;
        ++bigSpots;
        QCOMPARE(pixel(image, px, py), qRgb(255, 255, 255));
        // Tenfold: the spot turned by 36 degrees about the centre is a spot too.
        const double a = qDegreesToRadians(36.0);
        const double tx = (px - 400) * std::cos(a) - (py - 300) * std::sin(a) + 400;
        const double ty = (px - 400) * std::sin(a) + (py - 300) * std::cos(a) + 300;
        if (tx >= 0 && tx < 800 && ty >= 0 && ty < 600) QVERIFY(qRed(pixel(image, tx, ty)) > 200);
    }
    QVERIFY(bigSpots >= 10);
    // The origin is never a reflection; the corners stay background.
    QCOMPARE(pixel(image, 400, 300), qRgb(0, 0, 0));
    QCOMPARE(pixel(image, 2, 598), qRgb(0, 0, 0));

    const QImage white =
        written("plot2d", {"--size", "800x600", "--background", "white"}, "white.bmp");
    QCOMPARE(pixel(white, 400, 300), qRgb(255, 255, 255));
    for (const ReflectionRecord& r : result_.table) {
        const double px = s * r.x() + 400, py = s * r.y() + 300;
        if (r.h(4) == 0.0f && radiusPixels(r, st) >= 3.0 && px >= 0 && px < 800 && py >= 0 &&
            py < 600) {
            QCOMPARE(pixel(white, px, py), qRgb(0, 0, 0));
            break;
        }
    }
}

void PlotCliTest::threeDPicture() {
    const QImage image = written("plot3d", {}, "three.png");
    QCOMPARE(image.size(), QSize(800, 800));
    const TableStatistics& st = result_.statistics;
    const double scale = 400.0 / std::max({st.maxX, st.maxY, st.maxZ}) * 0.9;
    // Looking along x: y to the right, z downward; later rows are painted over earlier ones.
    // Take the last painted spot of at least 2 pixels that no later spot covers.
    const auto& table = result_.table;
    bool checked = false;
    for (std::size_t i = table.size(); i-- > 0 && !checked;) {
        const double px = scale * table[i].y() + 400, py = scale * table[i].z() + 400;
        if (radiusPixels(table[i], st) < 2.0) continue;
        bool covered = false;
        for (std::size_t j = i + 1; j < table.size() && !covered; ++j)
            covered = std::hypot(scale * table[j].y() + 400 - px, scale * table[j].z() + 400 - py) <
                      radiusPixels(table[j], st) + 1.5;
        if (covered) continue;
        QCOMPARE(pixel(image, px, py), qRgb(255, 255, 255));
        checked = true;
    }
    QVERIFY(checked);
    QCOMPARE(pixel(image, 400, 40), qRgb(0, 0, 0));
    QCOMPARE(pixel(image, 5, 5), qRgb(0, 0, 0));
}

void PlotCliTest::turnedPictureMatchesTheWindow() {
    const QImage image = written(
        "plot3d", {"--size", "500x400", "--rotate", "2:30", "--rotate", "3:-15"}, "turned.png");

    WindowPlots state;
    showRun(state);
    // Six up-arrow presses and three left-arrow presses turn the same way.
    PlotView pb3D(state.session, state.options, PlotKind::ThreeD);
    pb3D.resize(500, 400);
    for (int i = 0; i < 6; ++i) QTest::keyClick(&pb3D, Qt::Key_Up);
    for (int i = 0; i < 3; ++i) QTest::keyClick(&pb3D, Qt::Key_Left);
    QVERIFY(pb3D.redraw());
    const QImage window = pb3D.picture().convertToFormat(image.format());
    // Five-degree steps and one 30-degree turn differ only in rounding.
    int differing = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            differing += std::abs(qRed(image.pixel(x, y)) - qRed(window.pixel(x, y))) > 64;
    QVERIFY2(differing < image.width() * image.height() / 1000,
             qPrintable(QString::number(differing)));

    // With the same single turns, the window's picture is the file's, pixel for pixel.
    WindowPlots same;
    showRun(same);
    ProjectedPoints& points = same.session.points();
    Rotate(std::span<ProjectedPoint>(points), 2, 30.0f);
    sortByDepth(points);
    Rotate(std::span<ProjectedPoint>(points), 3, -15.0f);
    sortByDepth(points);
    PlotView view(same.session, same.options, PlotKind::ThreeD);
    view.resize(500, 400);
    QVERIFY(view.redraw());
    QCOMPARE(view.picture().convertToFormat(image.format()), image);
}

void PlotCliTest::labelledPictureMatchesTheWindow() {
    const QImage image = written("plot2d",
                                 {"--size", "600x500", "--indices", "--no-size-by-qi", "--zoom",
                                  "2", "--colour", "theta", "--highlight-main"},
                                 "labels.png");
    WindowPlots state;
    showRun(state);
    state.options.showIndices = true;
    state.options.sizeByInverseQi = false;
    state.options.zoom2D = 2.0f;
    state.options.colourByTheta = true;
    state.options.highlightMainSpots = true;
    PlotView pb2D(state.session, state.options, PlotKind::ZeroLayer);
    pb2D.resize(600, 500);
    QVERIFY(pb2D.redraw());
    QCOMPARE(pb2D.picture().convertToFormat(image.format()), image);
}

void PlotCliTest::svgPicture() {
    const QString path = dir_.filePath("zero.svg");
    QCOMPARE(run(QStringList{"plot2d"} + kRun + QStringList{"--size", "400x400", "--output", path}),
             0);
    QSvgRenderer svg(path);
    QVERIFY(svg.isValid());
    QCOMPARE(svg.viewBox(), QRect(0, 0, 400, 400));
    QImage image(400, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    const TableStatistics& st = result_.statistics;
    for (const ReflectionRecord& r : result_.table) {
        if (r.h(4) != 0.0f || radiusPixels(r, st) < 3.0) continue;
        const double px = 200.0 / st.maxZeroLayerX * r.x() + 200;
        const double py = 200.0 / st.maxZeroLayerX * r.y() + 200;
        if (px >= 0 && px < 400 && py >= 0 && py < 400)
            QCOMPARE(pixel(image, px, py), qRgb(255, 255, 255));
    }
    QCOMPARE(pixel(image, 200, 200), qRgb(0, 0, 0));
}

void PlotCliTest::mistakes_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("no output") << QStringList{"plot2d"} << 2;
    QTest::newRow("unknown extension") << QStringList{"plot2d", "--output", "x.gif"} << 2;
    QTest::newRow("bad size") << QStringList{"plot2d", "--output", "x.png", "--size", "80"} << 2;
    QTest::newRow("bad background")
        << QStringList{"plot3d", "--output", "x.png", "--background", "red"} << 2;
    QTest::newRow("slider beyond 40")
        << QStringList{"plot2d", "--output", "x.png", "--spots", "41"} << 2;
    QTest::newRow("zero zoom") << QStringList{"plot2d", "--output", "x.png", "--zoom", "0"} << 2;
    QTest::newRow("zoom 0 in single precision")
        << QStringList{"plot2d", "--output", "x.png", "--zoom", "1e-50"} << 2;
    QTest::newRow("turn infinite in single precision")
        << QStringList{"plot3d", "--output", "x.png", "--rotate", "3:1e39"} << 2;
    QTest::newRow("axis 4") << QStringList{"plot3d", "--output", "x.png", "--rotate", "4:5"} << 2;
    QTest::newRow("2D does not turn")
        << QStringList{"plot2d", "--output", "x.png", "--rotate", "3:5"} << 2;
    // Theta window without reflections: nothing to scale by.
    QTest::newRow("nothing to draw")
        << QStringList{"plot2d", "--output", "empty.png", "--thmin", "89", "--thmax", "89.5"} << 1;
}

void PlotCliTest::mistakes() {
    QFETCH(QStringList, args);
    QStringList inDir;
    for (const QString& a : args) inDir << (a.contains('.') && a.size() > 4 ? dir_.filePath(a) : a);
    QString errors;
    QTEST(run(inDir, &errors), "status");
    QVERIFY(!errors.isEmpty());
    QVERIFY(!QFile::exists(dir_.filePath("empty.png")));
}

void PlotCliTest::metafileAndPrintedPage() {
    // The metafile: a sound placeable file of the picture's size in twips, one ellipse per
    // zero-layer spot inside the picture.
    const QString wmf = dir_.filePath("zero.wmf");
    QCOMPARE(run(QStringList{"plot2d"} + kRun + QStringList{"--size", "400x400", "--output", wmf}),
             0);
    QFile file(wmf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const test::WmfFile read = test::readWmf(std::string_view(bytes.constData(), bytes.size()));
    QVERIFY(read.problems.empty());
    QCOMPARE(read.right, std::int16_t{400 * 15 + 1});
    QCOMPARE(read.unitsPerInch, std::uint16_t{1440});
    QVERIFY(!read.all(test::wmf::kEllipse).empty());
    // The printed page as a PDF document.
    const QString pdf = dir_.filePath("page.pdf");
    QCOMPARE(run(QStringList{"plot3d"} + kRun + QStringList{"--output", pdf}), 0);
    QFile page(pdf);
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.read(5) == "%PDF-");
}

QTEST_MAIN(PlotCliTest)
#include "plot_cli_test.moc"
