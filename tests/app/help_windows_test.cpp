// The Help menu's pages, the About window frmSplash and the used-matrices view viewMX.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "app/about_window.h"
#include "app/documents.h"
#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/matrices_view.h"
#include "lattice/matrix_text.h"

using namespace tesral;

namespace {

/** Runs `act` on the next modal window, then makes sure that window is gone. */
void whenModal(std::function<void(QWidget*)> act, int triesLeft = 300) {
    QTimer::singleShot(10, [act, triesLeft] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            if (triesLeft > 0) whenModal(act, triesLeft - 1);
            return;
        }
        act(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
            dialog->reject();
    });
}

/** A matrix text as a text box shows it. */
QString shown(const std::string& text) {
    return QString::fromStdString(text)
        .replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .chopped(1);
}

}  // namespace

class HelpWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup() { delete window_; }
    void helpItemsOpenTheirPages();
    void aboutWindowCloses_data();
    void aboutWindowCloses();
    void usedMatricesShowTheBasisOfTheFields();
    void unusableLatticeConstantIsAMessage();
    void missingPagesAndFilesAreNamed();
    void failingLauncherIsSaid_data();
    void failingLauncherIsSaid();

  private:
    void takeAddresses();
    QAction* action(const char* name) { return window_->findChild<QAction*>(QLatin1String(name)); }
    InputPanel* panel() { return window_->findChild<InputPanel*>(QStringLiteral("frRight")); }

    QTemporaryDir config_;
    QTemporaryDir workingFolder_;
    /** The addresses the desktop would have opened. */
    struct {
        QList<QUrl> urls;
    } opened_;
    MainWindow* window_ = nullptr;
};

void HelpWindowsTest::initTestCase() {
    qputenv("TESRAL_CONFIG_DIR", QFile::encodeName(config_.path()));
    takeAddresses();
}

void HelpWindowsTest::takeAddresses() {
    // Nothing reaches the desktop: the test takes every address.
    setUrlOpener([this](const QUrl& url, const auto&) {
        opened_.urls << url;
        return true;
    });
}

void HelpWindowsTest::cleanupTestCase() {
    setUrlOpener({});
}

void HelpWindowsTest::init() {
    window_ = new MainWindow(workingFolder_.path());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    opened_.urls.clear();
}

void HelpWindowsTest::helpItemsOpenTheirPages() {
    const std::pair<const char*, const char*> items[] = {{"mnuHelp6", "/doc/index0.html"},
                                                         {"mnuHelp5", "/doc/product.html"},
                                                         {"mnuHelp1", "/doc/maker.html"},
                                                         {"mnuHelp2", "/doc/author.html"}};
    for (auto [name, page] : items) {
        action(name)->trigger();
        QVERIFY2(opened_.urls.size() == 1, name);
        const QString file = opened_.urls.takeFirst().toLocalFile();
        QVERIFY2(file.endsWith(QLatin1String(page)) && QFileInfo::exists(file), name);
    }
    action("mnuHelp3")->trigger();
    QCOMPARE(opened_.urls, {QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Quasicrystal"))});
    opened_.urls.clear();

    // About: the author's link above the maker's, each opening its page; the references.
    QStringList links;
    whenModal([&links](QWidget* modal) {
        auto* about = qobject_cast<AboutWindow*>(modal);
        QVERIFY(about && about->windowTitle().isEmpty());
        const auto label = [about](const char* name) {
            return about->findChild<QLabel*>(QLatin1String(name));
        };
        QVERIFY(label("lblAuthor")->y() < label("lblMaker")->y());
        for (QLabel* link : {label("lblAuthor"), label("lblMaker")}) {
            const QString text = link->text();
            const qsizetype start = text.indexOf(QLatin1String("href=\"")) + 6;
            emit link->linkActivated(text.mid(start, text.indexOf('"', start) - start));
        }
        for (const char* text : {"<b>References</b>", "Yamamoto", "Steurer", "Steinhardt"})
            QVERIFY2(label("lblReferences")->text().contains(QLatin1String(text)), text);
        links << about->objectName();
    });
    action("mnuHelp4")->trigger();
    QCOMPARE(links, QStringList{QStringLiteral("frmSplash")});
    QCOMPARE(opened_.urls.size(), 2);
    QVERIFY(opened_.urls[0].toLocalFile().endsWith(QLatin1String("/doc/author.html")));
    QVERIFY(opened_.urls[1].toLocalFile().endsWith(QLatin1String("/doc/maker.html")));
}

void HelpWindowsTest::aboutWindowCloses_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("closes");
    QTest::newRow("OK") << "OK" << true;
    QTest::newRow("any key") << "key" << true;
    QTest::newRow("click on the frame") << "frame" << true;
    QTest::newRow("release over the pattern") << "pattern" << true;
    QTest::newRow("click on the references") << "references" << false;
}

void HelpWindowsTest::aboutWindowCloses() {
    QFETCH(QString, how);
    QFETCH(bool, closes);
    AboutWindow about(window_);
    about.open();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    if (how == QLatin1String("OK"))
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
    else if (how == QLatin1String("key"))
        QTest::keyClick(&about, Qt::Key_X);
    else if (how == QLatin1String("frame"))
        QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(3, 3));
    else if (how == QLatin1String("pattern"))
        QTest::mouseClick(about.findChild<QWidget*>(QStringLiteral("pbPattern")), Qt::LeftButton);
    else
        QTest::mouseClick(about.findChild<QLabel*>(QStringLiteral("lblReferences")),
                          Qt::LeftButton);
    QCOMPARE(about.isVisible(), !closes);
}

