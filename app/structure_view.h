#pragma once

#include <QImage>
#include <memory>
#include <vector>

#include "app/picture_view.h"
#include "plots/structure_drawing.h"

namespace tesral {

/** A slab of atoms as the worker made it: what the structure view draws. */
struct StructureSlab {
    std::vector<StructureDrawingAtom> atoms;
    std::vector<QString> siteElements;
    std::array<double, 3> axis{0, 0, 1};
    double height = 0.0;     // angstrom
    double thickness = 1.0;  // angstrom
    /** The patch's radius: the half width shown at zoom 1, angstrom. */
    double radius = 1.0;
    QString title;
    /** The tiling's edge and its sites, as StructureDrawingData has them. */
    double tilingEdge = 0.0;
    std::vector<bool> tilingSites;
};

/**
 * The box of the structure view (pbStructure): the slab's atoms, scaled to its size, and a
 * message without one. The wheel and the keys + and - zoom about the middle, a drag moves the
 * picture, 0 and a double click show the whole patch again.
 */
class StructureView : public PictureView {
    Q_OBJECT

  public:
    explicit StructureView(QWidget* parent = nullptr);

    void showSlab(std::shared_ptr<const StructureSlab> slab);
    /** No slab: `text` in the middle of the box. */
    void showMessage(const QString& text);
    void setEdges(bool edges);
    bool edges() const { return edges_; }
    /** 1 shows the whole patch; above 1 magnifies. */
    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    /** Zoom 1 about the origin. */
    void showWhole();

    /** What the box draws, for every target; spans into the slab shown. */
    StructureDrawingData data() const;
    const StructureSlab* slab() const { return slab_.get(); }
    QString message() const { return message_; }

    bool hasPicture() const override { return slab_ != nullptr; }
    PictureDrawing drawing() const override;
    QString pictureName() const override { return QStringLiteral("structure"); }

  protected:
    void coloursChanged() override { redraw(); }
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void redraw();

    std::shared_ptr<const StructureSlab> slab_;
    QString message_;
    bool edges_ = false;
    double zoom_ = 1.0;
    /** The plane point at the middle of the picture, angstrom. */
    std::array<double, 2> centre_{};
    QPointF dragFrom_;
    QImage picture_;
};

}  // namespace tesral
