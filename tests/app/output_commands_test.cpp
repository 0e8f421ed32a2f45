// What leaves the window after a run: the list search, the clipboard, printouts (into PDF
// files, as there is no printer here), bitmaps and the large view.

#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/program_folder.h"
#include "app/reflection_list_model.h"
#include "app/save_dialog.h"
#include "report/clipboard_rows.h"
#include "window_driver.h"
#include "wmf_reader.h"

using namespace tesral;
using namespace tesral::test;

class OutputCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void noDataBeforeAnyRun();
    void searchWalksThroughTheHits();
    void copiedListIsTheClipboardRows();
    void printedPlotAndListGoToPdf();
    void bitmapSaveAndCancel();
    void plotSavesEveryPictureType();
    void largeViewTogglesAndTakesTheCommands();
    void metafileCopyGoesToFileAndClipboard();
    void savedNamesGetTheirExtension();

  private:
    bool run() {
        QSignalSpy ended(window_, &MainWindow::runEnded);
        window_->executeCalculation();
        return ended.count() > 0 || ended.wait(30000);
    }
    QAction* action(const char* name) { return window_->findChild<QAction*>(QLatin1String(name)); }
    template <class T>
    T* child(const char* name) {
        return window_->findChild<T*>(QLatin1String(name));
    }
    /** The line the list view has selected, as text. */
    QString selectedLine() {
        auto* view = child<QListView>("rtf");
        return view->currentIndex().data().toString();
    }

    MainWindow* window_ = nullptr;
    QTemporaryDir dir_;
    QTemporaryDir workingFolder_;
};

void OutputCommandsTest::init() {
    window_ = new MainWindow(workingFolder_.path());
    window_->resize(1000, 700);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void OutputCommandsTest::cleanup() {
    delete window_;
}

void OutputCommandsTest::noDataBeforeAnyRun() {
    for (const char* name :
         {"mnuFile2", "mnuFile5", "mnuFile6", "mnuFile7", "mnuFile10", "mnuFile12", "mnuFile13"}) {
        MessageBoxAnswer answer;
        answer.expect(QMessageBox::Ok);
        action(name)->trigger();
        QVERIFY2(answer.seen, name);
        QCOMPARE(answer.text, QStringLiteral("no data"));
    }
}

void OutputCommandsTest::searchWalksThroughTheHits() {
    QVERIFY(run());
    InputPanel* panel = child<InputPanel>("frRight");
    auto* find = child<QToolButton>("bRTFFIND");
    const auto nothingSelected = [this] {
        return child<QListView>("rtf")->selectionModel()->selectedIndexes().isEmpty();
    };
    // The default text finds the reflection with the indices 0, 2, 2, 1, 0.
    QTest::keyClick(panel->searchField(), Qt::Key_Return);
    QVERIFY2(selectedLine().contains(QStringLiteral("   0   2   2   1   0")),
             qPrintable(selectedLine()));
    // A new text starts at the top, its first character included; letter case does not
    // matter. The same text again finds nothing below, so it wraps to the top and says so.
    panel->searchField()->setText(QStringLiteral("tesral report"));
    find->click();
    QVERIFY(selectedLine().startsWith(QStringLiteral("TESRAL REPORT - ")));
    QCOMPARE(window_->statusText(3), QString());
    find->click();
    QVERIFY(selectedLine().startsWith(QStringLiteral("TESRAL REPORT - ")));
    QCOMPARE(window_->statusText(3), QStringLiteral("search wrapped to the top"));
    panel->searchField()->setText(QStringLiteral("no such text"));
    find->click();
    QVERIFY(nothingSelected());
    QCOMPARE(window_->statusText(3), QStringLiteral("'no such text' not found"));

    // Every hit in turn, overlapping ones included, as a plain search of the file finds
    // them, then the first again; the same when the file is gone and the rows are searched.
    const QByteArray needle = "   2   2   2   2   ";
    const QByteArray text = fileBytes(window_->workingFile(QStringLiteral("tmp.hkl")));
    for (const bool withFile : {true, false}) {
        if (!withFile) QVERIFY(QFile::remove(window_->workingFile(QStringLiteral("tmp.hkl"))));
        panel->searchField()->setText(QStringLiteral("new text"));
        find->click();
        panel->searchField()->setText(QString::fromLatin1(needle));
        QByteArray first;
        int hits = 0;
        for (qsizetype hit = text.indexOf(needle); hit >= 0; hit = text.indexOf(needle, hit + 1)) {
            find->click();
            const qsizetype lineStart = text.lastIndexOf('\n', hit) + 1;
            const QByteArray line = text.mid(lineStart, text.indexOf('\r', lineStart) - lineStart);
            QCOMPARE(selectedLine().toLatin1(), line);
            QCOMPARE(window_->statusText(3), QString());
            if (first.isEmpty()) first = line;
            ++hits;
        }
        QCOMPARE(hits, 5);
        find->click();
        QCOMPARE(selectedLine().toLatin1(), first);
        QCOMPARE(window_->statusText(3), QStringLiteral("search wrapped to the top"));
    }
}

void OutputCommandsTest::copiedListIsTheClipboardRows() {
    QVERIFY(run());
    action("mnuTable1")->trigger();  // without x, y, z
    action("mnuFile10")->trigger();
    const ReportColumns columns = ReportColumns::from({.xyz = false}, 5);
    const std::string rows = clipboardRows(window_->session().table(), columns, '.');
    QCOMPARE(QApplication::clipboard()->text().toStdString(), rows);
    QCOMPARE(fileBytes(window_->workingFile(QStringLiteral("clipboard.hkl"))).toStdString(), rows);
}

void OutputCommandsTest::printedPlotAndListGoToPdf() {
    QVERIFY(run());
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const struct {
        const char* item;
        const char* file;
        const char* expected;
    } cases[] = {{"mnuFile5", "plot2d.pdf", "Tesral 1.0"},
                 {"mnuFile6", "plot3d.pdf", "reflections, P10.5/mmc, a = 2.82, c = 12.06"},
                 {"mnuFile7", "list.pdf", "TESRAL REPORT - 1254 reflections"}};
    for (const auto& c : cases) {
        const QString path = dir_.filePath(QLatin1String(c.file));
        FileDialogAnswer answer;
        answer.expect(path);
        action(c.item)->trigger();
        QVERIFY2(answer.seen, c.item);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QByteArray printed = text.readAllStandardOutput();
        QVERIFY2(printed.contains(c.expected), printed.left(400).constData());
    }
    // A cancelled dialog prints nothing.
    FileDialogAnswer cancel;
    cancel.expect(QString());
    action("mnuFile5")->trigger();
    QVERIFY(cancel.seen);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files).size(), 3);
}

