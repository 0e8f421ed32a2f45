#include "app/picture_commands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>

#include "app/picture_view.h"
#include "app/printing.h"
#include "app/save_dialog.h"
#include "app/window_session.h"

namespace tesral {

namespace {

QString dataFolder(const CommandContext& context) {
    return context.session ? context.session->dataFolder() : QString();
}

}  // namespace

PictureCommand::PictureCommand(QAction* action, CommandContext& context, PictureView& view)
    : Command(action, context), view_(view) {
    connect(&view, &PictureView::pictureChanged, this, [this] { updateEnabled(); });
}

void PictureCommand::updateEnabled() {
    action()->setEnabled(view_.hasPicture() && !(context_.session && context_.session->busy()));
}

SavePictureCommand::SavePictureCommand(QAction* action, CommandContext& context, PictureView& view,
                                       QString suggestedName)
    : PictureCommand(action, context, view), suggestedName_(std::move(suggestedName)) {}

void SavePictureCommand::onTriggered() {
    const QString path = askSavePath(view_.window(), action()->text().remove(QLatin1Char('&')),
                                     QDir(dataFolder(context_)).filePath(suggestedName_),
                                     pictureFileFilter(), QStringLiteral("png"));
    if (!path.isEmpty()) savePicture(context_, view_, path);
}

QString SavePictureCommand::savePicture(const CommandContext& context, const PictureView& view,
                                        const QString& path) {
    const QString error = view.savePicture(path);
    if (!error.isEmpty() && context.window) showWarning(context, error);
    return error;
}

bool CopyPictureCommand::copyPicture(const PictureView& view) {
    QMimeData* data = view.clipboardData();
    if (!data) return false;
    QApplication::clipboard()->setMimeData(data);
    return true;
}

PrintPictureCommand::PrintPictureCommand(QAction* action, CommandContext& context,
                                         PictureView& view, QString suggestedName)
    : PictureCommand(action, context, view), suggestedName_(std::move(suggestedName)) {}

void PrintPictureCommand::onTriggered() {
    printPicture(context_, view_, suggestedName_);
}

QString PrintPictureCommand::printPicture(const CommandContext& context, const PictureView& view,
                                          const QString& suggestedName) {
    if (!view.hasPicture()) return {};
    const QString error = printDocument(
        view.window(), dataFolder(context), suggestedName,
        [&view](QPainter& painter, QPagedPaintDevice& device) { view.drawPage(painter, device); },
        view.drawing().landscape);
    if (!error.isEmpty() && context.window) showWarning(context, error);
    return error;
}

LargeWindowCommand::LargeWindowCommand(QAction* action, CommandContext& context, QWidget& window)
    : Command(action, context), window_(window) {}

void LargeWindowCommand::toggle(QWidget& window, std::optional<QRect>& normal) {
    if (normal) {
        window.setGeometry(*normal);
        normal.reset();
        return;
    }
    normal = window.geometry();
    if (const QScreen* s = window.screen()) window.setGeometry(s->availableGeometry());
}

ViewCommand::ViewCommand(QAction* action, CommandContext& context, std::function<void()> work,
                         std::function<bool()> enabled)
    : Command(action, context), work_(std::move(work)), enabled_(std::move(enabled)) {}

void ViewCommand::updateEnabled() {
    action()->setEnabled(!enabled_ || enabled_());
}

QPushButton* commandButton(QWidget* owner, QAction* action, const char* name) {
    auto* button = new QPushButton(action->text());
    button->setObjectName(QLatin1String(name));
    button->setToolTip(action->toolTip());
    button->setEnabled(action->isEnabled());
    owner->addAction(action);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::enabledChanged, button, &QPushButton::setEnabled);
    return button;
}

}  // namespace tesral
