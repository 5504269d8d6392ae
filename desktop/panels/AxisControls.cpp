#include "desktop/panels/AxisControls.h"

#include "controller/PlotmeterManager.h"

#include <QActionGroup>
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
    : QWidget(parent),
      manager_(manager), axes_{makeAxis(0, tr("X axis"), menu), makeAxis(1, tr("Y axis"), menu)}
{
    setObjectName(QStringLiteral("axisControls"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(tr("Axes:  X"), this));
    layout->addWidget(axes_[0].box, 1);
    layout->addWidget(new QLabel(tr("Y"), this));
    layout->addWidget(axes_[1].box, 1);
    refresh();
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
    for (int axis = 0; axis < 2; ++axis) {
        const auto scale = static_cast<int>(axis == 0 ? now.x : now.y);
        const QSignalBlocker blocker(axes_[axis].box);
        axes_[axis].box->setCurrentIndex(axes_[axis].box->findData(scale));
        for (QAction* action : axes_[axis].actions->actions())
            action->setChecked(action->data().toInt() == scale);
    }
}