void OutputCommandsTest::bitmapSaveAndCancel() {
    QVERIFY(run());
    const QString path = dir_.filePath(QStringLiteral("plot.bmp"));
    FileDialogAnswer cancel;
    cancel.expect(QString());
    action("mnuFile3")->trigger();
    QCOMPARE(cancel.title, QStringLiteral("Save Bitmap (*.BMP)"));
    QVERIFY(cancel.suggested.endsWith(QStringLiteral("data/tesral3D.bmp")));
    QVERIFY(!QFile::exists(path));

    // A name without extension is saved as a bitmap file.
    FileDialogAnswer save;
    save.expect(dir_.filePath(QStringLiteral("plot")));
    action("mnuFile3")->trigger();
    QImage saved(path, "BMP");
    QVERIFY(!saved.isNull());
    const QImage& box = window_->findChild<PlotView*>(QStringLiteral("pb3D"))->picture();
    QCOMPARE(saved.size(), box.size());
}

void OutputCommandsTest::plotSavesEveryPictureType() {
    QVERIFY(run());
    // The bitmap dialog writes the type a name ends in; the metafile is the one Copy makes.
    const struct {
        const char* file;
        QByteArray start;
    } cases[] = {{"plot.svg", "<?xml"},
                 {"plot.wmf", "\xd7\xcd\xc6\x9a"},
                 {"plot.png", "\x89PNG"},
                 {"plot.pdf", "%PDF-"}};
    for (const auto& c : cases) {
        FileDialogAnswer answer;
        answer.expect(dir_.filePath(QLatin1String(c.file)));
        action("mnuFile2")->trigger();
        QVERIFY2(fileBytes(dir_.filePath(QLatin1String(c.file))).startsWith(c.start), c.file);
    }
    action("mnuFile8")->trigger();
    QCOMPARE(fileBytes(dir_.filePath(QStringLiteral("plot.wmf"))),
             fileBytes(window_->workingFile(QStringLiteral("a.wmf"))));
    const QImage& box = window_->findChild<PlotView*>(QStringLiteral("pb2D"))->picture();
    QCOMPARE(QImage(dir_.filePath(QStringLiteral("plot.png"))).convertToFormat(box.format()), box);
}

