// The Help menu's pages, the About window frmSplash and the used-matrices view viewMX.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
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
#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/matrices_view.h"
#include "lattice/matrix_text.h"

using namespace tesral;

namespace {

/** Runs `act` on the next modal window once it is up. */
void whenModal(std::function<void(QWidget*)> act, int triesLeft = 300) {
    QTimer::singleShot(10, [act, triesLeft] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
            // A failed check inside `act` must not leave the test waiting on the window.
            if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
                dialog->reject();
        } else if (triesLeft > 0)
            whenModal(act, triesLeft - 1);
    });
}

/** The lines of a matrix text as a text box shows them. */
QString shownLines(const std::string& text) {
    QString lines = QString::fromStdString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.chop(1);
    return lines;
}

}  // namespace

/** Takes the addresses the desktop would have opened. */
class OpenedUrls : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> urls;

  public slots:
    void open(const QUrl& url) { urls << url; }
};

class HelpWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void helpItemsOpenTheirPages();
    void aboutWindowShowsLinksAndReferences();
    void aboutWindowCloses_data();
    void aboutWindowCloses();
    void usedMatricesShowTheBasisOfTheFields();
    void zeroLatticeConstantIsAMessage();

  private:
    QAction* action(const char* name) { return window_->findChild<QAction*>(QLatin1String(name)); }

    QTemporaryDir config_;
    OpenedUrls opened_;
    MainWindow* window_ = nullptr;
};

void HelpWindowsTest::initTestCase() {
    qputenv("TESRAL_CONFIG_DIR", QFile::encodeName(config_.path()));
    // Nothing reaches the desktop: the test takes every address.
    for (const char* scheme : {"file", "http", "https"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &opened_, "open");
}

void HelpWindowsTest::cleanupTestCase() {
    for (const char* scheme : {"file", "http", "https"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

void HelpWindowsTest::init() {
    window_ = new MainWindow;
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    opened_.urls.clear();
}

void HelpWindowsTest::cleanup() {
    delete window_;
    window_ = nullptr;
}

void HelpWindowsTest::helpItemsOpenTheirPages() {
    const std::pair<const char*, const char*> items[] = {{"mnuHelp6", "doc/index0.html"},
                                                         {"mnuHelp5", "doc/product.html"},
                                                         {"mnuHelp1", "doc/maker.html"},
                                                         {"mnuHelp2", "doc/author.html"}};
    for (auto [name, page] : items) {
        QVERIFY2(action(name)->isEnabled(), name);
        action(name)->trigger();
        QVERIFY2(opened_.urls.size() == 1, name);
        const QUrl url = opened_.urls.takeFirst();
        QVERIFY2(url.isLocalFile() && url.toLocalFile().endsWith(QLatin1String(page)), name);
        QVERIFY2(QFileInfo::exists(url.toLocalFile()), name);
    }
    QCOMPARE(action("mnuHelp6")->shortcut(), QKeySequence(QKeySequence::HelpContents));
    action("mnuHelp3")->trigger();
    QCOMPARE(opened_.urls,
             QList<QUrl>{QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Quasicrystal"))});
}

void HelpWindowsTest::aboutWindowShowsLinksAndReferences() {
    bool seen = false;
    whenModal([&seen, this](QWidget* modal) {
        auto* about = qobject_cast<AboutWindow*>(modal);
        if (!about) return;
        seen = true;
        QCOMPARE(about->objectName(), QStringLiteral("frmSplash"));
        QCOMPARE(about->parentWidget(), window_);
        QVERIFY(about->windowTitle().isEmpty());
        QVERIFY(about->lblAuthor->y() < about->lblMaker->y());
        const QString references = about->lblReferences->text();
        QVERIFY(references.contains(QLatin1String("<b>References</b>")));
        for (const char* source : {"Acta Cryst.", "Z. Kristallogr.", "Phys. Rev. Lett."})
            QVERIFY2(references.contains(QLatin1String(source)), source);
        // The links open the bundled pages about the author and the maker.
        for (QLabel* link : {about->lblAuthor, about->lblMaker}) {
            const QString text = link->text();
            const int start = text.indexOf(QLatin1String("href=\"")) + 6;
            emit link->linkActivated(text.mid(start, text.indexOf('"', start) - start));
        }
        QCOMPARE(opened_.urls.size(), 2);
        QVERIFY(opened_.urls[0].toLocalFile().endsWith(QLatin1String("doc/author.html")));
        QVERIFY(opened_.urls[1].toLocalFile().endsWith(QLatin1String("doc/maker.html")));
        QCOMPARE(about->Command1->text(), QStringLiteral("OK"));
        about->Command1->click();
    });
    action("mnuHelp4")->trigger();
    QVERIFY(seen);
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
        QTest::mouseClick(about.Command1, Qt::LeftButton);
    else if (how == QLatin1String("key"))
        QTest::keyClick(&about, Qt::Key_X);
    else if (how == QLatin1String("frame"))
        QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(3, 3));
    else if (how == QLatin1String("pattern"))
        QTest::mouseClick(about.pbPattern, Qt::LeftButton);
    else
        QTest::mouseClick(about.lblReferences, Qt::LeftButton);
    QCOMPARE(about.isVisible(), !closes);
}

void HelpWindowsTest::usedMatricesShowTheBasisOfTheFields() {
    auto* panel = window_->findChild<InputPanel*>(QStringLiteral("frRight"));
    panel->cmbSystem->setCurrentIndex(0);  // octagonal
    panel->tfA->setText(QStringLiteral("1"));
    panel->tfC->setText(QStringLiteral("1"));
    const auto basis =
        buildLatticeBasis(QuasicrystalSystem::Octagonal, 1, 1, MatrixConvention::Yamamoto);
    bool seen = false;
    whenModal([&](QWidget* modal) {
        auto* view = qobject_cast<MatricesView*>(modal);
        if (!view) return;
        seen = true;
        QCOMPARE(view->objectName(), QStringLiteral("viewMX"));
        QCOMPARE(view->windowTitle(), QStringLiteral("Tesral - used matrices"));
        QCOMPARE(view->Frame2->title(), QStringLiteral(" Direct Lattice Matrix "));
        QCOMPARE(view->Frame1->title(), QStringLiteral(" Inverse Matrix "));
        const QStringList direct = view->Text1->toPlainText().split('\n');
        QCOMPARE(direct.size(), 5);
        QCOMPARE(direct.first(), QStringLiteral("   0.7071   0.7071  -0.7071   0.7071   0.0000"));
        QCOMPARE(direct.last(), QStringLiteral("   0.0000   0.0000   0.0000   0.0000   1.0000"));
        QCOMPARE(view->Text1->toPlainText(), shownLines(directMatrixText(*basis)));
        QCOMPARE(view->Text2->toPlainText(), shownLines(inverseMatrixText(*basis)));
        QVERIFY(view->Text1->isReadOnly() && view->Text2->isReadOnly());
        QCOMPARE(view->Text1->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(view->Text1->font().pointSizeF(), 8.25);
        view->Command1->click();
    });
    action("mnuView1")->trigger();
    QVERIFY(seen);
}

void HelpWindowsTest::zeroLatticeConstantIsAMessage() {
    window_->findChild<InputPanel*>(QStringLiteral("frRight"))->tfC->setText(QStringLiteral("0"));
    QString message;
    whenModal([&message](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            message = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    action("mnuView1")->trigger();
    QCOMPARE(message, QString::fromStdString(kLatticeConstantsMessage));
}

QTEST_MAIN(HelpWindowsTest)
#include "help_windows_test.moc"
