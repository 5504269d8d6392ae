#include "desktop/panels/MeasurePanel.h"

#include "controller/PlotmeterManager.h"
#include "document/Measuring.h"
#include "platform/NumberText.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QColor measureColour(230, 120, 0);

// "50 µm" -> 50 and "µm"; "0.2 mm" -> 0.2 and "mm". Empty when the text holds no length.
std::optional<std::pair<double, std::string>> lengthWithUnit(const QString& typed)
{
    const QString text = typed.trimmed();
    int split = 0;
    while (split < text.size() && (text[split].isDigit() || QStringLiteral(".+-eE").contains(text[split])))
        ++split;
    // "1e" of "1em" is not a number's end: give back letters until the number reads.
    double value = 0.0;
    while (split > 0 && !readCompleteNumber(text.left(split).toStdString(), &value))
        --split;
    if (split == 0 || !(value > 0.0))
        return std::nullopt;
    return std::pair{value, text.mid(split).trimmed().toStdString()};
}

} // namespace

// The left button's job while a measuring tool is chosen: every click a point, and a
// second one at the same place soon after, a double-click.
class MeasurePanel::Clicks : public PictureTool {
  public:
    explicit Clicks(MeasurePanel& panel) : panel_(panel) {}
    void pressed(DPoint) override {}
    void dragged(DPoint) override {}
    void released(DPoint picture) override
    {
        const bool doubled = since_.isValid() && since_.elapsed() < QApplication::doubleClickInterval() &&
                             std::hypot(picture.x - last_.x, picture.y - last_.y) < 4.0;
        since_.start();
        last_ = picture;
        panel_.clicked(picture, doubled);
    }
    QCursor cursor() const override { return Qt::CrossCursor; }

  private:
    MeasurePanel& panel_;
    QElapsedTimer since_;
    DPoint last_;
};

MeasurePanel::MeasurePanel(PlotmeterManager& manager, QMenu& toolsMenu, QWidget* parent)
    : QDockWidget(tr("Measure"), parent), manager_(manager), clicks_(std::make_unique<Clicks>(*this)),
      tools_(new QActionGroup(this))
{
    setObjectName(QStringLiteral("measurePanel"));
    tools_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    QMenu* measure = toolsMenu.addMenu(tr("&Measure"));
    const struct {
        Tool tool;
        QString text, tip, name;
    } kinds[] = {
        {Tool::distance, tr("Distance"), tr("Two clicks: the distance between them"), QStringLiteral("measureDistance")},
        {Tool::angle, tr("Angle"), tr("Three clicks: the angle at the middle one"), QStringLiteral("measureAngle")},
        {Tool::path, tr("Path and Area"), tr("Clicks along a path; a double-click ends it and closes the area"),
         QStringLiteral("measurePath")},
        {Tool::scaleBar, tr("Scale Bar"), tr("Two clicks on the ends of a scale bar, then the length it stands for"),
         QStringLiteral("measureScaleBar")},
    };
    for (const auto& kind : kinds) {
        QAction* action = measure->addAction(kind.text);
        action->setObjectName(kind.name);
        action->setCheckable(true);
        action->setToolTip(kind.tip);
        action->setData(static_cast<int>(kind.tool));
        tools_->addAction(action);
    }
    connect(tools_, &QActionGroup::triggered, this, [this](QAction* action) {
        choose(action->isChecked() ? static_cast<Tool>(action->data().toInt()) : Tool::none);
    });
    // The list and its buttons are made when the panel is first shown: not while the
    // window first shows, which needs none of them.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            buildBody();
    });
}

