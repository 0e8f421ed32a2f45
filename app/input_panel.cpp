#include "app/input_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/limit_spinner.h"
#include "engine/groups.h"
#include "engine/wavelength.h"

namespace tesral {

namespace {

constexpr int kSystemCount = 4;

QuasicrystalSystem systemAt(int systemIndex) {
    return static_cast<QuasicrystalSystem>(systemIndex + 1);
}

int indexOf(QuasicrystalSystem system) {
    return systemCode(system) - 1;
}

QString toQt(const std::string& s) {
    return QString::fromStdString(s);
}

std::string textOf(const QLineEdit* field) {
    return field->text().toStdString();
}

/** A field about `characters` digits wide. */
QLineEdit* makeField(QWidget* parent, const char* name, const QString& toolTip, int characters) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setToolTip(toolTip);
    const int digit = field->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    field->setFixedWidth(digit * characters + 8);
    return field;
}

QComboBox* makeList(QWidget* parent, const char* name) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    return list;
}

QGroupBox* makeGroup(QWidget* parent, const char* caption) {
    return new QGroupBox(QLatin1String(caption), parent);
}

QIcon magnifierIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.6));
    painter.drawEllipse(QRectF(2.0, 2.0, 8.0, 8.0));
    painter.setPen(QPen(Qt::black, 2.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(9.5, 9.5), QPointF(14.0, 14.0));
    return QIcon(pixmap);
}

}  // namespace

InputPanel::InputPanel(QWidget* parent) : QFrame(parent), frRight2(new QFrame(this)) {
    setObjectName(QStringLiteral("frRight"));
    frRight2->setObjectName(QStringLiteral("frRight2"));

    auto* inner = new QVBoxLayout(frRight2);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->addWidget(createSpaceGroupBox());
    inner->addWidget(createLatticeBox());
    inner->addWidget(createConventionBox());
    inner->addWidget(createLoopBox());
    inner->addWidget(createThetaBox());
    inner->addWidget(createQiBox());
    inner->addWidget(createWavelengthBox());
    inner->addStretch();
    inner->addWidget(createFindRow());

    // Narrow margins keep the panel beside the plots about 220 px wide.
    for (QGroupBox* box : frRight2->findChildren<QGroupBox*>())
        box->layout()->setContentsMargins(6, 4, 6, 4);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frRight2);

    // One place for the start-up values: a default RunInputs.
    setInputs(RunInputs{});
    applyAnode(cmbAnode->currentIndex());
    setFixedWidth(sizeHint().width());
}

QWidget* InputPanel::createSpaceGroupBox() {
    QGroupBox* box = makeGroup(frRight2, "space group");
    cmbSystem = makeList(box, "cmbSystem");
    cmbSystem->addItems({QStringLiteral("Octagonal"), QStringLiteral("Decagonal"),
                         QStringLiteral("Dodecagonal"), QStringLiteral("Icosahedral")});
    cmbSG8 = makeList(box, "cmbSG8");
    cmbSG10 = makeList(box, "cmbSG10");
    cmbSG12 = makeList(box, "cmbSG12");
    cmbSG20 = makeList(box, "cmbSG20");

    auto* layout = new QGridLayout(box);
    layout->addWidget(cmbSystem, 0, 0);
    for (int i = 0; i < kSystemCount; ++i) {
        QComboBox* list = groupList(i);
        for (const SpaceGroupEntry& group : groupsOfSystem(systemAt(i)))
            list->addItem(toQt(std::string(group.symbol)));
        // The four lists share one cell; applySystem shows one of them.
        layout->addWidget(list, 1, 0);
    }
    connect(cmbSystem, &QComboBox::currentIndexChanged, this,
            [this](int index) { applySystem(index); });
    return box;
}

