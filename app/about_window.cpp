#include "app/about_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <functional>
#include <numbers>

#include "app/documents.h"

namespace tesral {

namespace {

using Drawing = void (*)(QPainter&, const QRectF&);

/** A picture drawn in code; a release over it calls `released`. */
class Picture : public QWidget {
  public:
    Picture(const char* name, Drawing drawing, QSize size, QWidget* parent)
        : QWidget(parent), drawing_(drawing) {
        setObjectName(QLatin1String(name));
        setFixedSize(size);
    }
    std::function<void()> released;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        drawing_(painter, QRectF(rect()));
    }
    void mousePressEvent(QMouseEvent* event) override {
        // Taken here, so that the release comes here too.
        event->setAccepted(static_cast<bool>(released));
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (released && rect().contains(event->position().toPoint())) released();
    }

  private:
    Drawing drawing_;
};

/**
 * The zero layer of a decagonal quasicrystal: index vectors h1..h5 in -2..2 on the five
 * in-plane basis vectors at 72 degrees, each spot weighted by how short its perpendicular
 * part (the same indices on the vectors at 144 degrees) is.
 */
void drawDecagonalPattern(QPainter& painter, const QRectF& area) {
    painter.fillRect(area, Qt::black);
    constexpr double kTurn = 2.0 * std::numbers::pi / 5.0;
    constexpr double kReach = 3.1;  // largest in-plane length drawn, in basis-vector units
    const double scale = 0.5 * std::min(area.width(), area.height()) / (kReach + 0.25);
    const QPointF centre = area.center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (int code = 0; code < 5 * 5 * 5 * 5 * 5; ++code) {
        double x = 0, y = 0, u = 0, v = 0;
        for (int k = 0, rest = code; k < 5; ++k, rest /= 5) {
            const int h = rest % 5 - 2;
            x += h * std::cos(k * kTurn);
            y += h * std::sin(k * kTurn);
            u += h * std::cos(2 * k * kTurn);
            v += h * std::sin(2 * k * kTurn);
        }
        const double weight = std::exp(-(u * u + v * v) / 1.1);
        if (weight < 0.03 || std::hypot(x, y) > kReach) continue;
        const double radius = 0.6 + 4.4 * weight;
        painter.drawEllipse(centre + QPointF(x, -y) * scale, radius, radius);
    }
}

/** The logo: a decagon around a ten-pointed star, its points joined three apart. */
void drawLogo(QPainter& painter, const QRectF& area) {
    const QPointF centre = area.center();
    const double radius = 0.46 * std::min(area.width(), area.height());
    QPolygonF corners;
    for (int k = 0; k < 10; ++k) {
        const double angle = std::numbers::pi / 2 + k * std::numbers::pi / 5;
        corners << centre + radius * QPointF(std::cos(angle), -std::sin(angle));
    }
    painter.setPen(QPen(QColor(0x1f, 0x3a, 0x6e), std::max(1.0, radius / 14)));
    painter.setBrush(QColor(0xe8, 0xee, 0xf8));
    painter.drawPolygon(corners);
    QPainterPath star;
    star.moveTo(corners[0]);
    for (int k = 1; k <= 10; ++k) star.lineTo(corners[(3 * k) % 10]);
    painter.setPen(QPen(QColor(0xb0, 0x30, 0x30), std::max(1.0, radius / 20)));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(star);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x3a, 0x6e));
    painter.drawEllipse(centre, radius / 8, radius / 8);
}

/** A link to a page of the manual, `page` being its file name. */
QLabel* makeLink(const char* name, const QString& caption, const QString& page, QWidget* parent) {
    auto* label = new QLabel(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(page.toHtmlEscaped(), caption), parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [label](const QString& link) { openManualPage(label, link); });
    return label;
}

const char* kReferences =
    "<p><b>References</b></p>"
    "<p>A. Yamamoto, &ldquo;Crystallography of quasiperiodic crystals&rdquo;, "
    "<i>Acta Cryst.</i> A52 (1996) 509&ndash;560.</p>"
    "<p>W. Steurer, &ldquo;Twenty years of structure research on quasicrystals. Part I. "
    "Pentagonal, octagonal, decagonal and dodecagonal quasicrystals&rdquo;, "
    "<i>Z. Kristallogr.</i> 219 (2004) 391&ndash;446.</p>"
    "<p>D. Levine &amp; P. J. Steinhardt, &ldquo;Quasicrystals: a new class of ordered "
    "structures&rdquo;, <i>Phys. Rev. Lett.</i> 53 (1984) 2477&ndash;2480.</p>";

}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    setModal(true);

    auto* pattern = new Picture("pbPattern", drawDecagonalPattern, QSize(260, 260), this);
    pattern->released = [this] { accept(); };
    pattern_ = pattern;
    logo_ = new Picture("pbLogo", drawLogo, QSize(56, 56), this);

    auto* title = new QLabel(QStringLiteral("<b style=\"font-size:large\">Tesral 1.0</b><br>"
                                            "Quasicrystal Reflection Generator"),
                             this);
    authorLink_ = makeLink("lblAuthor", QStringLiteral("Orvane, the author"),
                           QStringLiteral("author.html"), this);
    makerLink_ = makeLink("lblMaker", QStringLiteral("Dravok, the maker"),
                          QStringLiteral("maker.html"), this);
    references_ = new QLabel(QLatin1String(kReferences), this);
    references_->setObjectName(QStringLiteral("lblReferences"));
    references_->setWordWrap(true);
    references_->setFixedWidth(330);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("Command1"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* heading = new QHBoxLayout;
    heading->addWidget(logo_);
    heading->addWidget(title, 1);
    auto* right = new QVBoxLayout;
    right->addLayout(heading);
    right->addSpacing(6);
    right->addWidget(authorLink_);
    right->addWidget(makerLink_);
    right->addWidget(references_);
    right->addStretch();
    right->addWidget(okButton_, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(14);
    layout->addWidget(pattern_, 0, Qt::AlignTop);
    layout->addLayout(right);

    // Any key closes the window, also while the OK button has the focus.
    installEventFilter(this);
    okButton_->installEventFilter(this);
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutWindow::mousePressEvent(QMouseEvent* event) {
    // A click on the frame itself, not on a label or a picture.
    if (!childAt(event->position().toPoint())) accept();
}

void AboutWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace tesral
