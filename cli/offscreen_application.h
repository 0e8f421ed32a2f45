#pragma once

#include <QGuiApplication>
#include <iostream>

namespace tesral::cli {

/**
 * The GUI application that fonts and the SVG writer need, on the offscreen platform (no
 * display); only Qt's critical messages reach standard error.
 */
class OffscreenApplication {
  public:
    OffscreenApplication() : application_(argc_, argv_) {}

  private:
    static int quietMessages() {
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::cerr << text.toStdString() << '\n';
        });
        return 3;
    }

    int argc_ = quietMessages();
    char name_[11] = "tesral-cli";
    char platform_[10] = "-platform";
    char offscreen_[10] = "offscreen";
    char* argv_[4] = {name_, platform_, offscreen_, nullptr};
    QGuiApplication application_;
};

}  // namespace tesral::cli
