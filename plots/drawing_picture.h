#pragma once

// A drawing on the canvas interface made into the bytes of a picture file: what the plots, the
// zone-axis pattern and the powder pattern share.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

class QPainter;
class QPagedPaintDevice;

#include "plots/picture_settings.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_canvas.h"
#include "plots/plot_data.h"
#include "plots/plot_picture.h"

namespace tesral {

/** Draws onto `canvas`, a box described by `target`; false when there is nothing to draw. */
using CanvasDrawing = std::function<bool(const PlotTarget& target, PlotCanvas& canvas)>;

/** The drawing as an SVG document of the settings' size; nothing when it draws nothing. */
std::optional<QByteArray> svgOfDrawing(const PictureSettings& settings, const QString& title,
                                       const CanvasDrawing& draw);

/** The drawing as an image of the settings' size; nothing when it draws nothing. */
std::optional<QImage> imageOfDrawing(const PictureSettings& settings, const CanvasDrawing& draw);

/** The image as PNG (else BMP) bytes; nothing when it cannot be encoded. */
std::optional<QByteArray> encodedImage(const QImage& image, bool png);

/** How a metafile is written: outlines in twips (0: one picture pixel) and its units per inch. */
struct MetafileUnits {
    int penWidth = 0;
    /** kTwipsPerInch, or kLargeViewUnitsPerInch from the plots' large view. */
    int unitsPerInch = kTwipsPerInch;
};

/**
 * The drawing as a placeable metafile. On failure returns nothing and sets `reason`: too
 * large, `nothing` when the drawing draws nothing, or why the file failed.
 */
std::optional<QByteArray> metafileOfDrawing(const PictureSettings& settings,
                                            const CanvasDrawing& draw, const QString& nothing,
                                            QString* reason, MetafileUnits units = {});

/**
 * Draws onto a page of `device`: laid out as on a 96 dots-per-inch screen of the page's
 * printable size (the settings' size is ignored; `square` keeps a square as wide as the page
 * at its top) and scaled to the device's resolution, the font sized in those pixels so that
 * text is measured and drawn at one size. False when the drawing draws nothing.
 */
bool drawOnPage(QPainter& painter, QPagedPaintDevice& device, const PictureSettings& settings,
                const CanvasDrawing& draw, bool square = false);

/** The drawing on one A4 page as a PDF document (see drawOnPage); nothing when it draws nothing. */
std::optional<QByteArray> pdfOfDrawing(const PictureSettings& settings, const CanvasDrawing& draw,
                                       bool landscape, bool square = false);

/** One picture to be written in any format. */
struct PictureDrawing {
    CanvasDrawing draw;
    /** The title of an SVG and a PDF document. */
    QString title;
    /** Why the drawing drew nothing. */
    QString nothing;
    /** The PDF page: landscape, and a square as wide as the page instead of the whole page. */
    bool landscape = false;
    bool square = false;
    /** A printed page of its own (the plots' banner and run line) instead of drawOnPage's. */
    std::function<void(QPainter& painter, QPagedPaintDevice& device)> page;
    MetafileUnits metafile;
};

/** One picture for the clipboard, for programs with and without a metafile reader. */
struct ClipboardPictures {
    QByteArray wmf;  // a placeable metafile; empty when it could not be made
    QString wmfError;
    QByteArray svg;
    QImage bitmap;
};

/**
 * The drawing in `format`: a bitmap, SVG or placeable metafile of the settings' size and
 * colours, or a PDF page (black on white, see drawOnPage). On failure returns nothing and,
 * when `reason` is given, sets it.
 */
std::optional<QByteArray> pictureBytes(PictureFormat format, const PictureSettings& settings,
                                       const PictureDrawing& drawing, QString* reason = nullptr);

/** `font` sized in pixels of a 96 dots-per-inch screen, to be measured and drawn alike anywhere. */
QFont screenPixelFont(const QFont& font);

}  // namespace tesral
