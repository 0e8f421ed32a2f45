// The input panel: its controls, the system switch, the loop-limit arrows, the anode list
// and reading back what was typed.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "app/input_panel.h"
#include "app/limit_spinner.h"
#include "engine/groups.h"
#include "engine/wavelength.h"

using namespace tesral;

namespace {

constexpr int kDecagonal = 1;
constexpr int kIcosahedral = 3;

std::vector<std::string> fieldsOf(const RunInputs& in) {
    std::vector<std::string> out = {std::to_string(systemCode(in.system)),
                                    std::to_string(in.groupPosition),
                                    in.convention == MatrixConvention::Yamamoto ? "Y" : "S",
                                    in.a,
                                    in.c,
                                    in.thetaMin,
                                    in.thetaMax,
                                    in.qiMax,
                                    in.wavelength};
    out.insert(out.end(), in.loopLimits.begin(), in.loopLimits.end());
    return out;
}

/** Number of the group selected in the panel's visible list. */
int selectedGroupNumber(const InputPanel& panel) {
    const RunInputs in = panel.inputs();
    SelectedGroup group;
    return selectGroup(in.system, in.groupPosition, group) ? group.number : 0;
}

}  // namespace

class InputPanelTest : public QObject {
    Q_OBJECT

  private slots:
    void everyControlIsNamed();
    void startsWithTheDefaultInputs();
    void switchingSystemShowsItsFields_data();
    void switchingSystemShowsItsFields();
    void arrowsStepTheLoopLimit_data();
    void arrowsStepTheLoopLimit();
    void anodeSetsTheWavelength();
    void inputsReadWhatWasTyped();
    void searchIsRequestedByButtonAndEnter();
    void latticeFieldsShowTheirConstantsWhole();
};

void InputPanelTest::everyControlIsNamed() {
    InputPanel panel;
    QCOMPARE(panel.objectName(), QStringLiteral("frRight"));
    const char* names[] = {"frRight2", "cmbSystem", "cmbSG8", "cmbSG10",    "cmbSG12",   "cmbSG20",
                           "tfA",      "tfC",       "Label4", "rbYamamoto", "rbSteurer", "tfH0",
                           "tfH1",     "tfH2",      "tfH3",   "tfH4",       "tfH5",      "up1",
                           "up2",      "up3",       "up4",    "up5",        "up6",       "Lhkl",
                           "Lhkl2",    "tfTH1",     "tfTH2",  "tfQI",       "tfWL",      "cmbAnode",
                           "tfFind",   "bRTFFIND"};
    for (const char* name : names)
        QVERIFY2(panel.findChild<QWidget*>(QLatin1String(name)) != nullptr, name);
}

void InputPanelTest::startsWithTheDefaultInputs() {
    InputPanel panel;
    QCOMPARE(fieldsOf(panel.inputs()), fieldsOf(RunInputs{}));
    QCOMPARE(panel.groupList(1)->currentText(), QStringLiteral("P10.5/mmc"));
    QCOMPARE(panel.anodeList()->currentText(), QStringLiteral("Mo"));
    QVERIFY(!panel.wavelengthField()->isEnabled());
    QCOMPARE(panel.searchField()->text(), QStringLiteral("0   2   2   1   0"));
}

void InputPanelTest::switchingSystemShowsItsFields_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<int>("groupNumber");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<bool>("icosahedral");
    QTest::newRow("to icosahedral") << kIcosahedral << 75 << "P235" << true;
    QTest::newRow("back to decagonal") << kDecagonal << 61 << "P10/mmm" << false;
}

void InputPanelTest::switchingSystemShowsItsFields() {
    QFETCH(int, system);
    QFETCH(int, groupNumber);
    QFETCH(QString, symbol);
    QFETCH(bool, icosahedral);

    InputPanel panel;
    panel.loopLimitField(5)->setText(QStringLiteral("7"));
    panel.latticeCField()->setText(QStringLiteral("9.5"));
    QSignalSpy changed(&panel, &InputPanel::systemChanged);
    // Through icosahedral first, so the way back to decagonal is a real switch.
    if (system != kIcosahedral) panel.systemList()->setCurrentIndex(kIcosahedral);
    panel.systemList()->setCurrentIndex(system);

    QCOMPARE(changed.constLast().at(0).toInt(), system);
    QCOMPARE(selectedGroupNumber(panel), groupNumber);
    for (int i = 0; i < 4; ++i) QCOMPARE(panel.groupList(i)->isVisibleTo(&panel), i == system);
    QCOMPARE(panel.groupList(system)->currentText(), symbol);
    QCOMPARE(panel.loopLimitField(5)->isVisibleTo(&panel), icosahedral);
    QCOMPARE(panel.loopLimitSpinner(5)->isVisibleTo(&panel), icosahedral);
    QCOMPARE(panel.h6Label()->isVisibleTo(&panel), icosahedral);
    QCOMPARE(panel.latticeCField()->isVisibleTo(&panel), !icosahedral);
    QCOMPARE(panel.latticeCLabel()->isVisibleTo(&panel), !icosahedral);
    QCOMPARE(panel.loopLimitField(5)->text(), QStringLiteral("7"));
    QCOMPARE(panel.latticeCField()->text(), QStringLiteral("9.5"));
}

