#include "app/window_session.h"

#include <QDir>

namespace tesral {

WindowSession::WindowSession(const QString& workingFolder, QObject* parent)
    : QObject(parent), workingFolder_(workingFolder) {
    dataFolder();
}

void WindowSession::publish(RunResult result, ProjectedPoints points) {
    emit aboutToChange();
    session_.publish(std::move(result), std::move(points));
    emit published();
}

void WindowSession::clear() {
    emit aboutToChange();
    session_.clear();
    emit cleared();
}

void WindowSession::setBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    emit busyChanged(busy);
}

QString WindowSession::workingFile(const QString& name) const {
    return QDir(workingFolder_).filePath(name);
}

QString WindowSession::dataFolder() const {
    const QString folder = workingFile(QStringLiteral("data"));
    QDir().mkpath(folder);  // the user may have removed it since
    return folder;
}

}  // namespace tesral