QWidget* InputPanel::createLatticeBox() {
    QGroupBox* box = makeGroup(frRight2, "lattice constants");
    tfA = makeField(box, "tfA", QStringLiteral("lattice constant a"), 6);
    tfC = makeField(box, "tfC", QStringLiteral("lattice constant c"), 6);
    Label4 = new QLabel(QStringLiteral("c ="), box);
    Label4->setObjectName(QStringLiteral("Label4"));

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(new QLabel(QStringLiteral("a = "), box));
    layout->addWidget(tfA);
    layout->addStretch();
    layout->addWidget(Label4);
    layout->addWidget(tfC);
    return box;
}

QWidget* InputPanel::createConventionBox() {
    QGroupBox* box = makeGroup(frRight2, "lattice matrix type");
    rbYamamoto = new QRadioButton(QStringLiteral("Yamamoto"), box);
    rbYamamoto->setObjectName(QStringLiteral("rbYamamoto"));
    rbSteurer = new QRadioButton(QStringLiteral("Steurer"), box);
    rbSteurer->setObjectName(QStringLiteral("rbSteurer"));

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(rbYamamoto);
    layout->addWidget(rbSteurer);
    return box;
}

QWidget* InputPanel::createLoopBox() {
    QGroupBox* box = makeGroup(frRight2, "loop indices");
    std::array<LimitSpinner*, 6> spinners{};
    for (int i = 0; i < 6; ++i) {
        const QByteArray name = "tfH" + QByteArray::number(i);
        tfH[i] = makeField(box, name.constData(), QString(), 2);
        spinners[i] = new LimitSpinner(tfH[i], box);
        spinners[i]->setObjectName(QStringLiteral("up%1").arg(i + 1));
    }
    up1 = spinners[0];
    up2 = spinners[1];
    up3 = spinners[2];
    up4 = spinners[3];
    up5 = spinners[4];
    up6 = spinners[5];
    Lhkl = new QLabel(QStringLiteral("h1    h2    h3    h4   h5  "), box);
    Lhkl->setObjectName(QStringLiteral("Lhkl"));
    Lhkl2 = new QLabel(QStringLiteral("h6"), box);
    Lhkl2->setObjectName(QStringLiteral("Lhkl2"));

    // h1..h5 side by side under their captions; h6 on a row of its own.
    auto* layout = new QGridLayout(box);
    layout->setHorizontalSpacing(1);
    layout->addWidget(Lhkl, 0, 0, 1, 10);
    for (int i = 0; i < 5; ++i) {
        layout->addWidget(tfH[i], 1, 2 * i);
        layout->addWidget(spinners[i], 1, 2 * i + 1);
    }
    auto* h6 = new QHBoxLayout;
    h6->setSpacing(1);
    h6->addWidget(Lhkl2);
    h6->addSpacing(4);
    h6->addWidget(tfH[5]);
    h6->addWidget(up6);
    h6->addStretch();
    layout->addLayout(h6, 2, 0, 1, 10);
    return box;
}

QWidget* InputPanel::createThetaBox() {
    QGroupBox* box = makeGroup(frRight2, "theta range");
    tfTH1 = makeField(box, "tfTH1", QStringLiteral("minimum theta (degree)"), 6);
    tfTH2 = makeField(box, "tfTH2", QStringLiteral("maximum theta (degree)"), 6);

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(tfTH1);
    layout->addStretch();
    layout->addWidget(tfTH2);
    return box;
}

QWidget* InputPanel::createQiBox() {
    QGroupBox* box = makeGroup(frRight2, "qi max");
    tfQI = makeField(box, "tfQI", QStringLiteral("maximum internal component "), 6);

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(tfQI);
    layout->addStretch();
    return box;
}

QWidget* InputPanel::createWavelengthBox() {
    QGroupBox* box = makeGroup(frRight2, "wavelength");
    tfWL = makeField(box, "tfWL", QStringLiteral("X-ray wavelength"), 9);
    cmbAnode = makeList(box, "cmbAnode");
    cmbAnode->setToolTip(QStringLiteral("X-ray anode"));
    for (const Anode& anode : anodeTable()) cmbAnode->addItem(toQt(anode.name));
    connect(cmbAnode, &QComboBox::currentIndexChanged, this, &InputPanel::applyAnode);

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(tfWL);
    layout->addStretch();
    layout->addWidget(cmbAnode);
    return box;
}