void MeasurePanel::buildBody()
{
    if (list_ != nullptr)
        return;
    auto* body = new QWidget(this);
    auto* buttons = new QHBoxLayout;
    for (QAction* action : tools_->actions()) {
        auto* button = new QToolButton(body);
        button->setDefaultAction(action);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    list_ = new QListWidget(body);
    list_->setObjectName(QStringLiteral("measurementList"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A measurement is a line of values: wrapped to the panel's width, never cut off.
    list_->setWordWrap(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scale_ = new QLabel(body);
    scale_->setWordWrap(true);
    auto* copy = new QPushButton(tr("Copy"), body);
    auto* remove = new QPushButton(tr("Delete"), body);
    connect(copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(text()); });
    connect(remove, &QPushButton::clicked, this, [this] {
        Measurements measurements = manager_.document().measurements();
        for (int row = list_->count() - 1; row >= 0; --row)
            if (list_->item(row)->isSelected() && row < static_cast<int>(measurements.list.size()))
                measurements.list.erase(measurements.list.begin() + row);
        manager_.setMeasurements(std::move(measurements), "Delete Measurement");
    });
    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(scale_, 1);
    rowButtons->addWidget(copy);
    rowButtons->addWidget(remove);
    auto* layout = new QVBoxLayout(body);
    layout->addLayout(buttons);
    layout->addWidget(list_, 1);
    layout->addLayout(rowButtons);
    setWidget(body);
    documentChanged();
}

MeasurePanel::~MeasurePanel() = default;

PictureTool* MeasurePanel::tool() const
{
    return tool_ == Tool::none ? nullptr : clicks_.get();
}

void MeasurePanel::choose(Tool tool)
{
    tool_ = tool;
    pending_.clear();
    for (QAction* action : tools_->actions())
        action->setChecked(static_cast<Tool>(action->data().toInt()) == tool);
    if (tool != Tool::none) {
        buildBody();
        show();
        raise();
    }
    emit pictureOverlayChanged();
}

void MeasurePanel::clicked(DPoint picture, bool doubled)
{
    if (doubled && tool_ == Tool::path) {
        finish(true);
        return;
    }
    pending_.push_back(picture);
    const std::size_t wanted = tool_ == Tool::angle ? 3 : tool_ == Tool::path ? SIZE_MAX : 2;
    if (pending_.size() >= wanted)
        finish(false);
    emit pictureOverlayChanged();
}

void MeasurePanel::finish(bool closed)
{
    std::vector<DPoint> points = std::move(pending_);
    pending_.clear();
    Measurements measurements = manager_.document().measurements();
    switch (tool_) {
    case Tool::distance:
        measurements.list.push_back({MeasurementKind::distance, points, false});
        manager_.setMeasurements(std::move(measurements), "Measure Distance");
        break;
    case Tool::angle:
        measurements.list.push_back({MeasurementKind::angle, points, false});
        manager_.setMeasurements(std::move(measurements), "Measure Angle");
        break;
    case Tool::path:
        if (points.size() >= 2) {
            measurements.list.push_back({MeasurementKind::path, points, closed && points.size() >= 3});
            manager_.setMeasurements(std::move(measurements), "Measure Path");
        }
        break;
    case Tool::scaleBar: {
        bool given = false;
        const QString typed = QInputDialog::getText(window(), tr("Scale Bar"),
                                                    tr("The length the scale bar stands for, with its unit:"),
                                                    QLineEdit::Normal, QStringLiteral("50 µm"), &given);
        const auto length = lengthWithUnit(typed);
        if (!given)
            break;
        if (!length || points.size() != 2 || (points[0].x == points[1].x && points[0].y == points[1].y)) {
            QMessageBox::warning(window(), tr("Scale Bar"),
                                 tr("“%1” is not a length above zero with a unit, such as 50 µm.").arg(typed));
            break;
        }
        measurements.scale = ScaleBar{{points[0], points[1]}, length->first, length->second};
        manager_.setMeasurements(std::move(measurements), "Set Scale Bar");
        break;
    }
    case Tool::none:
        break;
    }
    emit pictureOverlayChanged();
}

void MeasurePanel::documentChanged()
{
    if (list_ == nullptr)
        return; // made, and filled, when first shown
    list_->clear();
    list_->addItems(lines());
    if (const std::optional<ScaleBar>& bar = manager_.document().measurements().scale) {
        const double pixels = std::hypot(bar->ends[1].x - bar->ends[0].x, bar->ends[1].y - bar->ends[0].y);
        scale_->setText(tr("Scale: %1 px = %2 %3")
                            .arg(QString::fromStdString(formatCellNumber(pixels, {true, 6, 0})))
                            .arg(QString::fromStdString(shortestNumber(bar->length)))
                            .arg(QString::fromStdString(bar->unit)));
    } else {
        scale_->setText(tr("No scale bar: values come from the calibration."));
    }
}

QStringList MeasurePanel::lines() const
{
    const Measurements& measurements = manager_.document().measurements();
    // While calibrating, the fit of the points typed so far; else the one in force.
    const std::optional<CalibrationCheck>& check = manager_.calibrationCheck();
    const std::optional<WorldMap> map = check ? std::optional<WorldMap>(check->map) : manager_.worldMap();
    QStringList lines;
    for (const Measurement& m : measurements.list)
        lines << QString::fromStdString(describe(m, measure(m, map, measurements.scale)));
    return lines;
}

QString MeasurePanel::text() const
{
    const QStringList all = lines();
    return all.join(QLatin1Char('\n')) + (all.isEmpty() ? QString() : QStringLiteral("\n"));
}

void MeasurePanel::paint(QPainter& painter, const QRect& /*exposed*/, const PictureZoom& zoom) const
{
    const auto at = [&zoom](DPoint p) {
        const DPoint s = zoom.screenOf(p);
        return QPointF(s.x, s.y);
    };
    const auto polyline = [&](const std::vector<DPoint>& points, bool closed) {
        QPolygonF line;
        for (const DPoint& p : points)
            line << at(p);
        if (closed && !points.empty())
            line << at(points.front());
        painter.drawPolyline(line);
        for (const QPointF& p : line)
            painter.drawEllipse(p, 2.5, 2.5);
    };
    const Measurements& measurements = manager_.document().measurements();
    if (measurements.list.empty() && !measurements.scale && pending_.empty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(measureColour, 1.5));
    painter.setBrush(Qt::NoBrush);
    for (const Measurement& m : measurements.list)
        polyline(m.points, m.closed);
    if (const std::optional<ScaleBar>& bar = measurements.scale) {
        painter.setPen(QPen(measureColour, 2.5, Qt::SolidLine, Qt::FlatCap));
        polyline({bar->ends[0], bar->ends[1]}, false);
    }
    painter.setPen(QPen(measureColour, 1.5, Qt::DashLine));
    polyline(pending_, false);
    painter.restore();
}
