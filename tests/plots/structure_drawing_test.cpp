#include <QGuiApplication>
#include <QTest>
#include <cmath>

#include "plots/picture_settings.h"
#include "plots/recording_canvas.h"
#include "plots/structure_drawing.h"

using namespace tesral;

class StructureDrawingTest : public QObject {
    Q_OBJECT

  private slots:
    // A 3 x 3 square of Al (site 0, 2 A apart) with Ni (site 1) at the centres, in the layer
    // z = 0, and one Al atom 3 A above it that the 1 A slab leaves out.
    void slabDiscsLegendAndEdges() {
        std::vector<StructureDrawingAtom> atoms;
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j) atoms.push_back({{2.0 * i, 2.0 * j, 0.0}, 0});
        atoms.push_back({{1.0, 1.0, 0.1}, 1});
        atoms.push_back({{-1.0, -1.0, -0.1}, 1});
        atoms.push_back({{0.3, 0.0, 3.0}, 0});
        StructureDrawingData data;
        data.atoms = atoms;
        data.siteElements = {QStringLiteral("Al"), QStringLiteral("Ni")};
        data.thickness = 1.0;
        data.edges = true;

        PictureSettings settings;
        settings.size = QSize(800, 400);  // the legend and the bar beside the atoms
        settings.font = defaultPlotFont();
        const PlotTarget t = pictureTarget(settings);
        RecordingCanvas canvas;
        QVERIFY(drawStructure(data, t, canvas));

        // 11 atoms in the slab plus two legend discs, in two colours.
        const auto discs = canvas.items(RecordingCanvas::Kind::Circle);
        QCOMPARE(discs.size(), std::size_t{13});
        QSet<QRgb> fills;
        for (const auto& d : discs) fills.insert(d.fill);
        QCOMPARE(fills.size(), 2);
        QVERIFY(fills.contains(elementColour(QStringLiteral("Al"))));

        // The Al square's 12 edges, none between Ni atoms (2.83 A apart, their shortest) other
        // than their one pair; the segments are all one edge long on the picture.
        const auto edges = tileEdges(slabPoints(data));
        QCOMPARE(edges.size(), std::size_t{13});
        const auto lines = canvas.items(RecordingCanvas::Kind::Polyline);
        QCOMPARE(lines.size(), std::size_t{14});  // the edges and the scale bar
        const auto length = [](const RecordingCanvas::Item& l) {
            return std::hypot(l.points[1].x() - l.points[0].x(), l.points[1].y() - l.points[0].y());
        };
        const double alEdge = length(lines[0]);
        int alEdges = 0;
        for (size_t k = 0; k + 1 < lines.size(); ++k)
            if (std::abs(length(lines[k]) - alEdge) < 1e-6 * alEdge) ++alEdges;
        QCOMPARE(alEdges, 12);

        QStringList texts;
        for (const auto& item : canvas.items(RecordingCanvas::Kind::Text)) texts << item.text;
        QVERIFY(texts.contains(QStringLiteral("Al")));
        QVERIFY(texts.contains(QStringLiteral("Ni")));
        QVERIFY(texts.contains(QStringLiteral("1 \u00c5")));

        data.height = 10.0;
        QVERIFY(!drawStructure(data, t, canvas));
    }

    // Zoomed in on a square picture, atoms reach the corners: none covers the legend or the
    // scale bar.
    void atomsLeaveTheLegendAndTheBarClear() {
        std::vector<StructureDrawingAtom> atoms;
        for (int i = -10; i <= 10; ++i)
            for (int j = -10; j <= 10; ++j) atoms.push_back({{1.0 * i, 1.0 * j, 0.0}, (i + j) & 1});
        StructureDrawingData data;
        data.atoms = atoms;
        data.siteElements = {QStringLiteral("Al"), QStringLiteral("Ni")};
        data.halfWidth = 4.0;
        PictureSettings settings;
        settings.size = QSize(400, 400);
        settings.font = defaultPlotFont();
        const PlotTarget t = pictureTarget(settings);
        RecordingCanvas canvas;
        QVERIFY(drawStructure(data, t, canvas));
        const auto bar = canvas.items(RecordingCanvas::Kind::Polyline).back().points;
        std::vector<QPointF> marks{bar[0], bar[1]};
        for (const auto& text : canvas.items(RecordingCanvas::Kind::Text))
            marks.emplace_back(text.x, text.y);
        const auto discs = canvas.items(RecordingCanvas::Kind::Circle);
        QVERIFY(discs.size() > 50);
        const double atomR = discs.front().r;
        for (const auto& disc : discs) {
            if (disc.r < atomR) continue;  // the legend's own
            for (const QPointF& m : marks)
                QVERIFY(std::hypot(disc.x - m.x(), disc.y - m.y()) > disc.r);
        }
    }
};

QTEST_MAIN(StructureDrawingTest)
#include "structure_drawing_test.moc"
