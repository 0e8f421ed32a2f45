#include "app/input_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
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

/**
 * A field that shows `characters` digits whole: the style's frame and the line edit's own
 * margins (2 px a side, as QLineEdit::sizeHint counts them) and the cursor come on top.
 */
QLineEdit* makeWholeField(QWidget* parent, const char* name, const QString& toolTip,
                          int characters) {
    QLineEdit* field = makeField(parent, name, toolTip, characters);
    const QMargins text = field->textMargins();
    const int contents = field->fontMetrics().horizontalAdvance(QString(characters, u'0')) + 2 * 2 +
                         text.left() + text.right() + 1;
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    const QSize size = field->style()->sizeFromContents(
        QStyle::CT_LineEdit, &option, QSize(contents, field->sizeHint().height()), field);
    field->setFixedWidth(size.width());
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

InputPanel::InputPanel(QWidget* parent) : QFrame(parent), inner_(new QFrame(this)) {
    setObjectName(QStringLiteral("frRight"));
    inner_->setObjectName(QStringLiteral("frRight2"));

    auto* inner = new QVBoxLayout(inner_);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->addWidget(createSpaceGroupBox());
    inner->addWidget(createLatticeBox());
    inner->addWidget(createConventionBox());
    inner->addWidget(createLoopBox());
    inner->addWidget(createThetaBox());
    inner->addWidget(createQiBox());
    inner->addWidget(createWavelengthBox());
    inner->addWidget(createIntensitiesBox());
    inner->addStretch();
    inner->addWidget(createFindRow());

    // Narrow margins keep the panel beside the plots about 220 px wide.
    for (QGroupBox* box : inner_->findChildren<QGroupBox*>())
        box->layout()->setContentsMargins(6, 4, 6, 4);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(inner_);

    // One place for the start-up values: a default RunInputs.
    setInputs(RunInputs{});
    applyAnode(anodeList_->currentIndex());
    setFixedWidth(sizeHint().width());
}

QWidget* InputPanel::createSpaceGroupBox() {
    QGroupBox* box = makeGroup(inner_, "space group");
    systemList_ = makeList(box, "cmbSystem");
    systemList_->addItems({QStringLiteral("Octagonal"), QStringLiteral("Decagonal"),
                           QStringLiteral("Dodecagonal"), QStringLiteral("Icosahedral")});
    groupLists_[0] = makeList(box, "cmbSG8");
    groupLists_[1] = makeList(box, "cmbSG10");
    groupLists_[2] = makeList(box, "cmbSG12");
    groupLists_[3] = makeList(box, "cmbSG20");

    auto* layout = new QGridLayout(box);
    layout->addWidget(systemList_, 0, 0);
    for (int i = 0; i < kSystemCount; ++i) {
        QComboBox* list = groupList(i);
        for (const SpaceGroupEntry& group : groupsOfSystem(systemAt(i)))
            list->addItem(toQt(std::string(group.symbol)));
        // The four lists share one cell; applySystem shows one of them.
        layout->addWidget(list, 1, 0);
    }
    connect(systemList_, &QComboBox::currentIndexChanged, this,
            [this](int index) { applySystem(index); });
    return box;
}

QWidget* InputPanel::createLatticeBox() {
    QGroupBox* box = makeGroup(inner_, "lattice constants");
    // Room for constants such as 12.20064 and 123.4567 (angstrom).
    aField_ = makeWholeField(box, "tfA", QStringLiteral("lattice constant a"), 8);
    cField_ = makeWholeField(box, "tfC", QStringLiteral("lattice constant c"), 8);
    cLabel_ = new QLabel(QStringLiteral("c ="), box);
    cLabel_->setObjectName(QStringLiteral("Label4"));

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(new QLabel(QStringLiteral("a = "), box));
    layout->addWidget(aField_);
    layout->addStretch();
    layout->addWidget(cLabel_);
    layout->addWidget(cField_);
    return box;
}

QWidget* InputPanel::createConventionBox() {
    QGroupBox* box = makeGroup(inner_, "lattice matrix type");
    yamamotoButton_ = new QRadioButton(QStringLiteral("Yamamoto"), box);
    yamamotoButton_->setObjectName(QStringLiteral("rbYamamoto"));
    steurerButton_ = new QRadioButton(QStringLiteral("Steurer"), box);
    steurerButton_->setObjectName(QStringLiteral("rbSteurer"));

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(yamamotoButton_);
    layout->addWidget(steurerButton_);
    return box;
}

QWidget* InputPanel::createLoopBox() {
    QGroupBox* box = makeGroup(inner_, "loop indices");
    for (int i = 0; i < 6; ++i) {
        const QByteArray name = "tfH" + QByteArray::number(i);
        limitFields_[i] = makeField(box, name.constData(), QString(), 2);
        limitSpinners_[i] = new LimitSpinner(limitFields_[i], box);
        limitSpinners_[i]->setObjectName(QStringLiteral("up%1").arg(i + 1));
    }
    limitsLabel_ = new QLabel(QStringLiteral("h1    h2    h3    h4   h5  "), box);
    limitsLabel_->setObjectName(QStringLiteral("Lhkl"));
    h6Label_ = new QLabel(QStringLiteral("h6"), box);
    h6Label_->setObjectName(QStringLiteral("Lhkl2"));

    // h1..h5 side by side under their captions; h6 on a row of its own.
    auto* layout = new QGridLayout(box);
    layout->setHorizontalSpacing(1);
    layout->addWidget(limitsLabel_, 0, 0, 1, 10);
    for (int i = 0; i < 5; ++i) {
        layout->addWidget(limitFields_[i], 1, 2 * i);
        layout->addWidget(limitSpinners_[i], 1, 2 * i + 1);
    }
    auto* h6 = new QHBoxLayout;
    h6->setSpacing(1);
    h6->addWidget(h6Label_);
    h6->addSpacing(4);
    h6->addWidget(limitFields_[5]);
    h6->addWidget(limitSpinners_[5]);
    h6->addStretch();
    layout->addLayout(h6, 2, 0, 1, 10);
    return box;
}

QWidget* InputPanel::createThetaBox() {
    QGroupBox* box = makeGroup(inner_, "theta range");
    thetaMinField_ = makeField(box, "tfTH1", QStringLiteral("minimum theta (degree)"), 6);
    thetaMaxField_ = makeField(box, "tfTH2", QStringLiteral("maximum theta (degree)"), 6);

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(thetaMinField_);
    layout->addStretch();
    layout->addWidget(thetaMaxField_);
    return box;
}

QWidget* InputPanel::createQiBox() {
    QGroupBox* box = makeGroup(inner_, "qi max");
    qiMaxField_ = makeField(box, "tfQI", QStringLiteral("maximum internal component "), 6);
    // Beside it, as it is a run input too: empty for the quasicrystal itself.
    approximantField_ =
        makeField(box, "tfApproximant",
                  QStringLiteral(
                      "rational approximant P/Q (axial: P/Q or P/Q,R/S): the run is strained into "
                      "its periodic cell and the Table menu's hkl column shows the cell's indices; "
                      "empty: the quasicrystal"),
                  7);
    approximantField_->setPlaceholderText(QStringLiteral("none"));
    auto* caption = new QLabel(QStringLiteral("approximant"), box);
    caption->setBuddy(approximantField_);

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(qiMaxField_);
    layout->addStretch();
    layout->addWidget(caption);
    layout->addWidget(approximantField_);
    return box;
}

QWidget* InputPanel::createWavelengthBox() {
    QGroupBox* box = makeGroup(inner_, "wavelength");
    wavelengthField_ = makeField(box, "tfWL", QStringLiteral("X-ray wavelength"), 9);
    anodeList_ = makeList(box, "cmbAnode");
    anodeList_->setToolTip(QStringLiteral("X-ray anode"));
    for (const Anode& anode : anodeTable()) anodeList_->addItem(toQt(anode.name));
    connect(anodeList_, &QComboBox::currentIndexChanged, this, &InputPanel::applyAnode);

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(wavelengthField_);
    layout->addStretch();
    layout->addWidget(anodeList_);
    return box;
}

QWidget* InputPanel::createIntensitiesBox() {
    QGroupBox* box = makeGroup(inner_, "intensities");
    intensitiesBox_ = new QCheckBox(QStringLiteral("use intensities"), box);
    intensitiesBox_->setObjectName(QStringLiteral("cbIntensities"));
    intensitiesBox_->setToolTip(
        QStringLiteral("work out the intensities of View > Intensity model in the next run"));

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(intensitiesBox_);
    return box;
}

QWidget* InputPanel::createFindRow() {
    auto* row = new QWidget(inner_);
    const QString toolTip = QStringLiteral("search reflection list");
    searchField_ = new QLineEdit(QStringLiteral("0   2   2   1   0"), row);
    searchField_->setObjectName(QStringLiteral("tfFind"));
    searchField_->setToolTip(toolTip);
    findButton_ = new QToolButton(row);
    findButton_->setObjectName(QStringLiteral("bRTFFIND"));
    findButton_->setToolTip(toolTip);
    findButton_->setIcon(magnifierIcon());
    connect(searchField_, &QLineEdit::returnPressed, this, &InputPanel::findRequested);
    connect(findButton_, &QToolButton::clicked, this, &InputPanel::findRequested);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(searchField_);
    layout->addWidget(findButton_);
    return row;
}

QComboBox* InputPanel::groupList(int systemIndex) const {
    return groupLists_.at(static_cast<std::size_t>(systemIndex));
}

void InputPanel::applySystem(int systemIndex, std::optional<int> groupIndex) {
    if (systemIndex < 0 || systemIndex >= kSystemCount) return;
    const QuasicrystalSystem system = systemAt(systemIndex);
    {
        const QSignalBlocker blocker(systemList_);
        systemList_->setCurrentIndex(systemIndex);
    }
    for (int i = 0; i < kSystemCount; ++i) groupList(i)->hide();
    QComboBox* list = groupList(systemIndex);
    list->setCurrentIndex(groupIndex.value_or(defaultGroupPosition(system)));
    list->show();

    const bool icosahedral = system == QuasicrystalSystem::Icosahedral;
    limitFields_[5]->setVisible(icosahedral);
    limitSpinners_[5]->setVisible(icosahedral);
    h6Label_->setVisible(icosahedral);
    cField_->setVisible(!icosahedral);
    cLabel_->setVisible(!icosahedral);
    emit systemChanged(systemIndex);
}

void InputPanel::applyAnode(int position) {
    if (position < 0) return;
    const QString text = toQt(wavelengthText(meanWavelength(position)));
    if (xrayText_) {
        *xrayText_ = text;
        return;
    }
    wavelengthField_->setText(text);
    wavelengthField_->setEnabled(position == kUserAnodePosition);
}

void InputPanel::showModelWavelength(std::optional<double> wavelength, const QString& toolTip) {
    if (wavelength) {
        if (!xrayText_) xrayText_ = wavelengthField_->text();
        wavelengthField_->setText(QString::number(*wavelength, 'g', 7));
        wavelengthField_->setReadOnly(true);
        wavelengthField_->setEnabled(true);
        wavelengthField_->setToolTip(toolTip);
        anodeList_->setEnabled(false);
        return;
    }
    if (!xrayText_) return;
    wavelengthField_->setText(*xrayText_);
    xrayText_.reset();
    wavelengthField_->setReadOnly(false);
    wavelengthField_->setEnabled(anodeList_->currentIndex() == kUserAnodePosition);
    wavelengthField_->setToolTip(QStringLiteral("X-ray wavelength"));
    anodeList_->setEnabled(true);
}

QRadioButton* InputPanel::conventionButton(MatrixConvention convention) const {
    return convention == MatrixConvention::Yamamoto ? yamamotoButton_ : steurerButton_;
}

bool InputPanel::useIntensities() const {
    return intensitiesBox_->isChecked();
}

void InputPanel::setUseIntensities(bool use) {
    intensitiesBox_->setChecked(use);
}

QString InputPanel::searchText() const {
    return searchField_->text();
}

void InputPanel::setSearchText(const QString& text) {
    searchField_->setText(text);
}

int InputPanel::anodePosition() const {
    return anodeList_->currentIndex();
}

void InputPanel::setAnodePosition(int position) {
    anodeList_->setCurrentIndex(position);
}

RunInputs InputPanel::inputs() const {
    RunInputs in;
    const int systemIndex = systemList_->currentIndex();
    in.system = systemAt(systemIndex);
    in.groupPosition = groupList(systemIndex)->currentIndex();
    in.convention =
        yamamotoButton_->isChecked() ? MatrixConvention::Yamamoto : MatrixConvention::Steurer;
    in.a = textOf(aField_);
    in.c = textOf(cField_);
    for (std::size_t i = 0; i < limitFields_.size(); ++i)
        in.loopLimits[i] = textOf(limitFields_[i]);
    in.thetaMin = textOf(thetaMinField_);
    in.thetaMax = textOf(thetaMaxField_);
    in.qiMax = textOf(qiMaxField_);
    in.approximant = approximantField_->text().trimmed().toStdString();
    in.wavelength = xrayText_ ? xrayText_->toStdString() : textOf(wavelengthField_);
    return in;
}

void InputPanel::setInputs(const RunInputs& in) {
    applySystem(indexOf(in.system), in.groupPosition);
    aField_->setText(toQt(in.a));
    cField_->setText(toQt(in.c));
    for (std::size_t i = 0; i < limitFields_.size(); ++i)
        limitFields_[i]->setText(toQt(in.loopLimits[i]));
    thetaMinField_->setText(toQt(in.thetaMin));
    thetaMaxField_->setText(toQt(in.thetaMax));
    qiMaxField_->setText(toQt(in.qiMax));
    approximantField_->setText(toQt(in.approximant));
    if (xrayText_)
        *xrayText_ = toQt(in.wavelength);
    else
        wavelengthField_->setText(toQt(in.wavelength));
    (in.convention == MatrixConvention::Yamamoto ? yamamotoButton_ : steurerButton_)
        ->setChecked(true);
}

}  // namespace tesral
