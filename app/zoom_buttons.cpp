#include "app/zoom_buttons.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace tesral {

ZoomButtons::ZoomButtons(PlotOptions& options, QWidget* parent)
    : QWidget(parent), options_(options) {
    setObjectName(QStringLiteral("zoomButtons"));
    const QString out = QStringLiteral("zoom out");
    const QString in = QStringLiteral("zoom in");
    const QString reset = QStringLiteral("reset zoom");
    zoomOut2D_ = makeButton("bDEC2D", QStringLiteral("-"), out, PlotKind::ZeroLayer, &zoomOut);
    zoomIn2D_ = makeButton("bINC2D", QStringLiteral("+"), in, PlotKind::ZeroLayer, &zoomIn);
    reset2D_ =
        makeButton("bReset2D", QStringLiteral("1:1"), reset, PlotKind::ZeroLayer, &resetZoom);
    zoomOut3D_ = makeButton("bDEC3D", QStringLiteral("-"), out, PlotKind::ThreeD, &zoomOut);
    zoomIn3D_ = makeButton("bINC3D", QStringLiteral("+"), in, PlotKind::ThreeD, &zoomIn);
    reset3D_ = makeButton("bReset3D", QStringLiteral("1:1"), reset, PlotKind::ThreeD, &resetZoom);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(zoomOut2D_);
    layout->addWidget(zoomIn2D_);
    layout->addWidget(reset2D_);
    layout->addSpacing(12);
    layout->addWidget(zoomOut3D_);
    layout->addWidget(zoomIn3D_);
    layout->addWidget(reset3D_);
}

QToolButton* ZoomButtons::makeButton(const char* name, const QString& text, const QString& toolTip,
                                     PlotKind kind, void (*change)(PlotOptions&, PlotKind)) {
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(toolTip);
    connect(button, &QToolButton::clicked, this, [this, kind, change] {
        change(options_, kind);
        emit zoomChanged(kind);
    });
    return button;
}

}  // namespace tesral
