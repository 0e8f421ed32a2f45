#include "app/large_view.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/plot_view.h"
#include "app/toolbar_icons.h"

namespace tesral {

namespace {

QToolButton* squareButton(QWidget* parent, const char* name, const QString& toolTip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(toolTip);
    button->setFixedSize(28, 28);  // 400 twips
    button->setIconSize(QSize(22, 22));
    return button;
}

}  // namespace

LargeView::LargeView(Session& session, const PlotOptions& options, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("frBig"));
    pbBig = new PlotView(session, options, PlotKind::ZeroLayer, this);
    pbBig->setObjectName(QStringLiteral("pbBig"));
    frBt = new QWidget(this);
    frBt->setObjectName(QStringLiteral("frBt"));
    btCopyBig = squareButton(frBt, "btCopyBig", QStringLiteral("copy to clipboard as WMF"));
    btCopyBig->setIcon(toolbarIcon(ToolbarIcon::Copy));
    btSaveBig = squareButton(frBt, "btSaveBig", QStringLiteral("save as Bitmap (*.BMP)"));
    btSaveBig->setIcon(toolbarIcon(ToolbarIcon::Save));
    btPrintBig = squareButton(frBt, "btPrintBig", QStringLiteral("print graphics"));
    btPrintBig->setIcon(toolbarIcon(ToolbarIcon::Print));
    btCloseBig = squareButton(frBt, "btCloseBig", QStringLiteral("close large view window"));
    btCloseBig->setText(QStringLiteral("X"));

    auto* buttons = new QVBoxLayout(frBt);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(1);
    buttons->addWidget(btCopyBig);
    buttons->addWidget(btSaveBig);
    buttons->addWidget(btPrintBig);
    buttons->addSpacing(6);
    buttons->addWidget(btCloseBig);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(7, 7, 2, 7);
    layout->addWidget(pbBig, 1);
    layout->addWidget(frBt);
}

bool LargeView::shows3D() const {
    return pbBig->kind() == PlotKind::ThreeD;
}

}  // namespace tesral
