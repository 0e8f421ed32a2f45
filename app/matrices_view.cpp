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
    Text1 = makeMatrixBox("Text1", this);
    Frame2 = makeFrame("Frame2", kDirectMatrixHeading, Text1, this);
    Text2 = makeMatrixBox("Text2", this);
    Frame1 = makeFrame("Frame1", kInverseMatrixHeading, Text2, this);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame2);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
}

void MatricesView::setText(const QString& text, int which) {
    QPlainTextEdit* box = which == 1 ? Text1 : which == 2 ? Text2 : nullptr;
    if (!box) return;
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (lines.endsWith(QLatin1Char('\n'))) lines.chop(1);
    box->setPlainText(lines);
}

}  // namespace tesral
