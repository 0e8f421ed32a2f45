// The structure window: a decagonal model's layer drawn off the user-interface thread, coloured
// by element, and its picture saved through the shared picture commands.

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "app/main_window.h"
#include "app/structure_view.h"
#include "app/structure_window.h"
#include "physics/model_file.h"
#include "plots/picture_settings.h"
#include "plots/recording_canvas.h"
#include "view_fixture.h"

using namespace tesral;

namespace {

/** d-AlCuCo in the Steurer basis: Co, Cu and Al atoms in each of its two layers. */
void showAlCuCo(ViewFixture& f) {
    RunInputs in;
    in.system = QuasicrystalSystem::Decagonal;
    in.convention = MatrixConvention::Steurer;
    in.a = "3.7651";
    in.c = "4.1481";
    const physics::ModelLoad load =
        physics::loadModel(TESRAL_MODELS_DIR "/decagonal-alcuco.toml", in.system);
    QVERIFY(load.model);
    f.show(in, load.model);
}

/** The view's picture on a 500 x 500 target. */
PlotTarget targetOf(const StructureView& view) {
    PictureSettings settings = view.pictureSettings();
    settings.size = QSize(500, 500);
    return pictureTarget(settings);
}

RecordingCanvas recorded(const StructureView& view) {
    RecordingCanvas canvas;
    view.drawing().draw(targetOf(view), canvas);
    return canvas;
}

}  // namespace

class StructureWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void drawsOneLayerColouredByElement() {
        ViewFixture f;
        showAlCuCo(f);
        StructureWindow window(f.context);
        window.findChild<QLineEdit*>(QStringLiteral("tfStructureRadius"))->setText("20");
        QVERIFY(window.drawSlab());
        QVERIFY(window.computing());  // the patch is made on a worker
        QVERIFY(window.waitForSlab());
        const StructureSlab* slab = window.view()->slab();
        QVERIFY2(slab && slab->atoms.size() > 100, qPrintable(window.statusText()));
        // One layer, the nearest atom's: the layers lie at z = c/4 and -c/4.
        const double layer = slab->atoms.front().position[2];
        QVERIFY(std::abs(std::abs(layer) - 4.1481 / 4) < 1e-6);
        for (const StructureDrawingAtom& atom : slab->atoms)
            QVERIFY(std::abs(atom.position[2] - layer) < 1e-6);
        QSet<QRgb> fills;
        for (const auto& disc : recorded(*window.view()).items(RecordingCanvas::Kind::Circle))
            fills.insert(disc.fill);
        QVERIFY(fills.contains(elementColour(QStringLiteral("Al"))));
        QVERIFY(fills.contains(elementColour(QStringLiteral("Co"))));

        const QString path = f.folder.filePath(QStringLiteral("structure.svg"));
        QCOMPARE(window.view()->savePicture(path), QString());
        QVERIFY(QFile::exists(path));
    }

    // The Penrose tiling of a = 2.45 A (four sites, one per pentagon): every segment drawn,
    // measured by the scale bar, is its edge 2a/sqrt 5, and the vertices inside have four
    // edges on average, as in any tiling by rhombi (each face has four edges, each edge two
    // faces, so E = 2V).
    void tileEdgesAreThePenroseTilingsEdges() {
        ViewFixture f;
        RunInputs in;
        in.a = std::string("2.45");
        in.c = std::string("6");
        const physics::ModelLoad load =
            physics::loadModel(TESRAL_MODELS_DIR "/decagonal-penrose.toml", in.system);
        QVERIFY(load.model);
        f.show(in, load.model);
        StructureWindow window(f.context);
        window.findChild<QLineEdit*>(QStringLiteral("tfStructureRadius"))->setText("25");
        window.findChild<QCheckBox*>(QStringLiteral("chkStructureEdges"))->setChecked(true);
        QVERIFY(window.drawSlab() && window.waitForSlab());
        const RecordingCanvas canvas = recorded(*window.view());
        auto lines = canvas.items(RecordingCanvas::Kind::Polyline);
        const auto length = [](const QPointF& a, const QPointF& b) {
            return std::hypot(b.x() - a.x(), b.y() - a.y());
        };
        double bar = 0;  // angstrom
        for (const auto& text : canvas.items(RecordingCanvas::Kind::Text))
            if (text.text.endsWith(QStringLiteral(" \u00c5")))
                bar = text.text.split(' ')[0].toDouble();
        const double perTwip = bar / length(lines.back().points[0], lines.back().points[1]);
        lines.pop_back();
        QVERIFY(lines.size() > 500);
        const double edge = 2 * 2.45 / std::sqrt(5.0);
        std::map<std::pair<long, long>, int> degree;
        for (const auto& line : lines) {
            QVERIFY(std::abs(length(line.points[0], line.points[1]) * perTwip - edge) <
                    1e-3 * edge);
            for (const QPointF& end : line.points)
                ++degree[{std::lround(end.x()), std::lround(end.y())}];
        }
        // The origin is the picture's middle; the vertices within 12 A of it.
        const PlotTarget t = targetOf(*window.view());
        const QPointF middle(0.5 * t.width, 0.5 * t.height);
        int vertices = 0, ends = 0;
        for (const auto& [at, count] : degree)
            if (length(QPointF(at.first, at.second), middle) * perTwip < 12.0)
                ++vertices, ends += count;
        QVERIFY(vertices > 80);
        QVERIFY2(std::abs(double(ends) / vertices - 4.0) < 0.3,
                 qPrintable(QString::number(double(ends) / vertices)));
    }

    // Escape stops a patch of some 35 million atoms (seconds of work) at once; the picture
    // before stays.
    void escapeStopsALongPatch() {
        ViewFixture f;
        showAlCuCo(f);
        StructureWindow window(f.context);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* radius = window.findChild<QLineEdit*>(QStringLiteral("tfStructureRadius"));
        radius->setText("10");
        QVERIFY(window.drawSlab() && window.waitForSlab());
        const StructureSlab* before = window.view()->slab();
        radius->setText("500");
        QVERIFY(window.drawSlab() && window.computing());
        QTest::qWait(100);
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.waitForSlab(1500));
        QVERIFY2(window.statusText().startsWith(QStringLiteral("Stopped")),
                 qPrintable(window.statusText()));
        QCOMPARE(window.view()->slab(), before);
    }

    // View > Structure... opens the window (once), which asks for a run first.
    void theViewMenuOpensIt() {
        QTemporaryDir folder;
        MainWindow main(folder.path());
        auto* item = main.findChild<QAction*>(QStringLiteral("mnuViewStructure"));
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("Structure..."));
        item->trigger();
        item->trigger();
        QCOMPARE(main.findChildren<StructureWindow*>().size(), 1);
        StructureWindow* window = main.findChild<StructureWindow*>();
        QVERIFY(window->isVisible());
        QVERIFY(window->statusText().contains(QStringLiteral("F5")));
    }
};

QTEST_MAIN(StructureWindowTest)
#include "structure_window_test.moc"
