// tesral_grab_window: draws the main window off screen after one calculation and saves it as
// a PNG, for the pictures of the user manual.
//
//   QT_QPA_PLATFORM=offscreen tesral_grab_window OUTPUT.png [NAME=VALUE ...]
//
// Each NAME=VALUE sets a control of the input panel by its name before the run: a text field
// (tfA, tfC, tfH0..tfH5, tfTH1, tfTH2, tfQI, tfWL) takes the text, a list (cmbSystem, cmbSG8,
// cmbSG10, cmbSG12, cmbSG20, cmbAnode) the item with that text, an option button (rbYamamoto,
// rbSteurer) is selected by any value. --size=WxH changes the window size (default 1200x780).

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"

namespace {

bool setControl(QWidget& window, const QString& name, const QString& value) {
    if (auto* field = window.findChild<QLineEdit*>(name)) {
        field->setText(value);
        return true;
    }
    if (auto* list = window.findChild<QComboBox*>(name)) {
        const int index = list->findText(value);
        if (index < 0) return false;
        list->setCurrentIndex(index);
        return true;
    }
    if (auto* option = window.findChild<QRadioButton*>(name)) {
        option->setChecked(true);
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith(QLatin1Char('-'))) {
        std::fputs("usage: tesral_grab_window OUTPUT.png [--size=WxH] [NAME=VALUE ...]\n", stderr);
        return 2;
    }

    tesral::MainWindow window;
    QSize size(1200, 780);
    for (const QString& arg : args.mid(1)) {
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = arg.left(eq), value = arg.mid(eq + 1);
        if (name == QLatin1String("--size")) {
            const QStringList wh = value.split(QLatin1Char('x'));
            if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
            continue;
        }
        // The system first: choosing it selects its default group and shows its fields.
        if (eq <= 0 || !setControl(window, name, value)) {
            std::fprintf(stderr, "tesral_grab_window: cannot set %s\n", qPrintable(arg));
            return 2;
        }
    }
    window.resize(size);
    window.show();
    QApplication::processEvents();

    QEventLoop wait;
    QObject::connect(&window, &tesral::MainWindow::runEnded, &wait, &QEventLoop::quit);
    QTimer::singleShot(120000, &wait, &QEventLoop::quit);  // never hang a script
    QTimer::singleShot(0, &window, &tesral::MainWindow::executeCalculation);
    wait.exec();
    // Let the plots and the list paint.
    for (int i = 0; i < 5; ++i) QApplication::processEvents();

    if (!window.session().calculated()) {
        std::fputs("tesral_grab_window: the run did not complete\n", stderr);
        return 1;
    }
    if (!window.grab().save(args.first())) {
        std::fprintf(stderr, "tesral_grab_window: cannot write %s\n", qPrintable(args.first()));
        return 1;
    }
    return 0;
}
