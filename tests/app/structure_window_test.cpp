// The structure window: a decagonal model's layer drawn off the user-interface thread, coloured
// by element, and its picture saved through the shared picture commands.

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

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

RecordingCanvas recorded(const StructureView& view) {
    RecordingCanvas canvas;
    PictureSettings settings = view.pictureSettings();
    settings.size = QSize(500, 500);
    view.drawing().draw(pictureTarget(settings), canvas);
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

    // The Penrose tiling of a = 2.45 A (edge e = 2a/sqrt 5): its four sites' shortest distances
    // are the thick rhombus' short diagonal 2 e sin 36 (the large pentagons) and the thin one's
    // long diagonal 2 e sin 72 (the small); the segments drawn, measured by the scale bar, are
    // those.
    void tileEdgesJoinEachSitesNearestAtoms() {
        ViewFixture f;
        RunInputs in;
        in.a = std::string("2.45");
        in.c = std::string("6");
        const physics::ModelLoad load =
            physics::loadModel(TESRAL_MODELS_DIR "/decagonal-penrose.toml", in.system);
        QVERIFY(load.model);
        f.show(in, load.model);
        StructureWindow window(f.context);
        window.findChild<QLineEdit*>(QStringLiteral("tfStructureRadius"))->setText("15");
        window.findChild<QCheckBox*>(QStringLiteral("chkStructureEdges"))->setChecked(true);
        QVERIFY(window.drawSlab() && window.waitForSlab());
        const RecordingCanvas canvas = recorded(*window.view());
        auto lines = canvas.items(RecordingCanvas::Kind::Polyline);
        QVERIFY(lines.size() > 20);
        const auto length = [](const RecordingCanvas::Item& l) {
            return std::hypot(l.points[1].x() - l.points[0].x(), l.points[1].y() - l.points[0].y());
        };
        double bar = 0;  // angstrom
        for (const auto& text : canvas.items(RecordingCanvas::Kind::Text))
            if (text.text.endsWith(QStringLiteral(" \u00c5")))
                bar = text.text.split(' ')[0].toDouble();
        const double perTwip = bar / length(lines.back());
        lines.pop_back();
        const double pi = std::acos(-1.0), edge = 2 * 2.45 / std::sqrt(5.0);
        const double shortDiagonal = 2 * edge * std::sin(pi / 5),
                     longDiagonal = 2 * edge * std::sin(2 * pi / 5);
        int shorter = 0, longer = 0;
        for (const auto& line : lines) {
            const double d = length(line) * perTwip;
            shorter += std::abs(d - shortDiagonal) < 1e-3 * shortDiagonal;
            longer += std::abs(d - longDiagonal) < 1e-3 * longDiagonal;
        }
        QCOMPARE(shorter + longer, int(lines.size()));
        QVERIFY(shorter > 0 && longer > 0);
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
