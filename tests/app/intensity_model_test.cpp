// The Intensity model dialog: its table and fields make the model, OK applies it, and a model
// file that cannot be used changes nothing.

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
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
    void everyFaultyCellIsNamedInTheTablesWords();
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
    setCell(table, 1, C::InnerRadius, "1");
    setCell(table, 1, C::Label, "Pd1");
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
    disc.label = "Pd1";
    disc.domain = {.shape = DomainShape::Disc, .radius = 2.5, .innerRadius = 1.0};
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
    setCell(dialog.siteTable(), 0, C::Label, "Al1");
    StructureModel labelled = start;
    labelled.sites[0].label = "Al1";
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
        {C::InnerScale, "1", "site 2: inner scale must be less than scale (1), not 1"},
        {C::Label, "2b", "site 2: label '2b' must be letters, digits and underscores"},
        {C::Label, "Al1", "site 2: label 'Al1' is already site 1's; labels must differ"},
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
        QVERIFY(!dialog.editedModel());
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
    QVERIFY(dialog.editedModel() == labelled);
}

void IntensityModelTest::everyFaultyCellIsNamedInTheTablesWords() {
    StructureModel start = asEdited(*physics::loadModel(kPenrose.toStdString()).model);
    IntensityModelDialog dialog(start, 5);
    dialog.show();
    using C = IntensityModelDialog::Column;
    QTableWidget* table = dialog.siteTable();
    QVERIFY(table->rowCount() >= 3);
    setCell(table, 0, C::Element, "fe");
    setCell(table, 1, C::BPar, "-2");
    setCell(table, 2, C::Occupancy, "1.5");
    setCell(table, 2, C::BPerp, "x");
    QString problem;
    QList<int> rows;
    QVERIFY(!dialog.editedModel(&problem, &rows));
    QCOMPARE(problem,
             QStringLiteral("site 2: B\u2225 (\u212b\u00b2) must be a finite number of 0 or "
                            "more, not -2\nsite 3: B\u22a5 (\u212b\u00b2) is not a number: 'x'"));
    QCOMPARE(rows, (QList<int>{1, 2}));
    setCell(table, 1, C::BPar, "0");
    setCell(table, 2, C::BPerp, "0");
    QVERIFY(!dialog.editedModel(&problem));
    QCOMPARE(problem, QStringLiteral("site 3: occupancy must be at most 1, not 1.5"));
    MessageBoxAnswer answer;
    answer.expect(QMessageBox::Ok);
    dialog.accept();
    QVERIFY(answer.seen);
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(table->selectionModel()->selectedRows().constFirst().row(), 2);
    setCell(table, 2, C::Occupancy, "1");
    QCOMPARE(dialog.editedModel()->sites[0].element, std::string("Fe"));

    // An X-ray model keeps neither voltage nor wavelength, even when their fields are faulty.
    dialog.findChild<QLineEdit*>(QStringLiteral("tfKilovolts"))->setText(QStringLiteral("?"));
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("m.toml"));
    QCOMPARE(dialog.saveFile(saved), QString());
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(!text.contains("kilovolts") && !text.contains("wavelength"));
    // Load and Save start among the shipped models.
    QVERIFY(QFileInfo::exists(
        QDir(dialog.startFolder()).filePath(QStringLiteral("decagonal-penrose.toml"))));
    // The parser's raw words are not shown.
    QFile bad(folder.filePath(QStringLiteral("bad.toml")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("[[[\n");
    bad.close();
    QVERIFY(dialog.loadFile(bad.fileName())
                .endsWith(QStringLiteral(
                    "bad.toml:1: a table header must name a table, as [[site]] or [radiation]")));
}

QTEST_MAIN(IntensityModelTest)
#include "intensity_model_test.moc"
