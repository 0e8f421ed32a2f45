// Our metafiles opened by an independent reader, wmf2svg of libwmf (Debian's libwmf-bin).
// Without it the test is skipped (exit code 77). The pictures stay in the working folder
// (metafile_reader/*.wmf, *.svg) to be looked at.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <cmath>
#include <cstdio>

#include "engine/generation.h"
#include "engine/projected_points.h"
#include "plot_fixtures.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_metafile.h"
#include "wmf_reader.h"

using namespace tesral;
using namespace tesral::test;

namespace {

QString readerPath() {
    return QStandardPaths::findExecutable(QStringLiteral("wmf2svg"));
}

/** Writes the file, converts it, and returns the SVG text (empty on failure). */
QString throughReader(const QByteArray& wmf, const QString& name) {
    QDir().mkpath(QStringLiteral("metafile_reader"));
    const QString in = QStringLiteral("metafile_reader/%1.wmf").arg(name);
    const QString out = QStringLiteral("metafile_reader/%1.svg").arg(name);
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly) || file.write(wmf) != wmf.size()) return {};
    file.close();
    QFile::remove(out);
    QProcess reader;
    reader.start(readerPath(), {QStringLiteral("-o"), out, in});
    if (!reader.waitForFinished(60000) || reader.exitStatus() != QProcess::NormalExit ||
        reader.exitCode() != 0) {
        qWarning("wmf2svg: %s", reader.readAllStandardError().constData());
        return {};
    }
    QFile svg(out);
    if (!svg.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(svg.readAll());
}

int ellipsesIn(const QString& svg) {
    return static_cast<int>(svg.count(QRegularExpression(QStringLiteral("<ellipse\\b"))));
}

}  // namespace

class MetafileReaderTest : public QObject {
    Q_OBJECT

  private slots:
    void smallTable();
    void defaultRun();
};

void MetafileReaderTest::smallTable() {
    PlotOptions options;
    options.sizeByInverseQi = false;
    options.showIndices = true;
    const PlotState state = makeState({{{1, 0, 0, 0, 0}, 0.0f, 0.0f},
                                       {{0, 1, 0, 0, 0}, 1.0f, -0.5f},
                                       {{-1, 2, 0, 1, 0}, -1.5f, 0.5f}},
                                      makeStatistics(2.0f, 30.0f, 0.5f, 2.0f));
    PictureSettings settings;
    settings.size = {200, 100};
    const std::optional<QByteArray> wmf =
        renderPlotMetafile(PlotKind::ZeroLayer, state.data(), options, settings, kTwipsPerInch);
    QVERIFY(wmf);
    // wmf2svg does not look at the checksum: our reader does.
    const WmfFile f = readWmf(wmf->toStdString());
    QVERIFY(f.problems.empty());
    const QString svg = throughReader(*wmf, QStringLiteral("small"));
    QVERIFY(!svg.isEmpty());
    QCOMPARE(ellipsesIn(svg), 3);
    QVERIFY(!svg.contains(QLatin1String("fill-opacity:0.5")));
    for (const char* label : {"10000", "01000", "-12010"})
        QVERIFY2(svg.contains(QLatin1String(label)), label);
}

void MetafileReaderTest::defaultRun() {
    const RunResult run = runGeneration(RunInputs{});
    QCOMPARE(run.status, RunStatus::Completed);
    const ProjectedPoints points = projectedPointsOf(run.table);
    const PlotData data{run.table, run.statistics, points, run.indexDimension};
    int zeroLayer = 0;
    for (const ReflectionRecord& r : run.table) zeroLayer += r.h(run.indexDimension - 1) == 0.0f;
    QVERIFY(zeroLayer > 10);

    PictureSettings settings;
    settings.size = {600, 600};
    for (const PlotKind kind : {PlotKind::ZeroLayer, PlotKind::ThreeD}) {
        const std::optional<QByteArray> wmf =
            renderPlotMetafile(kind, data, PlotOptions{}, settings, kTwipsPerInch);
        QVERIFY(wmf);
        const WmfFile f = readWmf(wmf->toStdString());
        QVERIFY(f.problems.empty());
        const bool flat = kind == PlotKind::ZeroLayer;
        const QString svg =
            throughReader(*wmf, flat ? QStringLiteral("default_2d") : QStringLiteral("default_3d"));
        QVERIFY(!svg.isEmpty());
        // Spots wholly outside the picture are left out.
        const int ellipses = ellipsesIn(svg);
        QCOMPARE(ellipses, static_cast<int>(f.all(wmf::kEllipse).size()));
        QVERIFY(ellipses > 100);
        QVERIFY(ellipses <= (flat ? zeroLayer : static_cast<int>(run.table.size())));
        // The background fills the whole square picture: nothing outside made the reader
        // squeeze it.
        const QRegularExpressionMatch background =
            QRegularExpression(QStringLiteral("<rect[^>]*width=\"([\\d.]+)\" height=\"([\\d.]+)\""))
                .match(svg);
        QVERIFY(background.hasMatch());
        QVERIFY(std::abs(background.captured(1).toDouble() / background.captured(2).toDouble() -
                         1) < 0.01);
    }
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (readerPath().isEmpty()) {
        std::puts("wmf2svg is not installed (Debian: libwmf-bin): skipped");
        return 77;
    }
    MetafileReaderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "metafile_reader_test.moc"
