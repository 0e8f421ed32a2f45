// Whole-table tasks: the delayed, cancellable progress dialog and the copied list.

#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "app/list_copy.h"
#include "app/whole_table_task.h"
#include "report/clipboard_rows.h"
#include "window_driver.h"

using namespace tesral;
using namespace std::chrono_literals;

class WholeTableTaskTest : public QObject {
    Q_OBJECT

  private slots:
    void dialogAfterHalfASecondCancels();
    void copiedListAndCancelledCopy();
    void failedTaskSaysWhy();
};

void WholeTableTaskTest::dialogAfterHalfASecondCancels() {
    QWidget window;
    const auto dialog = [&window] {
        return window.findChild<QProgressDialog*>(QStringLiteral("taskProgress"));
    };
    // A short task shows nothing and runs to its end.
    bool early = true;
    QVERIFY(runWithProgress(&window, QStringLiteral("short"), [](TaskProgress& progress) {
        progress.setTotal(2);
        std::this_thread::sleep_for(50ms);
        progress.advance(2);
    }));
    // A long one shows the dialog after half a second; its Cancel button stops it.
    QTimer::singleShot(kProgressDelayMs - 200, &window, [&] { early = dialog() != nullptr; });
    QTimer::singleShot(kProgressDelayMs + 300, &window, [&] {
        QVERIFY(dialog() && dialog()->isVisible());
        dialog()->findChild<QPushButton*>()->click();
    });
    const auto start = std::chrono::steady_clock::now();
    const bool ended = runWithProgress(&window, QStringLiteral("long"), [](TaskProgress& p) {
        p.setTotal(1000);
        for (int i = 0; i < 1000 && !p.cancelled(); ++i) {
            std::this_thread::sleep_for(10ms);
            p.advance();
        }
    });
    QVERIFY(!ended);
    QVERIFY(!early);
    QVERIFY(std::chrono::steady_clock::now() - start < 5s);
    QVERIFY(!dialog());
}

void WholeTableTaskTest::failedTaskSaysWhy() {
    QWidget window;
    test::MessageBoxAnswer box;
    box.expect(QMessageBox::Ok);
    QVERIFY(!runWithProgress(&window, QStringLiteral("failing"), [](TaskProgress&) {
        throw std::runtime_error("the disk went away");
    }));
    QVERIFY(box.seen);
    QCOMPARE(box.text, QStringLiteral("The task failed: the disk went away"));
}

void WholeTableTaskTest::copiedListAndCancelledCopy() {
    ReflectionTable table(50000);
    for (std::size_t i = 0; i < table.size(); ++i) table[i].v[kTheta] = static_cast<float>(i) / 7;
    const ReportColumns columns = ReportColumns::all(5);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clipboard.hkl"));

    TaskProgress progress;
    const std::optional<CopiedList> copied = copyListRows(table, columns, ',', path, progress);
    QVERIFY(copied && !copied->writeError);
    const std::string rows = clipboardRows(table, columns, ',');
    QCOMPARE(copied->text.toStdString(), rows);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toStdString(), rows);
    file.close();
    QCOMPARE(progress.permille(), 1000);

    // Cancelled: nothing to copy, and the file keeps its bytes.
    table.resize(10);
    TaskProgress cancelled;
    cancelled.cancel();
    QVERIFY(!copyListRows(table, columns, ',', path, cancelled));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toStdString(), rows);
}

QTEST_MAIN(WholeTableTaskTest)
#include "whole_table_task_test.moc"
