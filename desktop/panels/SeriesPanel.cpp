#include "desktop/panels/SeriesPanel.h"

#include "controller/PlotmeterManager.h"
#include "desktop/picture/PlotMarks.h"

#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QColor toQColor(Colour c)
{
    return {c.red, c.green, c.blue};
}

QIcon markerIcon(const SeriesLook& look)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(toQColor(look.colour), 2.0));
    PlotMarks::drawMarker(painter, look.marker, QPointF(8, 8));
    return QIcon(pixmap);
}

QString markerTitle(MarkerShape shape)
{
    const std::string_view name = markerShapeName(shape);
    QString title = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    title[0] = title[0].toUpper();
    return title;
}

} // namespace

SeriesPanel::SeriesPanel(PlotmeterManager& manager, QWidget* parent)
    : QGroupBox(tr("Series"), parent), manager_(manager), list_(new QListWidget(this)),
      addButton_(new QPushButton(tr("Add"), this)), deleteButton_(new QPushButton(tr("Delete"), this)),
      colourButton_(new QPushButton(tr("Colour…"), this)), markerBox_(new QComboBox(this))
{
    setObjectName(QStringLiteral("seriesPanel"));
    list_->setObjectName(QStringLiteral("seriesList"));
    list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    list_->setMaximumHeight(76); // three rows; more scroll
    addButton_->setToolTip(tr("Add a series; new points go into it"));
    deleteButton_->setToolTip(tr("Delete the chosen series and its points (Edit ▸ Undo brings them back)"));
    colourButton_->setToolTip(tr("Choose the colour of the chosen series' marks"));
    markerBox_->setToolTip(tr("The marker shape of the chosen series"));
    for (const MarkerShape shape : allMarkerShapes)
        markerBox_->addItem(markerTitle(shape), static_cast<int>(shape));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton_);
    buttons->addWidget(deleteButton_);
    buttons->addWidget(colourButton_);
    buttons->addWidget(markerBox_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);

    connect(addButton_, &QPushButton::clicked, this, [this] { manager_.addSeries(); });
    connect(deleteButton_, &QPushButton::clicked, this,
            [this] { manager_.deleteSeries(manager_.document().activeSeries()); });
    connect(colourButton_, &QPushButton::clicked, this, &SeriesPanel::chooseColour);
    connect(markerBox_, &QComboBox::activated, this, [this](int index) {
        manager_.setSeriesMarker(manager_.document().activeSeries(),
                                 static_cast<MarkerShape>(markerBox_->itemData(index).toInt()));
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!refreshing_ && row >= 0)
            manager_.setActiveSeries(static_cast<std::size_t>(row));
    });
    connect(list_, &QListWidget::itemChanged, this, &SeriesPanel::itemChanged);
    refresh();
}

void SeriesPanel::refresh()
{
    refreshing_ = true;
    const QSignalBlocker blocker(list_);
    const Document& document = manager_.document();
    const auto& series = document.series();
    if (list_->count() != static_cast<int>(series.size())) {
        // Series come and go anywhere in the list: draw them all again.
        list_->clear();
        shown_.clear();
        for (std::size_t i = 0; i < series.size(); ++i)
            list_->addItem(new QListWidgetItem);
    }
    // Called after every edit, points included: only what changed is drawn again.
    shown_.resize(series.size());
    for (std::size_t i = 0; i < series.size(); ++i) {
        const SeriesLook& look = series[i].look;
        if (shown_[i] && *shown_[i] == look)
            continue;
        QListWidgetItem* item = list_->item(static_cast<int>(i));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
        item->setText(QString::fromStdString(look.name));
        item->setCheckState(look.visible ? Qt::Checked : Qt::Unchecked);
        item->setIcon(markerIcon(look));
        shown_[i] = look;
    }
    list_->setCurrentRow(static_cast<int>(document.activeSeries()));
    markerBox_->setCurrentIndex(markerBox_->findData(static_cast<int>(document.active().look.marker)));
    deleteButton_->setEnabled(series.size() > 1);
    refreshing_ = false;
}

void SeriesPanel::itemChanged(QListWidgetItem* item)
{
    if (refreshing_)
        return;
    const auto index = static_cast<std::size_t>(list_->row(item));
    const std::string name = item->text().trimmed().toStdString();
    manager_.renameSeries(index, name);
    manager_.setSeriesVisible(index, item->checkState() == Qt::Checked);
    // A name left empty, or one the controller did not take, shows as it was.
    shown_.clear();
    shown_.resize(static_cast<std::size_t>(list_->count()));
    refresh();
}

void SeriesPanel::chooseColour()
{
    const std::size_t index = manager_.document().activeSeries();
    const QColor chosen =
        QColorDialog::getColor(toQColor(manager_.document().active().look.colour), this, tr("Series Colour"));
    if (chosen.isValid())
        manager_.setSeriesColour(index, Colour{static_cast<std::uint8_t>(chosen.red()),
                                               static_cast<std::uint8_t>(chosen.green()),
                                               static_cast<std::uint8_t>(chosen.blue())});
}
