#include "app/save_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tesral {

QString withDefaultSuffix(const QString& path, const QString& suffix) {
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path.endsWith(QLatin1Char('.')) ? path + suffix : path + QLatin1Char('.') + suffix;
}

QString askSavePath(QWidget* parent, const QString& caption, const QString& suggested,
                    const QString& filter, const QString& suffix) {
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the suffix itself before it asks about replacing a file.
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return withDefaultSuffix(dialog.selectedFiles().constFirst(), suffix);
}

}  // namespace tesral
