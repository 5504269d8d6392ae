#include "desktop/panels/AxisControls.h"

#include "calibration/AxesSpace.h"
#include "controller/PlotmeterManager.h"
#include "platform/NumberText.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>

namespace {

constexpr AxisScale scales[] = {AxisScale::linear, AxisScale::log10, AxisScale::date};

QString titleOf(AxisScale scale)
{
    switch (scale) {
    case AxisScale::log10:
        return QObject::tr("Log10");
    case AxisScale::date:
        return QObject::tr("Date and time");
    case AxisScale::linear:
        break;
    }
    return QObject::tr("Linear");
}

} // namespace

AxisControls::AxisControls(PlotmeterManager& manager, QMenu& menu, QWidget* parent)
    : QWidget(parent), manager_(manager), kind_(new QComboBox(this)),
      axes_{makeAxis(0, tr("X axis"), menu), makeAxis(1, tr("Y axis"), menu)}
{
    setObjectName(QStringLiteral("axisControls"));
    kind_->setObjectName(QStringLiteral("axesKind"));
    kind_->addItems({tr("Cartesian"), tr("Polar")});
    kind_->setToolTip(tr("Cartesian axes, or polar ones: an angle and a radius"));
    cartesian_ = new QWidget(this);
    auto* xy = new QHBoxLayout(cartesian_);
    xy->setContentsMargins(0, 0, 0, 0);
    xy->addWidget(new QLabel(tr("X"), cartesian_));
    xy->addWidget(axes_[0].box, 1);
    xy->addWidget(new QLabel(tr("Y"), cartesian_));
    xy->addWidget(axes_[1].box, 1);
    for (const Axis& axis : axes_)
        axis.box->setParent(cartesian_);
    makePolarControls();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    auto* first = new QHBoxLayout;
    first->addWidget(new QLabel(tr("Axes:"), this));
    first->addWidget(kind_);
    first->addWidget(cartesian_, 1);
    layout->addLayout(first);
    layout->addWidget(polar_);
    polar_->hide();
    connect(kind_, &QComboBox::activated, this, [this](int index) {
        if (index == 1)
            applyPolar();
        else
            manager_.setAxes(AxisScales());
    });
    refresh();
}

void AxisControls::makePolarControls()
{
    polar_ = new QWidget(this);
    polar_->setObjectName(QStringLiteral("polarControls"));
    angleUnit_ = new QComboBox(polar_);
    angleUnit_->setObjectName(QStringLiteral("angleUnit"));
    angleUnit_->addItems({tr("degrees"), tr("radians")});
    clockwise_ = new QCheckBox(tr("clockwise"), polar_);
    clockwise_->setObjectName(QStringLiteral("clockwise"));
    radius_ = new QComboBox(polar_);
    radius_->setObjectName(QStringLiteral("radiusScale"));
    radius_->addItems({tr("Linear"), tr("Log10")});
    centre_ = new QLineEdit(polar_);
    centre_->setObjectName(QStringLiteral("radiusAtCentre"));
    centre_->setToolTip(tr("The radius at the centre: 0 usually; -40 for a pattern in dB whose centre is -40 dB; "
                           "above zero on a log radius"));
    auto* layout = new QGridLayout(polar_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Angle in"), polar_), 0, 0);
    layout->addWidget(angleUnit_, 0, 1);
    layout->addWidget(clockwise_, 0, 2, 1, 2);
    layout->addWidget(new QLabel(tr("Radius"), polar_), 1, 0);
    layout->addWidget(radius_, 1, 1);
    layout->addWidget(new QLabel(tr("at centre"), polar_), 1, 2);
    layout->addWidget(centre_, 1, 3);
    connect(angleUnit_, &QComboBox::activated, this, &AxisControls::applyPolar);
    connect(radius_, &QComboBox::activated, this, &AxisControls::applyPolar);
    connect(clockwise_, &QCheckBox::clicked, this, &AxisControls::applyPolar);
    connect(centre_, &QLineEdit::editingFinished, this, &AxisControls::applyPolar);
}

// A centre that is not a number, or not above zero on a log radius, is shown pink and
// not taken.
void AxisControls::applyPolar()
{
    PolarAxes axes;
    axes.angle = angleUnit_->currentIndex() == 1 ? AngleUnit::radians : AngleUnit::degrees;
    axes.clockwise = clockwise_->isChecked();
    axes.radius = radius_->currentIndex() == 1 ? AxisScale::log10 : AxisScale::linear;
    double centre = 0.0;
    const std::string typed = centre_->text().trimmed().toStdString();
    const bool number = typed.empty() || readCompleteNumber(typed, &centre);
    axes.radiusAtCentre = typed.empty() && axes.radius == AxisScale::log10 ? 1.0 : centre;
    const std::string problem = number ? polarProblem(axes) : std::string("the radius at the centre is not a number");
    centre_->setStyleSheet(problem.empty() ? QString() : QStringLiteral("QLineEdit { background: #ffd8d8; }"));
    centre_->setToolTip(problem.empty() ? QString() : QString::fromStdString(problem));
    if (problem.empty())
        manager_.setAxes(AxisScales::polarOf(axes));
}

AxisControls::Axis AxisControls::makeAxis(int axis, const QString& title, QMenu& menu)
{
    auto* box = new QComboBox(this);
    box->setObjectName(axis == 0 ? QStringLiteral("xScale") : QStringLiteral("yScale"));
    box->setToolTip(tr("How the %1 is graduated: values are fitted on that scale").arg(title.toLower()));
    QMenu* submenu = menu.addMenu(tr("%1 Scale").arg(title));
    auto* actions = new QActionGroup(submenu);
    for (const AxisScale scale : scales) {
        box->addItem(titleOf(scale), static_cast<int>(scale));
        QAction* action = submenu->addAction(titleOf(scale));
        action->setCheckable(true);
        action->setData(static_cast<int>(scale));
        actions->addAction(action);
        connect(action, &QAction::triggered, this, [this, axis, scale] { manager_.setAxisScale(axis, scale); });
    }
    connect(box, &QComboBox::activated, this, [this, axis, box](int index) {
        manager_.setAxisScale(axis, static_cast<AxisScale>(box->itemData(index).toInt()));
    });
    return {box, actions};
}

void AxisControls::refresh()
{
    const AxisScales now = manager_.document().axes();
    {
        const QSignalBlocker blocker(kind_);
        kind_->setCurrentIndex(now.polar ? 1 : 0);
    }
    // Only on a change: showing a widget lays it out at once, shown or not.
    if (const bool polar = now.polar.has_value(); polar == polar_->isHidden()) {
        cartesian_->setVisible(!polar);
        polar_->setVisible(polar);
    }
    if (now.polar) {
        const QSignalBlocker a(angleUnit_), b(clockwise_), c(radius_);
        angleUnit_->setCurrentIndex(now.polar->angle == AngleUnit::radians ? 1 : 0);
        clockwise_->setChecked(now.polar->clockwise);
        radius_->setCurrentIndex(now.polar->radius == AxisScale::log10 ? 1 : 0);
        if (!centre_->hasFocus()) {
            centre_->setText(QString::fromStdString(shortestNumber(now.polar->radiusAtCentre)));
            centre_->setStyleSheet(QString());
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        const auto scale = static_cast<int>(axis == 0 ? now.x : now.y);
        const QSignalBlocker blocker(axes_[axis].box);
        axes_[axis].box->setCurrentIndex(axes_[axis].box->findData(scale));
        for (QAction* action : axes_[axis].actions->actions())
            action->setChecked(action->data().toInt() == scale);
    }
}
