#include "app/picture_commands.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>

#include "app/native_files.h"
#include "app/printing.h"
#include "app/save_dialog.h"
#include "app/window_session.h"

namespace tesral {

namespace {

QString dataFolder(const CommandContext& context) {
    return context.session ? context.session->dataFolder() : QString();
}

}  // namespace

PictureSource::PictureSource(PictureView& view) : view([&view] { return &view; }) {}

PictureSource::PictureSource(std::function<PictureView*()> box)
    : view(std::move(box)), needsResults(true) {}

PictureCommand::PictureCommand(QAction* action, CommandContext& context, PictureSource source)
    : Command(action, context), source_(std::move(source)) {
    if (!source_.needsResults)
        connect(source_.view(), &PictureView::pictureChanged, this, [this] { updateEnabled(); });
}

void PictureCommand::updateEnabled() {
    if (source_.needsResults) return Command::updateEnabled();
    action()->setEnabled(source_.view()->hasPicture() &&
                         !(context_.session && context_.session->busy()));
}

const PictureView* PictureCommand::pictureOf(const CommandContext& context,
                                             const PictureSource& source) {
    if (source.needsResults && !haveData(context)) return nullptr;
    const PictureView* view = source.view();
    return view->hasPicture() ? view : nullptr;
}

SavePictureCommand::SavePictureCommand(QAction* action, CommandContext& context,
                                       PictureSource source, PictureFiles files)
    : PictureCommand(action, context, std::move(source)), files_(std::move(files)) {
    if (files_.title.isEmpty()) files_.title = action->text().remove(QLatin1Char('&'));
}

void SavePictureCommand::save(const CommandContext& context, const PictureSource& source,
                              const PictureFiles& files) {
    const PictureView* view = pictureOf(context, source);
    if (!view) return;
    const QString suggested = view->pictureName() + QLatin1Char('.') + files.suffix;
    const QString path =
        askSavePath(view->window(), files.title, QDir(dataFolder(context)).filePath(suggested),
                    files.filter, files.suffix);
    if (!path.isEmpty()) savePicture(context, *view, path);  // cancelled: nothing is written
}

QString SavePictureCommand::savePicture(const CommandContext& context, const PictureView& view,
                                        const QString& path) {
    const QString error = view.savePicture(path);
    if (!error.isEmpty() && context.window) showWarning(context, error);
    return error;
}

CopyPictureCommand::CopyPictureCommand(QAction* action, CommandContext& context,
                                       PictureSource source, QString workingFile)
    : PictureCommand(action, context, std::move(source)), workingFile_(std::move(workingFile)) {}

void CopyPictureCommand::copy(const CommandContext& context, const PictureSource& source,
                              const QString& workingFile) {
    if (const PictureView* view = pictureOf(context, source))
        copyPicture(context, *view, workingFile);
}

bool CopyPictureCommand::copyPicture(const CommandContext& context, const PictureView& view,
                                     const QString& workingFile) {
    // A copy that fails leaves no older picture behind.
    QApplication::clipboard()->clear();
    const std::optional<ClipboardPictures> pictures = view.clipboardPictures();
    if (!pictures) return false;
    if (!workingFile.isEmpty()) {
        if (pictures->wmf.isEmpty()) {
            showWarning(context, pictures->wmfError);
            return false;
        }
        const QString path = context.session->workingFile(workingFile);
        if (const auto failure =
                writeBytesSafely(path, pictures->wmf, SafeFile::Accept::RegularFilesOnly))
            showWriteError(context, path, *failure);
    }
    QApplication::clipboard()->setMimeData(mimeDataOf(*pictures));
    return true;
}

void CopyBitmapCommand::onTriggered() {
    const PictureView* view = pictureOf(context_, source_);
    if (!view) return;
    if (const std::optional<QImage> bitmap = view->bitmap())
        QApplication::clipboard()->setImage(*bitmap);
}

void PrintPictureCommand::print(const CommandContext& context, const PictureSource& source) {
    if (const PictureView* view = pictureOf(context, source)) printPicture(context, *view);
}

QString PrintPictureCommand::printPicture(const CommandContext& context, const PictureView& view) {
    if (!view.hasPicture()) return {};
    const QString error = printDocument(
        view.window(), dataFolder(context), view.pictureName() + QStringLiteral(".pdf"),
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

void addPictureButtons(QBoxLayout& column, QWidget& window, CommandContext& context,
                       PictureView& view, const char* prefix, std::function<void()> draw) {
    const auto add = [&](const char* text, const char* name) {
        auto* action = new QAction(QString::fromLatin1(text), &window);
        const std::string objectName = std::string("bt") + prefix + name;
        column.addWidget(commandButton(&window, action, objectName.c_str()));
        return action;
    };
    attach<ViewCommand>(add("Draw", "Draw"), context, std::move(draw));
    attach<SavePictureCommand>(add("Save...", "Save"), context, view);
    attach<CopyPictureCommand>(add("Copy", "Copy"), context, view);
    attach<PrintPictureCommand>(add("Print...", "Print"), context, view);
    attach<LargeWindowCommand>(add("Large view", "Large"), context, window);
}

}  // namespace tesral
