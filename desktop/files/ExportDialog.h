#pragma once

#include "document/CsvFile.h"

#include <QDialog>

class QCheckBox;
class QComboBox;

// File ▸ Export Data…: which series, and how the text is laid out (separator, decimal
// mark, columns, header). The choices are remembered from one export to the next.
class ExportDialog : public QDialog {
    Q_OBJECT
  public:
    ExportDialog(const QString& activeSeries, QWidget* parent = nullptr);

    TextLayout layout() const;
    bool allSeries() const;
    // The extension the layout's separator suggests: "csv" or "tsv".
    QString suffix() const;
    // Keeps the choices for the next time.
    void remember() const;

  private:
    void separatorChanged();

    QComboBox* series_;
    QComboBox* separator_;
    QComboBox* decimal_;
    QCheckBox* screen_;
    QCheckBox* seriesColumn_;
    QCheckBox* header_;
};

// Asks for the layout, then for the file; the extension chosen (.csv, .tsv, or .txt for
// the data file) decides the format. Empty when the user cancelled.
struct ExportChoice {
    QString path;
    TextLayout layout;
    bool allSeries = true;
};
std::optional<ExportChoice> chooseExport(const QString& activeSeries, QWidget* parent);