QWidget* InputPanel::createFindRow() {
    auto* row = new QWidget(frRight2);
    const QString toolTip = QStringLiteral("search reflection list");
    tfFind = new QLineEdit(QStringLiteral("0   2   2   1   0"), row);
    tfFind->setObjectName(QStringLiteral("tfFind"));
    tfFind->setToolTip(toolTip);
    bRTFFIND = new QToolButton(row);
    bRTFFIND->setObjectName(QStringLiteral("bRTFFIND"));
    bRTFFIND->setToolTip(toolTip);
    bRTFFIND->setIcon(magnifierIcon());
    connect(tfFind, &QLineEdit::returnPressed, this, &InputPanel::findRequested);
    connect(bRTFFIND, &QToolButton::clicked, this, &InputPanel::findRequested);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tfFind);
    layout->addWidget(bRTFFIND);
    return row;
}

QComboBox* InputPanel::groupList(int systemIndex) const {
    const std::array<QComboBox*, kSystemCount> lists{cmbSG8, cmbSG10, cmbSG12, cmbSG20};
    return lists.at(static_cast<std::size_t>(systemIndex));
}

void InputPanel::applySystem(int systemIndex, std::optional<int> groupIndex) {
    if (systemIndex < 0 || systemIndex >= kSystemCount) return;
    const QuasicrystalSystem system = systemAt(systemIndex);
    {
        const QSignalBlocker blocker(cmbSystem);
        cmbSystem->setCurrentIndex(systemIndex);
    }
    for (int i = 0; i < kSystemCount; ++i) groupList(i)->hide();
    QComboBox* list = groupList(systemIndex);
    list->setCurrentIndex(groupIndex.value_or(defaultGroupPosition(system)));
    list->show();

    const bool icosahedral = system == QuasicrystalSystem::Icosahedral;
    tfH[5]->setVisible(icosahedral);
    up6->setVisible(icosahedral);
    Lhkl2->setVisible(icosahedral);
    tfC->setVisible(!icosahedral);
    Label4->setVisible(!icosahedral);
    emit systemChanged(systemIndex);
}

void InputPanel::applyAnode(int position) {
    if (position < 0) return;
    tfWL->setText(toQt(wavelengthText(meanWavelength(position))));
    tfWL->setEnabled(position == kUserAnodePosition);
}

RunInputs InputPanel::inputs() const {
    RunInputs in;
    const int systemIndex = cmbSystem->currentIndex();
    in.system = systemAt(systemIndex);
    in.groupPosition = groupList(systemIndex)->currentIndex();
    in.convention =
        rbYamamoto->isChecked() ? MatrixConvention::Yamamoto : MatrixConvention::Steurer;
    in.a = textOf(tfA);
    in.c = textOf(tfC);
    for (std::size_t i = 0; i < tfH.size(); ++i) in.loopLimits[i] = textOf(tfH[i]);
    in.thetaMin = textOf(tfTH1);
    in.thetaMax = textOf(tfTH2);
    in.qiMax = textOf(tfQI);
    in.wavelength = textOf(tfWL);
    return in;
}

void InputPanel::setInputs(const RunInputs& in) {
    applySystem(indexOf(in.system), in.groupPosition);
    tfA->setText(toQt(in.a));
    tfC->setText(toQt(in.c));
    for (std::size_t i = 0; i < tfH.size(); ++i) tfH[i]->setText(toQt(in.loopLimits[i]));
    tfTH1->setText(toQt(in.thetaMin));
    tfTH2->setText(toQt(in.thetaMax));
    tfQI->setText(toQt(in.qiMax));
    tfWL->setText(toQt(in.wavelength));
    (in.convention == MatrixConvention::Yamamoto ? rbYamamoto : rbSteurer)->setChecked(true);
}

}  // namespace tesral
