#include "plots/clipboard_pictures.h"

#include "plots/image_canvas.h"
#include "plots/metafile_canvas.h"
#include "plots/plot_drawing.h"
#include "plots/plot_metafile.h"
#include "plots/plot_picture.h"
#include "plots/tee_canvas.h"

namespace tesral {

std::optional<ClipboardPictures> clipboardPictures(PlotKind kind, const PlotData& data,
                                                   const PlotOptions& options,
                                                   const ClipboardTarget& where) {
    ClipboardPictures pictures;
    pictures.bitmap = ImageCanvas::makeImage(where.size, where.devicePixelRatio);
    ImageCanvas screen(pictures.bitmap, where.target.twipsPerPixelX);
    MetafileCanvas metafile(where.target, where.penWidth);
    TeeCanvas both(screen, metafile);
    if (!drawPlot(kind, data, options, where.target, both)) return std::nullopt;
    if (const auto wmf = finishPlotMetafile(metafile, where.unitsPerInch, &pictures.wmfError))
        pictures.wmf = *wmf;

    PictureSettings settings;
    settings.size = where.size;
    settings.background = where.target.background;
    settings.foreground = where.target.foreground;
    settings.font = where.target.font;
    if (const auto svg = renderPlotPicture(PictureFormat::Svg, kind, data, options, settings))
        pictures.svg = *svg;
    return pictures;
}

}  // namespace tesral