void InputPanelTest::arrowsStepTheLoopLimit_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("shown");
    QTest::newRow("up stops at 20") << "20" << true << "20";
    QTest::newRow("down stops at 0") << "0" << false << "0";
    QTest::newRow("down from below 0") << "-5" << false << "0";
    QTest::newRow("up from below 0") << "-5" << true << "-4";
    QTest::newRow("no number reads as 0") << "abc" << true << "1";
    QTest::newRow("3.5 rounds to even") << "2.5" << true << "4";
    QTest::newRow("2.5 rounds to even") << "1.5" << true << "2";
    QTest::newRow("no negative zero") << "-1.2" << true << "0";
}

void InputPanelTest::arrowsStepTheLoopLimit() {
    QFETCH(QString, typed);
    QFETCH(bool, up);
    QFETCH(QString, shown);

    InputPanel panel;
    panel.loopLimitField(2)->setText(typed);
    QTest::mouseClick(
        up ? panel.loopLimitSpinner(2)->upButton() : panel.loopLimitSpinner(2)->downButton(),
        Qt::LeftButton);
    QCOMPARE(panel.loopLimitField(2)->text(), shown);
    QCOMPARE(panel.loopLimitField(1)->text(), QStringLiteral("2"));
}

void InputPanelTest::anodeSetsTheWavelength() {
    InputPanel panel;
    for (int position = 0; position < panel.anodeList()->count(); ++position) {
        panel.anodeList()->setCurrentIndex(position);
        QCOMPARE(panel.wavelengthField()->isEnabled(), position == kUserAnodePosition);
    }
    panel.anodeList()->setCurrentText(QStringLiteral("Cu"));
    // (2 * 1.540598 + 1.544438) / 3
    QCOMPARE(panel.wavelengthField()->text(), QStringLiteral("1.541878"));
}

void InputPanelTest::inputsReadWhatWasTyped() {
    InputPanel panel;
    panel.systemList()->setCurrentIndex(kIcosahedral);
    panel.groupList(3)->setCurrentIndex(4);
    panel.conventionButton(MatrixConvention::Steurer)->click();
    panel.anodeList()->setCurrentIndex(kUserAnodePosition);  // the wavelength takes typing
    // In the order of fieldsOf: texts are kept as typed, numbers or not.
    const std::vector<QLineEdit*> fields = {
        panel.latticeAField(),   panel.latticeCField(),   panel.thetaMinField(),
        panel.thetaMaxField(),   panel.qiMaxField(),      panel.wavelengthField(),
        panel.loopLimitField(0), panel.loopLimitField(1), panel.loopLimitField(2),
        panel.loopLimitField(3), panel.loopLimitField(4), panel.loopLimitField(5)};
    std::vector<std::string> expected = {"5.1e0", "abc", "0.5", "45", "2,5", "1.2",
                                         "1",     " 2",  "3.5", "-4", "",    "6"};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i]->clear();
        QTest::keyClicks(fields[i], QString::fromStdString(expected[i]));
    }
    expected.insert(expected.begin(), {"4", "4", "S"});  // icosahedral, 5th group, Steurer
    QCOMPARE(fieldsOf(panel.inputs()), expected);

    // A stored configuration shown again reads back unchanged, group included.
    InputPanel restored;
    restored.setInputs(panel.inputs());
    QCOMPARE(fieldsOf(restored.inputs()), expected);
    QVERIFY(restored.groupList(3)->isVisibleTo(&restored));
}

void InputPanelTest::searchIsRequestedByButtonAndEnter() {
    InputPanel panel;
    QSignalSpy requested(&panel, &InputPanel::findRequested);
    panel.findButton()->click();
    QTest::keyClick(panel.searchField(), Qt::Key_Return);
    QCOMPARE(requested.count(), 2);
}

void InputPanelTest::latticeFieldsShowTheirConstantsWhole() {
    InputPanel panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    for (QLineEdit* field : {panel.latticeAField(), panel.latticeCField()}) {
        // Typed with the cursor at the end; a field too narrow scrolls its first digits away,
        // and the start of the text then lies left of the field.
        field->setText(QStringLiteral("12.20064"));
        (void)field->grab();
        field->setCursorPosition(0);
        // The cursor's rectangle reaches a few pixels to either side of it.
        const QRect start = field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY2(start.center().x() > 0, qPrintable(field->objectName()));
    }
}

QTEST_MAIN(InputPanelTest)
#include "input_panel_test.moc"
