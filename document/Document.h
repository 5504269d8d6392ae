#pragma once

#include "document/Change.h"
#include "document/Series.h"
#include "platform/PdfPage.h"

#include <optional>
#include <string>
#include <vector>

class Document;

// What one change touched, for those who show the document.
struct Touched {
    enum class Part { points, calibration, seriesList, look, axes, activeSeries, measurements };
    enum class How { inserted, erased, modified };
    Part part;
    How how;
    std::size_t series = 0; // of points and looks
    std::size_t first = 0;  // of points, calibration rows and series
    std::size_t count = 1;
};

// Told after every change, so that tables and pictures showing the document catch up.
class DocumentObserver {
  public:
    virtual ~DocumentObserver() = default;
    virtual void documentChanged(const Document& document, const Touched& touched) = 0;
    // Everything may differ: another document took this one's place.
    virtual void documentReplaced(const Document& document) = 0;
};

// What the user is digitizing: the picture, the calibration points, the axis scales and
// the series of data points. Every position is kept once, in picture coordinates (x the
// column, y the height minus the row, pixel centres at whole numbers); world values are
// never stored, they are computed from the calibration in force whenever they are needed.
//
// A document always holds at least one series, and one of them is active: it receives new
// points and is the one the data table shows.
class Document {
  public:
    Document();

    // The picture's path as the user opened it; empty when there is none.
    const std::string& picture() const { return picture_; }
    void setPicture(std::string path) { picture_ = std::move(path); }
    // When the picture is a page of a PDF document: which page, at what resolution.
    const std::optional<PdfPage>& pdfPage() const { return pdfPage_; }
    void setPdfPage(std::optional<PdfPage> page) { pdfPage_ = page; }

    const std::vector<CalibrationPoint>& calibration() const { return calibration_; }
    AxisScales axes() const { return axes_; }
    const std::vector<Series>& series() const { return series_; }
    std::size_t activeSeries() const { return active_; }
    const Measurements& measurements() const { return measurements_; }
    const Series& active() const { return series_[active_]; }

    // Whether the change fits this document: every index it names exists, and it would not
    // remove the last series.
    bool accepts(const Change& change) const;
    // Applies one change the document accepts and returns the change that takes it back.
    // Throws std::out_of_range for a change it does not accept.
    Change apply(Change change);
    // Takes the place of this document, as opening a project does.
    void replaceWith(Document other);

    // The observer must outlive the document or be replaced before it goes.
    void setObserver(DocumentObserver* observer) { observer_ = observer; }

    // A name for a new series that no series has yet: "Series 2", "Series 3", ...
    std::string unusedSeriesName() const;

    friend bool operator==(const Document& a, const Document& b)
    {
        return a.picture_ == b.picture_ && a.pdfPage_ == b.pdfPage_ && a.calibration_ == b.calibration_ &&
               a.axes_ == b.axes_ && a.series_ == b.series_ && a.active_ == b.active_ &&
               a.measurements_ == b.measurements_;
    }

  private:
    Touched touchedBy(const Change& change) const;

    std::string picture_;
    std::optional<PdfPage> pdfPage_;
    std::vector<CalibrationPoint> calibration_;
    AxisScales axes_;
    std::vector<Series> series_;
    std::size_t active_ = 0;
    Measurements measurements_;
    DocumentObserver* observer_ = nullptr;
};
