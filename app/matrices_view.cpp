#include "app/matrices_view.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "lattice/matrix_text.h"

namespace tesral {

namespace {

/** A box of six 54-character lines at least: room for the icosahedral matrices. */
QPlainTextEdit* makeMatrixBox(const char* name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(8.25);
    font.setBold(false);  // not the frame's bold caption font
    box->setFont(font);
    const QFontMetrics metrics(font);
    box->setMinimumWidth(qMax(400, metrics.horizontalAdvance(QString(56, QLatin1Char('0'))) + 12));
    box->setFixedHeight(qMax(107, metrics.lineSpacing() * 6 + 16));
    return box;
}

QGroupBox* makeFrame(const char* name, std::string_view heading, QPlainTextEdit* text,
                     QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral(" %1 ").arg(QLatin1String(heading)), parent);
    frame->setObjectName(QLatin1String(name));
    QFont caption(QStringLiteral("MS Sans Serif"));
    caption.setStyleHint(QFont::SansSerif);
    caption.setPointSizeF(8.25);
    caption.setBold(true);
    frame->setFont(caption);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(text);
    return frame;
}

}  // namespace

MatricesView::MatricesView(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("viewMX"));
    setWindowTitle(QStringLiteral("Tesral - used matrices"));
    directText_ = makeMatrixBox("Text1", this);
    directFrame_ = makeFrame("Frame2", kDirectMatrixHeading, directText_, this);
    inverseText_ = makeMatrixBox("Text2", this);
    inverseFrame_ = makeFrame("Frame1", kInverseMatrixHeading, inverseText_, this);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("Command1"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(directFrame_);
    layout->addWidget(inverseFrame_);
    layout->addLayout(buttons);
}

void MatricesView::setText(const QString& text, int which) {
    QPlainTextEdit* box = which == 1 ? directText_ : which == 2 ? inverseText_ : nullptr;
    if (!box) return;
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (lines.endsWith(QLatin1Char('\n'))) lines.chop(1);
    box->setPlainText(lines);
}

}  // namespace tesral