void OutputCommandsTest::largeViewTogglesAndTakesTheCommands() {
    QVERIFY(run());
    auto* big2D = child<QToolButton>("bBig2D");
    auto* big3D = child<QToolButton>("bBig3D");
    auto* pbBig = child<PlotView>("pbBig");
    big2D->click();
    QVERIFY(window_->largeViewOpen() && !window_->largeViewShows3D());
    QVERIFY(child<QWidget>("frBig")->isVisible());
    QCOMPARE(window_->sourceBox(PlotKind::ZeroLayer), pbBig);
    QCOMPARE(window_->sourceBox(PlotKind::ThreeD), child<PlotView>("pb3D"));
    QVERIFY(pbBig->picture().width() > child<PlotView>("pb2D")->picture().width());

    big3D->click();  // switches without closing
    QVERIFY(window_->largeViewOpen() && window_->largeViewShows3D());
    QCOMPARE(window_->sourceBox(PlotKind::ThreeD), pbBig);
    const ProjectedPoints before = window_->session().points();
    QTest::keyClick(pbBig, Qt::Key_Right);
    QVERIFY(window_->session().points() != before);

    // The background follows the small plots' colours, in the large view too.
    action("Toolbar1Button5")->trigger();
    QCOMPARE(pbBig->backgroundColour(), kWhite);
    QCOMPARE(pbBig->picture().pixel(2, 2) | 0xff000000u, kWhite);
    action("Toolbar1Button5")->trigger();

    big3D->click();  // the same button closes
    QVERIFY(!window_->largeViewOpen());
    QVERIFY(!child<QWidget>("frBig")->isVisible());
    big2D->click();
    child<QToolButton>("btCloseBig")->click();
    QVERIFY(!window_->largeViewOpen());
}

void OutputCommandsTest::metafileCopyGoesToFileAndClipboard() {
    QVERIFY(run());
    const QString wmf = window_->workingFile(QStringLiteral("a.wmf"));
    struct Case {
        const char* open;  // large-view button, or none
        std::uint16_t unitsPerInch;
    };
    for (const Case& c : {Case{nullptr, 1440}, Case{"bBig2D", 3000}}) {
        if (c.open) child<QToolButton>(c.open)->click();
        QFile::remove(wmf);
        action("mnuFile8")->trigger();
        const QByteArray bytes = fileBytes(wmf);
        const WmfFile file = readWmf(std::string_view(bytes.constData(), bytes.size()));
        QVERIFY2(file.problems.empty(), file.problems.empty() ? "" : file.problems[0].c_str());
        QCOMPARE(file.unitsPerInch, c.unitsPerInch);
        const QRect box = window_->sourceBox(PlotKind::ZeroLayer)->rect();
        QCOMPARE(file.right, static_cast<std::int16_t>(box.width() * 15 + 1));
        QVERIFY(!file.all(wmf::kEllipse).empty());
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->data(QStringLiteral("image/x-wmf")), bytes);
        QVERIFY(copied->hasImage());
        QVERIFY(copied->data(QStringLiteral("image/svg+xml")).startsWith("<?xml"));
    }
}

void OutputCommandsTest::savedNamesGetTheirExtension() {
    const struct {
        const char* typed;
        const char* suffix;
        const char* saved;
    } cases[] = {
        {"/d/mylist", "hkl", "/d/mylist.hkl"},     {"/d/mylist.", "hkl", "/d/mylist.hkl"},
        {"/d/mylist.txt", "hkl", "/d/mylist.txt"}, {"/d.x/plot", "bmp", "/d.x/plot.bmp"},
        {"/d/plot.BMP", "bmp", "/d/plot.BMP"},     {"/d/list", "pdf", "/d/list.pdf"},
    };
    for (const auto& c : cases)
        QCOMPARE(withDefaultSuffix(QLatin1String(c.typed), QLatin1String(c.suffix)),
                 QLatin1String(c.saved));
}

QTEST_MAIN(OutputCommandsTest)
#include "output_commands_test.moc"
