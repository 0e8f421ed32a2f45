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
    bDEC2D = makeButton("bDEC2D", QStringLiteral("-"), out, PlotKind::ZeroLayer, &zoomOut);
    bINC2D = makeButton("bINC2D", QStringLiteral("+"), in, PlotKind::ZeroLayer, &zoomIn);
    bReset2D =
        makeButton("bReset2D", QStringLiteral("1:1"), reset, PlotKind::ZeroLayer, &resetZoom);
    bDEC3D = makeButton("bDEC3D", QStringLiteral("-"), out, PlotKind::ThreeD, &zoomOut);
    bINC3D = makeButton("bINC3D", QStringLiteral("+"), in, PlotKind::ThreeD, &zoomIn);
    bReset3D = makeButton("bReset3D", QStringLiteral("1:1"), reset, PlotKind::ThreeD, &resetZoom);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bDEC2D);
    layout->addWidget(bINC2D);
    layout->addWidget(bReset2D);
    layout->addSpacing(12);
    layout->addWidget(bDEC3D);
    layout->addWidget(bINC3D);
    layout->addWidget(bReset3D);
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
