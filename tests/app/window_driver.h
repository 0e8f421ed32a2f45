#pragma once

// Driving modal boxes and dialogs of the window in tests.

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace tesral::test {

/** Answers the next message box with `button` and keeps its text. */
struct MessageBoxAnswer {
    QString text;
    bool seen = false;

    void expect(QMessageBox::StandardButton button, int triesLeft = 300) {
        QTimer::singleShot(10, [this, button, triesLeft] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                if (triesLeft > 0) expect(button, triesLeft - 1);
                return;
            }
            text = box->text();
            seen = true;
            box->button(button)->click();
        });
    }
};

/** Answers the next file dialog with `path`, or cancels it when `path` is empty. */
struct FileDialogAnswer {
    QString title;
    QString suggested;  // the file name the dialog offered
    bool seen = false;

    void expect(const QString& path, int triesLeft = 300) {
        QTimer::singleShot(10, [this, path, triesLeft] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                if (triesLeft > 0) expect(path, triesLeft - 1);
                return;
            }
            title = dialog->windowTitle();
            const QStringList selected = dialog->selectedFiles();
            suggested = selected.isEmpty() ? QString() : selected.first();
            seen = true;
            if (path.isEmpty()) {
                dialog->reject();
            } else {
                // Typed into the name field, as a user would; the whole path is taken.
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (name)
                    name->setText(path);
                else
                    dialog->selectFile(path);
                static_cast<QDialog*>(dialog)->accept();
            }
        });
    }
};

/** Lets `work` act on the next modal dialog of type T once it shows (and close it). */
template <class T>
void onNextModal(std::function<void(T&)> work, int triesLeft = 300) {
    QTimer::singleShot(10, [work, triesLeft] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (triesLeft > 0) onNextModal<T>(work, triesLeft - 1);
            return;
        }
        work(*dialog);
    });
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tesral::test
