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
    Frame1 = new QGroupBox(caption, this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Option1 = new QRadioButton(QStringLiteral("2D plot - 0. layer"), Frame1);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("3D plot"), Frame1);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option3 = new QRadioButton(QStringLiteral("reflection list"), Frame1);
    Option3->setObjectName(QStringLiteral("Option3"));
    Option1->setChecked(true);
    auto* options = new QVBoxLayout(Frame1);
    options->addWidget(Option1);
    options->addWidget(Option2);
    options->addWidget(Option3);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, [this] {
        bCancelled = false;
        mode = Option1->isChecked()   ? ZeroLayerPlot
               : Option2->isChecked() ? ThreeDPlot
               : Option3->isChecked() ? ReflectionList
                                      : NoTarget;
        accept();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // The close box and Escape end here too: bCancelled stays true.
}

int OutputChooser::choose(const QString& caption, QWidget* anchor, QWidget* parent) {
    OutputChooser chooser(caption, parent);
    if (anchor) chooser.move(anchor->mapToGlobal(QPoint(0, anchor->height() + 20)));
    chooser.exec();
    return chooser.bCancelled ? NoTarget : chooser.mode;
}

}  // namespace tesral
