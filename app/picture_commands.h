#pragma once

// The buttons of the powder and zone-axis views: save, copy and print the view's picture, and
// the large view, as commands over actions.

#include <QRect>
#include <functional>
#include <optional>

#include "app/command.h"

class QPushButton;

namespace tesral {

class PictureView;

/** A command on one view's picture: enabled while the view has one and no run fills the session. */
class PictureCommand : public Command {
    Q_OBJECT
  public:
    PictureCommand(QAction* action, CommandContext& context, PictureView& view);
    void updateEnabled() override;

  protected:
    PictureView& view_;
};

/** Save picture...: the picture in the format of the name the user chooses. */
class SavePictureCommand : public PictureCommand {
    Q_OBJECT
  public:
    SavePictureCommand(QAction* action, CommandContext& context, PictureView& view,
                       QString suggestedName);
    void onTriggered() override;
    /** Writes the picture to `path`; why not (also shown in a warning), or empty. */
    static QString savePicture(const CommandContext& context, const PictureView& view,
                               const QString& path);

  private:
    QString suggestedName_;
};

/** Copy: the picture on the clipboard as a metafile, SVG and a bitmap. */
class CopyPictureCommand : public PictureCommand {
    Q_OBJECT
  public:
    using PictureCommand::PictureCommand;
    void onTriggered() override { copyPicture(view_); }
    /** False when there is nothing to copy. */
    static bool copyPicture(const PictureView& view);
};

/** Print...: the page on the default printer, or a PDF file without one (the safe writer). */
class PrintPictureCommand : public PictureCommand {
    Q_OBJECT
  public:
    PrintPictureCommand(QAction* action, CommandContext& context, PictureView& view,
                        QString suggestedName);
    void onTriggered() override;
    /** Prints; why it failed, or empty. */
    static QString printPicture(const CommandContext& context, const PictureView& view,
                                const QString& suggestedName);

  private:
    QString suggestedName_;
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

}  // namespace tesral
