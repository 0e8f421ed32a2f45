#include "app/output_chooser.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tesral {

OutputChooser::OutputChooser(const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg2OR3"));
    setWindowTitle(QString());
    frame_ = new QGroupBox(caption, this);
    frame_->setObjectName(QStringLiteral("Frame1"));
    zeroLayerOption_ = new QRadioButton(QStringLiteral("2D plot - 0. layer"), frame_);
    zeroLayerOption_->setObjectName(QStringLiteral("Option1"));
    threeDOption_ = new QRadioButton(QStringLiteral("3D plot"), frame_);
    threeDOption_->setObjectName(QStringLiteral("Option2"));
    listOption_ = new QRadioButton(QStringLiteral("reflection list"), frame_);
    listOption_->setObjectName(QStringLiteral("Option3"));
    zeroLayerOption_->setChecked(true);
    auto* options = new QVBoxLayout(frame_);
    options->addWidget(zeroLayerOption_);
    options->addWidget(threeDOption_);
    options->addWidget(listOption_);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame_);
    layout->addLayout(buttons);

    connect(okButton_, &QPushButton::clicked, this, [this] {
        cancelled_ = false;
        mode_ = zeroLayerOption_->isChecked() ? ZeroLayerPlot
                : threeDOption_->isChecked()  ? ThreeDPlot
                : listOption_->isChecked()    ? ReflectionList
                                              : NoTarget;
        accept();
    });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    // The close box and Escape end here too: cancelled_ stays true.
}

int OutputChooser::choose(const QString& caption, QWidget* anchor, QWidget* parent) {
    OutputChooser chooser(caption, parent);
    if (anchor) chooser.move(anchor->mapToGlobal(QPoint(0, anchor->height() + 20)));
    chooser.exec();
    return chooser.cancelled_ ? NoTarget : chooser.mode_;
}

}  // namespace tesral
