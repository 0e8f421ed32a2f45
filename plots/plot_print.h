#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <functional>
#include <optional>

#include "engine/run_parameters.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

class QPainter;
class QPagedPaintDevice;

namespace tesral {

/** The line under the banner: "N reflections, " then the group, lattice and limits texts. */
QString printedRunLine(std::size_t reflectionCount, const RunHeader& header);

/**
 * Draws one printed page of a plot: the banner "Tesral 1.0", the run line, a rule, then the
 * spots about the page centre, outlined in black (unfilled spots are outlines only), main
 * spots in red, index labels on the 2D plot only. `pageSize` is the page in the painter's
 * units (device pixels) and `twipsPerPixel` the size of one of them. False when the spots
 * could not be drawn (nothing to scale by); the banner is on the page either way.
 */
bool drawPrintedPlot(QPainter& painter, QSizeF pageSize, double twipsPerPixel, PlotKind kind,
                     const PlotData& data, const PlotOptions& options, const RunHeader& header);

/** Printer pixels of a PDF printout: a classic laser printer's 300 dots per inch. */
inline constexpr int kPdfResolution = 300;

/** Paints the pages of one printout; the device gives the page size and newPage(). */
using PagePainter = std::function<void(QPainter& painter, QPagedPaintDevice& device)>;

/** The printable area of a page in the device's pixels. */
QSizeF printablePageSize(const QPagedPaintDevice& device);

/**
 * A printout as a PDF document (A4, 10 mm margins, upright or landscape); nothing when it
 * cannot be made.
 */
std::optional<QByteArray> renderPdfDocument(const PagePainter& paint, bool landscape = false);

}  // namespace tesral
