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
    plot_ = new PlotView(session, options, PlotKind::ZeroLayer, this);
    plot_->setObjectName(QStringLiteral("pbBig"));
    buttons_ = new QWidget(this);
    buttons_->setObjectName(QStringLiteral("frBt"));
    copyButton_ = squareButton(buttons_, "btCopyBig", QStringLiteral("copy to clipboard as WMF"));
    copyButton_->setIcon(toolbarIcon(ToolbarIcon::Copy));
    saveButton_ = squareButton(buttons_, "btSaveBig", QStringLiteral("save as Bitmap (*.BMP)"));
    saveButton_->setIcon(toolbarIcon(ToolbarIcon::Save));
    printButton_ = squareButton(buttons_, "btPrintBig", QStringLiteral("print graphics"));
    printButton_->setIcon(toolbarIcon(ToolbarIcon::Print));
    closeButton_ = squareButton(buttons_, "btCloseBig", QStringLiteral("close large view window"));
    closeButton_->setText(QStringLiteral("X"));

    auto* buttons = new QVBoxLayout(buttons_);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(1);
    buttons->addWidget(copyButton_);
    buttons->addWidget(saveButton_);
    buttons->addWidget(printButton_);
    buttons->addSpacing(6);
    buttons->addWidget(closeButton_);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(7, 7, 2, 7);
    layout->addWidget(plot_, 1);
    layout->addWidget(buttons_);
}

bool LargeView::shows3D() const {
    return plot_->kind() == PlotKind::ThreeD;
}

}  // namespace tesral
