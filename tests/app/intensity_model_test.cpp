// The Intensity model dialog: its table and fields make the model, OK applies it, and a model
// file that cannot be used changes nothing.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/intensity_model_dialog.h"
#include "physics/model_file.h"
#include "window_driver.h"

using namespace tesral;
using namespace tesral::test;
using physics::DomainShape;
using physics::RadiationKind;
using physics::StructureModel;

namespace {

const QString kPenrose = QStringLiteral(TESRAL_MODELS_DIR "/decagonal-penrose.toml");

void setCell(QTableWidget* table, int row, int column, const char* text) {
    table->item(row, column)->setText(QLatin1String(text));
}

/** The model as the dialog shows it: without its file and lines. */
StructureModel asEdited(StructureModel model) {
    model.source.clear();
    for (physics::Site& site : model.sites) site.line = 0;
    return model;
}

}  // namespace

class IntensityModelTest : public QObject {
    Q_OBJECT

  private slots:
    void editsMakeTheModel();
    void unreadableCellsAndBadFilesApplyNothing();
};

void IntensityModelTest::editsMakeTheModel() {
    IntensityModelDialog dialog(StructureModel{}, 5);
    dialog.findChild<QLineEdit*>(QStringLiteral("tfModelName"))->setText(QStringLiteral("two"));
    dialog.findChild<QComboBox*>(QStringLiteral("cmbRadiation"))->setCurrentIndex(1);
    dialog.findChild<QLineEdit*>(QStringLiteral("tfKilovolts"))->setText(QStringLiteral("300"));
    for (int i = 0; i < 3; ++i) dialog.findChild<QPushButton*>(QStringLiteral("bAddSite"))->click();
    dialog.findChild<QPushButton*>(QStringLiteral("bRemoveSite"))->click();  // the last one
    QTableWidget* table = dialog.siteTable();
    QCOMPARE(table->rowCount(), 2);
    using C = IntensityModelDialog::Column;
    setCell(table, 1, C::Element, "Pd");
    setCell(table, 1, C::Position, "0 0 0 0, 0.5");
    dialog.domainList(1)->setCurrentIndex(1);  // disc
    setCell(table, 1, C::Radius, "2.5");
    setCell(table, 1, C::Occupancy, "0.8");
    setCell(table, 1, C::BPar, "0.5");
    setCell(table, 1, C::BPerp, "1.5");
    setCell(table, 0, C::Pentagon, "3");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    StructureModel expected;
    expected.name = "two";
    expected.radiation.kind = RadiationKind::Electron;
    expected.radiation.kilovolts = 300.0;
    physics::Site window;
    window.element = "Al";
    window.position = {0, 0, 0, 0, 0};
    window.domain = {.shape = DomainShape::Window, .radius = 1.0, .scale = 1.0, .pentagon = 3};
    physics::Site disc;
    disc.element = "Pd";
    disc.position = {0, 0, 0, 0, 0.5};
    disc.occupancy = 0.8;
    disc.domain = {.shape = DomainShape::Disc, .radius = 2.5};
    disc.bParallel = 0.5;
    disc.bPerpendicular = 1.5;
    expected.sites = {window, disc};
    QVERIFY(dialog.model() == expected);

    // A loaded file shows as its model.
    const physics::ModelLoad penrose = physics::loadModel(kPenrose.toStdString());
    QVERIFY(penrose.model);
    QCOMPARE(dialog.loadFile(kPenrose), QString());
    QVERIFY(dialog.editedModel() == asEdited(*penrose.model));
}

void IntensityModelTest::unreadableCellsAndBadFilesApplyNothing() {
    const StructureModel start = asEdited(*physics::loadModel(kPenrose.toStdString()).model);
    IntensityModelDialog dialog(start, 5);
    dialog.show();
    using C = IntensityModelDialog::Column;
    struct Case {
        int column;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {C::Scale, "big", "site 2: scale is not a number: 'big'"},
        {C::Position, "0 0 0", "site 2: position needs 5 or 6 numbers, not '0 0 0'"},
        {C::Element, "Xx", "site 2: element 'Xx' is not an element symbol"},
        {C::Occupancy, "-1", "site 2: occupancy must be"},
    };
    for (const Case& c : cases) {
        const QString before = dialog.siteTable()->item(1, c.column)->text();
        setCell(dialog.siteTable(), 1, c.column, c.text);
        MessageBoxAnswer answer;
        answer.expect(QMessageBox::Ok);
        dialog.accept();
        QVERIFY2(answer.seen, c.text);
        QVERIFY2(answer.text.startsWith(QLatin1String(c.message)), qPrintable(answer.text));
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.model() == start);
        dialog.siteTable()->item(1, c.column)->setText(before);
    }

    // A file with one bad value: its message, and the table as it was.
    QTemporaryDir folder;
    const QString bad = folder.filePath(QStringLiteral("bad.toml"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "name = \"bad\"\n\n[[site]]\nelement = \"Al\"\nposition = [0, 0, 0, 0, 0]\n"
        "domain = \"disc\"\nradius = -1\n");
    file.close();
    FileDialogAnswer open;
    open.expect(bad);
    MessageBoxAnswer answer;
    answer.expect(QMessageBox::Ok);
    dialog.findChild<QPushButton*>(QStringLiteral("bLoadModel"))->click();
    QVERIFY(open.seen && answer.seen);
    QCOMPARE(answer.text,
             bad + QStringLiteral(":7: site 1: radius must be greater than 0, not -1"));
    QVERIFY(dialog.editedModel() == start);
}

QTEST_MAIN(IntensityModelTest)
#include "intensity_model_test.moc"
