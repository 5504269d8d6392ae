#pragma once

#include "document/Series.h"

#include <QGroupBox>
#include <optional>
#include <vector>

class PlotmeterManager;
class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The series list beside the tables: one row a series with its marker, colour and name;
// the check box shows or hides it, the chosen row is the active series, and a double
// click renames it. Every change goes to the controller as an edit that can be undone.
class SeriesPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit SeriesPanel(PlotmeterManager& manager, QWidget* parent = nullptr);

    // Shows the document's series as they are now.
    void refresh();

  private:
    void itemChanged(QListWidgetItem* item);
    void chooseColour();

    PlotmeterManager& manager_;
    QListWidget* list_;
    QPushButton* addButton_;
    QPushButton* deleteButton_;
    QPushButton* colourButton_;
    QComboBox* markerBox_;
    bool refreshing_ = false;
    std::vector<std::optional<SeriesLook>> shown_; // what each row shows now
};
