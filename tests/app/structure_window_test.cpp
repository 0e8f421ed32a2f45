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
