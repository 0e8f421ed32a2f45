// The main window, the powder view and its Refine panel on a screen with little room: 1920 x 1080
// at a scale factor of 2 leaves 960 x 540 for the window (see the test's environment in
// CMakeLists.txt).

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/powder_window.h"
#include "app/refine_panel.h"
#include "view_fixture.h"

using namespace tesral;

class SmallScreenTest : public QObject {
    Q_OBJECT

  private slots:
    void windowFitsAndThePanelScrolls();
    void powderViewFitsAndItsButtonsShowTheirText();
};

void SmallScreenTest::windowFitsAndThePanelScrolls() {
    QTemporaryDir folder;
    MainWindow window(folder.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect area = window.screen()->availableGeometry();
    QCOMPARE(area.size(), QSize(960, 540));
    QVERIFY(area.contains(window.frameGeometry()));
    // The status bar is on the screen.
    const QStatusBar* status = window.statusBar();
    QVERIFY(area.contains(QRect(status->mapToGlobal(QPoint(0, 0)), status->size())));

    // The panel scrolls instead of squashing its fields and lists.
    auto* scroll = window.findChild<QScrollArea*>(QStringLiteral("panelScroll"));
    QVERIFY(scroll);
    QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
    auto* panel = window.findChild<InputPanel*>(QStringLiteral("frRight"));
    for (QWidget* control : panel->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control)) continue;
        if (!control->isVisible()) continue;
        QVERIFY2(control->height() >= control->sizeHint().height(),
                 qPrintable(control->objectName()));
    }
    // The search field at the panel's foot is reached by scrolling.
    QLineEdit* search = panel->searchField();
    scroll->ensureWidgetVisible(search);
    const QPoint foot = search->mapTo(scroll->viewport(), QPoint(0, search->height()));
    QVERIFY(foot.y() <= scroll->viewport()->height());
}

void SmallScreenTest::powderViewFitsAndItsButtonsShowTheirText() {
    ViewFixture f;
    PowderWindow window(f.context);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    RefinePanel* refine = window.showRefinePanel();
    QVERIFY(QTest::qWaitForWindowExposed(refine));
    for (const QWidget* w : {static_cast<QWidget*>(&window), static_cast<QWidget*>(refine)}) {
        QVERIFY2(w->screen()->availableGeometry().contains(w->frameGeometry()),
                 qPrintable(w->objectName()));
        // At least an average character of room on either side of each text.
        for (const QPushButton* b : w->findChildren<QPushButton*>()) {
            if (b->window() != w) continue;
            const QFontMetrics metrics = b->fontMetrics();
            QVERIFY2(
                b->width() - metrics.horizontalAdvance(b->text()) >= 2 * metrics.averageCharWidth(),
                qPrintable(b->text()));
        }
    }
}

QTEST_MAIN(SmallScreenTest)
#include "small_screen_test.moc"
