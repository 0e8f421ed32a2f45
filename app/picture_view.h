#pragma once

// What the plots' boxes, the powder plot and the zone-axis pattern share: one drawing for
// the screen, the picture files, the clipboard and the printed page.

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <optional>

#include "plots/drawing_picture.h"
#include "plots/picture_settings.h"
#include "plots/plot_picture.h"

class QMimeData;
class QPainter;
class QPagedPaintDevice;

namespace tesral {

/**
 * A view that shows one picture. A subclass says how it draws onto a canvas (drawing()) and
 * whether it has something to draw; the base gives every other target: the picture files
 * (PNG, BMP, SVG, metafile, PDF) through the safe writer, the clipboard's metafile, SVG and
 * bitmap, and the printed page at the page's resolution. Pictures are drawn as the view
 * shows them: its size, colours and the plot font; paper is black on white.
 */
class PictureView : public QWidget {
    Q_OBJECT

  public:
    explicit PictureView(QWidget* parent = nullptr, QRgb background = kWhite,
                         QRgb foreground = kBlack);

    /** Something to save, copy or print. */
    virtual bool hasPicture() const = 0;
    /**
     * The view's drawing, its title, why it drew nothing, the shape of its page (or a page of
     * its own) and how its metafile is written.
     */
    virtual PictureDrawing drawing() const = 0;
    /** Why a picture of `settings` cannot be drawn (too small...); empty when it can. */
    virtual QString sizeProblem(const PictureSettings& settings) const;
    /** The name a save or print dialog suggests, without its extension. */
    virtual QString pictureName() const = 0;
    /**
     * The bitmaps' picture: the drawing at the view's size, or what a view that keeps its
     * screen's picture (the plots) shows. Nothing when nothing is drawn.
     */
    virtual std::optional<QImage> bitmap() const;

    QRgb backgroundColour() const { return background_; }
    QRgb foregroundColour() const { return foreground_; }
    /** Colours of the screen and of the pictures; the view redraws. */
    void setColours(QRgb background, QRgb foreground);

    /** A picture as large as the view, in its colours and the plot font. */
    PictureSettings pictureSettings() const;
    /** The view on its screen: its size in twips at the screen's resolution, colours, font. */
    PlotTarget screenTarget() const;

    /** The picture in `format` at the view's size; on failure nothing, and `reason`. */
    std::optional<QByteArray> render(PictureFormat format, QString* reason = nullptr) const;
    /** Writes the picture in the format of the path's extension; why not, or empty. */
    QString savePicture(const QString& path) const;
    /**
     * The clipboard's pictures of one drawing: SVG, the bitmap and, when it can be made, the
     * metafile (else why not); nothing without a picture.
     */
    std::optional<ClipboardPictures> clipboardPictures() const;
    /** The same as a metafile, SVG and a bitmap; null without a picture. */
    QMimeData* clipboardData() const;
    /**
     * Draws the printed page onto `device`: the view's own page, or its drawing black on white;
     * false when nothing is drawn.
     */
    bool drawPage(QPainter& painter, QPagedPaintDevice& device) const;

  signals:
    /** The picture changed, or came or went: the commands follow hasPicture(). */
    void pictureChanged();

  protected:
    /** The colours changed. */
    virtual void coloursChanged() { update(); }

  private:
    QRgb background_;
    QRgb foreground_;
};

/** The file types of a picture's save dialog; `first` (a type of it) leads. */
QString pictureFileFilter(const QString& first = QStringLiteral("PNG"));

/** The clipboard's data of `pictures`: the metafile when there is one, SVG and the bitmap. */
QMimeData* mimeDataOf(const ClipboardPictures& pictures);

}  // namespace tesral
