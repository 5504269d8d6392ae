#pragma once

#include "document/CsvFile.h"
#include "document/Resampling.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// File ▸ Export Data…: which series, how the text is laid out (separator, decimal mark,
// columns, header), and whether the points are written as taken or at chosen x values
// (a step, a count, or a list; straight lines or a cubic spline between the points). The
// choices are remembered from one export to the next; Edit ▸ Copy All Rows follows the
// x values chosen here.
class ExportDialog : public QDialog {
    Q_OBJECT
  public:
    // `axes`: the plot's axes, which say what a step and the values are in.
    ExportDialog(const QString& activeSeries, const AxisScales& axes, QWidget* parent = nullptr);

    TextLayout layout() const;
    bool allSeries() const;
    // The x values chosen; none while what is typed for them cannot be read.
    Resampling resampling() const;
    // The extension the layout's separator suggests: "csv" or "tsv".
    QString suffix() const;
    // Keeps the choices for the next time.
    void remember() const;

  private:
    void separatorChanged();
    void gridChanged();
    // Says what is wrong with the grid's text, and allows Export only when nothing is.
    void checkGrid();

    AxisScales axes_;
    QComboBox* series_;
    QComboBox* separator_;
    QComboBox* decimal_;
    QCheckBox* screen_;
    QCheckBox* seriesColumn_;
    QCheckBox* header_;
    QComboBox* grid_;
    QLineEdit* gridText_;
    QLabel* gridLabel_;
    QComboBox* interpolation_;
    QLabel* gridProblem_;
    QPushButton* export_;
    QString texts_[4]; // what was typed for each kind of grid
    int shownGrid_ = 0;
};

// The x values last chosen in Export Data…, for an axis of scale x; none when they were
// never chosen. `problem` says why what was typed then cannot be read now (a date on an
// axis that has become linear), the resampling being none.
Resampling rememberedResampling(AxisScale x, std::string& problem);

// Asks for the layout, then for the file; the extension chosen (.csv, .tsv, or .txt for
// the data file) decides the format. Empty when the user cancelled.
struct ExportChoice {
    QString path;
    TextLayout layout;
    bool allSeries = true;
    Resampling resampling;
};
std::optional<ExportChoice> chooseExport(const QString& activeSeries, const AxisScales& axes, QWidget* parent);
