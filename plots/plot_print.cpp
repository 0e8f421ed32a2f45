#include "plots/plot_print.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "plots/painter_canvas.h"
#include "plots/plot_drawing.h"

namespace tesral {

namespace {

/** Paper shows spots in black outlines; an unfilled spot lets what lies below show. */
class PrinterCanvas : public PlotCanvas {
  public:
    PrinterCanvas(PlotCanvas& page, bool filledSpots) : page_(page), filled_(filledSpots) {}

    void clear(QRgb) override {}  // the paper stays white
    void circle(double x, double y, double r, QRgb, QRgb fill) override {
        page_.circle(x, y, r, kBlack, filled_ ? fill : qRgba(0, 0, 0, 0));
    }
    void text(double x, double y, const QString& text, QRgb colour, const QFont& font,
              TextRole role) override {
        if (role == TextRole::Label) page_.text(x, y, text, colour, font, role);
    }

  private:
    PlotCanvas& page_;
    bool filled_;
};

QFont printerFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace

QString printedRunLine(std::size_t reflectionCount, const RunHeader& header) {
    return QString::number(reflectionCount) + QStringLiteral(" reflections, ") +
           QString::fromStdString(header.groupText) + QStringLiteral(", ") +
           QString::fromStdString(header.latticeText) + QStringLiteral(", ") +
           QString::fromStdString(header.limitsText);
}

bool drawPrintedPlot(QPainter& painter, QSizeF pageSize, double twipsPerPixel, PlotKind kind,
                     const PlotData& data, const PlotOptions& options, const RunHeader& header) {
    // The banner is laid out in pixels of a 96 dots-per-inch screen, so its 10 and 8 point
    // lines fit above the rule at any printer resolution; the spots use printer pixels.
    const double p = std::max(1.0, 15.0 / twipsPerPixel);
    const double width = pageSize.width();
    // Banner: program name and the run on a white band, ruled off from the plot.
    painter.fillRect(QRectF(0, 0, width, 34 * p), Qt::white);
    painter.setPen(Qt::black);
    const auto textAt = [&painter](double x, double top, const QString& text) {
        painter.drawText(QPointF(x, top + painter.fontMetrics().ascent()), text);
    };
    painter.setFont(printerFont(QStringLiteral("Arial"), 10, true));
    textAt(10 * p, 10 * p, QStringLiteral("Tesral 1.0"));
    painter.setFont(printerFont(QStringLiteral("Arial"), 8, false));
    textAt(10 * p, 22 * p, printedRunLine(data.table.size(), header));
    painter.drawLine(QPointF(0, 34 * p), QPointF(width, 34 * p));

    PlotTarget target;
    target.twipsPerPixelX = target.twipsPerPixelY = twipsPerPixel;
    target.width = width * twipsPerPixel;
    target.height = pageSize.height() * twipsPerPixel;
    // A black surface colour: the grey rules darken small theta and small qi on paper.
    target.background = kBlack;
    target.foreground = kBlack;
    target.font = printerFont(QStringLiteral("Arial"), 6, false);
    target.printed = true;
    PainterCanvas page(painter, pageSize, twipsPerPixel);
    PrinterCanvas canvas(page, options.filledSpots);
    return drawPlot(kind, data, options, target, canvas);
}

QSizeF printablePageSize(const QPagedPaintDevice& device) {
    return QSizeF(device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
}

std::optional<QByteArray> renderPdfDocument(const PagePainter& paint, bool landscape) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        if (landscape) writer.setPageOrientation(QPageLayout::Landscape);
        writer.setTitle(QStringLiteral("Tesral 1.0"));
        writer.setCreator(QStringLiteral("Tesral 1.0"));
        QPainter painter;
        if (!painter.begin(&writer)) return std::nullopt;
        paint(painter, writer);
        painter.end();
    }
    return bytes;
}

}  // namespace tesral
