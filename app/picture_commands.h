#pragma once

// The commands of the views' pictures (the plots, the powder and zone-axis views): save, copy
// and print, and the large view of a view's window, as commands over actions.

#include <QRect>
#include <functional>
#include <optional>

#include "app/command.h"
#include "app/picture_view.h"

class QBoxLayout;
class QPushButton;

namespace tesral {

/** The view a picture command works on. */
struct PictureSource {
    /** One view: its commands are disabled while it has no picture. */
    PictureSource(PictureView& view);
    /** The plots: the box that shows a plot when the command runs; "no data" before a run. */
    explicit PictureSource(std::function<PictureView*()> box);

    std::function<PictureView*()> view;
    bool needsResults = false;
};

/** The file types of a save dialog, the extension of a name without one, and its title. */
struct PictureFiles {
    QString filter = pictureFileFilter();
    QString suffix = QStringLiteral("png");
    /** Empty: the command's text. */
    QString title;
};

/** A command on a view's picture: enabled while the view has one and no run fills the session. */
class PictureCommand : public Command {
    Q_OBJECT
  public:
    PictureCommand(QAction* action, CommandContext& context, PictureSource source);
    void updateEnabled() override;
    /** The source's view when it has a picture; else nothing (the plots say "no data"). */
    static const PictureView* pictureOf(const CommandContext& context, const PictureSource& source);

  protected:
    PictureSource source_;
};

/** Save picture...: the picture in the format of the name the user chooses. */
class SavePictureCommand : public PictureCommand {
    Q_OBJECT
  public:
    SavePictureCommand(QAction* action, CommandContext& context, PictureSource source,
                       PictureFiles files = {});
    void onTriggered() override { save(context_, source_, files_); }
    /** Asks for the file, then saves (the dialog titled by `files`). */
    static void save(const CommandContext& context, const PictureSource& source,
                     const PictureFiles& files);
    /** Writes the picture to `path`; why not (also shown in a warning), or empty. */
    static QString savePicture(const CommandContext& context, const PictureView& view,
                               const QString& path);

  private:
    PictureFiles files_;
};

/**
 * Copy: the picture on the clipboard as a metafile, SVG and a bitmap. With a working file
 * (the plots' "a.wmf") the metafile is needed: it is written there too, and a picture too
 * large for one says so instead of copying.
 */
class CopyPictureCommand : public PictureCommand {
    Q_OBJECT
  public:
    CopyPictureCommand(QAction* action, CommandContext& context, PictureSource source,
                       QString workingFile = {});
    void onTriggered() override { copy(context_, source_, workingFile_); }
    static void copy(const CommandContext& context, const PictureSource& source,
                     const QString& workingFile = {});
    /** False when there is nothing to copy. */
    static bool copyPicture(const CommandContext& context, const PictureView& view,
                            const QString& workingFile = {});

  private:
    QString workingFile_;
};

/** Copy as BMP: the bitmap alone on the clipboard. */
class CopyBitmapCommand : public PictureCommand {
    Q_OBJECT
  public:
    using PictureCommand::PictureCommand;
    void onTriggered() override;
};

/** Print...: the page on the default printer, or a PDF file without one (the safe writer). */
class PrintPictureCommand : public PictureCommand {
    Q_OBJECT
  public:
    using PictureCommand::PictureCommand;
    void onTriggered() override { print(context_, source_); }
    static void print(const CommandContext& context, const PictureSource& source);
    /** Prints; why it failed, or empty. */
    static QString printPicture(const CommandContext& context, const PictureView& view);
};

/** Large view: the view's window over the whole screen, and back. */
class LargeWindowCommand : public Command {
    Q_OBJECT
  public:
    LargeWindowCommand(QAction* action, CommandContext& context, QWidget& window);
    void onTriggered() override { toggle(window_, normal_); }
    void updateEnabled() override {}
    /** Set by hand: without a window manager a window cannot be maximised. */
    static void toggle(QWidget& window, std::optional<QRect>& normal);

  private:
    QWidget& window_;
    std::optional<QRect> normal_;
};

/** A view's own button (Calculate, Draw, Refine...): its work, enabled while `enabled` says. */
class ViewCommand : public Command {
    Q_OBJECT
  public:
    ViewCommand(QAction* action, CommandContext& context, std::function<void()> work,
                std::function<bool()> enabled = {});
    void onTriggered() override { work_(); }
    void updateEnabled() override;

  private:
    std::function<void()> work_;
    std::function<bool()> enabled_;
};

/**
 * A push button that triggers `action` and follows its enabled state; the action is added to
 * `owner`, so its shortcut works there.
 */
QPushButton* commandButton(QWidget* owner, QAction* action, const char* name);

/**
 * A picture window's buttons added to `column`, one under the other: Draw (runs `draw`),
 * Save..., Copy and Print... of `view`, and Large view of `window`; named btPREFIXDraw,
 * btPREFIXSave, btPREFIXCopy, btPREFIXPrint and btPREFIXLarge.
 */
void addPictureButtons(QBoxLayout& column, QWidget& window, CommandContext& context,
                       PictureView& view, const char* prefix, std::function<void()> draw);

}  // namespace tesral