void HelpWindowsTest::usedMatricesShowTheBasisOfTheFields() {
    panel()->systemList()->setCurrentIndex(0);  // octagonal
    panel()->latticeAField()->setText(QStringLiteral("1"));
    panel()->latticeCField()->setText(QStringLiteral("1"));
    const auto basis =
        buildLatticeBasis(QuasicrystalSystem::Octagonal, 1, 1, MatrixConvention::Yamamoto);
    QStringList seen;
    whenModal([&](QWidget* modal) {
        auto* view = qobject_cast<MatricesView*>(modal);
        QVERIFY(view);
        const auto frame = [view](const char* name) {
            return view->findChild<QGroupBox*>(QLatin1String(name));
        };
        const auto text = [view](const char* name) {
            return view->findChild<QPlainTextEdit*>(QLatin1String(name));
        };
        seen << view->objectName() << view->windowTitle() << frame("Frame2")->title()
             << frame("Frame1")->title() << text("Text1")->toPlainText().section('\n', 0, 0);
        QCOMPARE(text("Text1")->toPlainText(), shown(directMatrixText(*basis)));
        QCOMPARE(text("Text2")->toPlainText(), shown(inverseMatrixText(*basis)));
        QCOMPARE(text("Text1")->font().family(), QStringLiteral("Courier New"));
        QVERIFY(text("Text1")->isReadOnly());
        view->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    action("mnuView1")->trigger();
    QCOMPARE(seen,
             (QStringList{"viewMX", "Tesral - used matrices", " Direct Lattice Matrix ",
                          " Inverse Matrix ", "   0.7071   0.7071  -0.7071   0.7071   0.0000"}));
}

void HelpWindowsTest::unusableLatticeConstantIsAMessage() {
    const struct {
        const char* a;
        const char* c;
        std::string message;
    } cases[] = {
        {"2.82", "0", kLatticeConstantsMessage},
        {"1e999", "12.06", "The lattice constant a is too large."},
        {"2.82", "-12",
         "The lattice constant c must be positive; a negative value would mirror the pattern."},
    };
    for (const auto& c : cases) {
        panel()->latticeAField()->setText(QLatin1String(c.a));
        panel()->latticeCField()->setText(QLatin1String(c.c));
        QString message;
        whenModal([&message](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) message = box->text();
        });
        action("mnuView1")->trigger();
        QCOMPARE(message, QString::fromStdString(c.message));
    }
}

void HelpWindowsTest::missingPagesAndFilesAreNamed() {
    QVERIFY(documentationPage(QStringLiteral("index0.html"))
                .endsWith(QLatin1String("/doc/index0.html")));
    QVERIFY(documentationPage(QStringLiteral("missing.html")).isEmpty());
    const QString message = missingPageMessage(QStringLiteral("missing.html"));
    QVERIFY(message.contains(QLatin1String("missing.html")));
    for (const QString& folder : documentationFolders())
        QVERIFY(message.contains(QDir::toNativeSeparators(folder)));

    // A file that is not there is said, and nothing reaches the desktop.
    const QString gone = QDir::temp().filePath(QStringLiteral("tesral-gone/tmp.hkl"));
    QString shown;
    whenModal([&shown](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) shown = box->text();
    });
    openDocument(window_, gone);
    QCOMPARE(shown,
             QStringLiteral("The file %1 does not exist.").arg(QDir::toNativeSeparators(gone)));
    QVERIFY(opened_.urls.isEmpty());
}

void HelpWindowsTest::failingLauncherIsSaid_data() {
    QTest::addColumn<QByteArray>("said");
    QTest::addColumn<int>("code");
    // No terminal for the file's program, as on a bare desktop; no program at all (xdg-open's
    // own words when it has tried every browser).
    QTest::newRow("no terminal") << QByteArray("xdg-open: 1: x-terminal-emulator: not found") << 4;
    QTest::newRow("no method") << QByteArray("xdg-open: no method available for opening 'page'")
                               << 3;
}

void HelpWindowsTest::failingLauncherIsSaid() {
#ifndef Q_OS_LINUX
    QSKIP("xdg-open is the launcher on Linux desktops");
#else
    QFETCH(QByteArray, said);
    QFETCH(int, code);
    QTemporaryDir bin;
    QFile script(bin.filePath(QStringLiteral("xdg-open")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"" + said + "\" >&2\nexit " + QByteArray::number(code) + "\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
    setUrlOpener({});

    QString shown;
    whenModal([&shown](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) shown = box->text();
    });
    // F1, as the user asks for the manual.
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QTest::keyClick(window_, Qt::Key_F1);
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 5000);
    qputenv("PATH", path);
    takeAddresses();
    const QString page = documentationPage(QStringLiteral("index0.html"));
    QCOMPARE(shown, QStringLiteral("No program on this desktop opens %1 (%2).")
                        .arg(QDir::toNativeSeparators(page), QString::fromLatin1(said)));
#endif
}

QTEST_MAIN(HelpWindowsTest)
#include "help_windows_test.moc"
