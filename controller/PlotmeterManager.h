#pragma once

#include "calibration/CartesianPlotmeter.h"
#include "controller/DocumentTables.h"
#include "document/CalibrationCheck.h"
#include "document/CsvFile.h"
#include "document/Document.h"
#include "document/History.h"
#include "document/Resampling.h"
#include "document/WorldMap.h"
#include "platform/FilePanels.h"
#include "view/ScreenPointTarget.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class ModeButtons;

class Platform;
class PlotmeterView;
class ScrollView;

// The application controller. It keeps the document and its undo history, shows the
// calibration table or the data table according to the mode, routes every double-click
// on the plot, fits the calibration when the user switches to acquisition, and opens and
// saves pictures, projects and data files.
//
// Every change to the document is one step of the history, so it can be undone.
class PlotmeterManager : public ScreenPointTarget, private DocumentObserver {
  public:
    static constexpr int calMode = 2;
    static constexpr int acquireMode = 1;

    explicit PlotmeterManager(Platform& platform);
    ~PlotmeterManager() override;
    PlotmeterManager(const PlotmeterManager&) = delete;
    PlotmeterManager& operator=(const PlotmeterManager&) = delete;

    // The window's parts; they must outlive the controller.
    void connectOutlets(ScrollView& plotView, ScrollView& dataView, ModeButtons& modeButtons);

    // Builds both tables and shows the calibration table. Call once, after
    // connectOutlets and before any action.
    void applicationDidFinishLaunching();

    // Told after every change to the document and after another document took its place,
    // so that the window can redraw marks, the series list and the Edit menu.
    void setDocumentListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // Actions of the window's controls.
    PlotmeterManager& setMode();
    PlotmeterManager& clearData();
    // False when the user cancelled the panel.
    bool openPlotFile();
    bool saveData();
    bool saveProject();
    bool saveProjectAs();
    // Writes the data points to `path`: CSV or tab-separated text as its extension (.csv,
    // .tsv) and `layout` ask, every series or the active one; any other extension gets the
    // data file of the active series. With a resampling, the points at its x values. False,
    // the user told why, when nothing was written.
    bool exportData(const std::string& path, TextLayout layout, bool allSeries, const Resampling& resampling = {});
    // Whether there is a calibration to export with; when there is none, the user is told.
    bool mayExport();
    void undo();
    void redo();

    // Opens a picture or, by its .plotmeter extension, a project, exactly as if it had
    // been chosen in the open panel. False when it could not be opened (the user was told
    // why, and the document on show is unchanged).
    bool openPath(const std::string& path);
    bool openPlotAtPath(const std::string& path);
    bool openProjectAtPath(const std::string& path);
    // A picture that lives in no file of the user's, as one pasted from the clipboard,
    // kept meanwhile at `path`: opened as a picture is, it counts as an unsaved change, and
    // saving the project copies it beside the project as a PNG the project names.
    bool openUnsavedPicture(const std::string& path);
    // A recovery copy, opened as the document it was: with changes in no file, and no
    // project to save into, so that the user saves it where they choose. `pastedPicture`
    // is its picture when that lives in no file of the user's (it is then kept as a pasted
    // one is). False when it could not be opened.
    bool openRecoveredCopy(const std::string& path, const std::string& pastedPicture);

    void newScreenPoint(DPoint point) override;
    bool isColinear(DPoint point) const;

    // A value typed into a calibration row's world x (column 2) or world y (column 3):
    // one finite number, or nothing to clear it. False when refused.
    bool setCalibrationValue(int row, int column, const std::string& text);

    // The scale of one axis (0 x, 1 y); an edit to undo. While acquiring, the fit follows
    // at once, or the calibration comes back to be corrected.
    void setAxisScale(int axis, AxisScale scale);
    // The axes as a whole (Cartesian or polar, and their settings); an edit to undo named
    // `name`, the fit following as setAxisScale's.
    void setAxes(const AxisScales& scales, const std::string& name = "Change Axes");
    // A whole calibration in place of the one there, with the axes' scales, as one step to
    // undo named `name` ("Find Axes"); back to calibrating, so that the user checks it.
    void replaceCalibration(const std::string& name, const std::vector<CalibrationPoint>& points, AxisScales axes);

    // Editing on the picture. Which points: the calibration, or the active series' data.
    enum class PointKind { calibration, data };
    // Deletes rows of the table on show, as one step to undo; false when none is a row.
    bool deletePoints(std::vector<std::size_t> rows);
    // Moves the given points by `by` (picture units), as one step to undo. A calibration
    // point moved while acquiring refits at once, as any change to the calibration does.
    bool movePoints(PointKind kind, std::vector<std::size_t> rows, DPoint by);

    // Points found by automatic extraction (picture coordinates), as one step to undo:
    // appended to the active series, or to a new series named after `colour` (drawn in a
    // colour that stands out from it). False when there are none.
    bool addExtractedPoints(const std::vector<DPoint>& points, bool intoNewSeries, Colour colour);
    // The measurements and the scale bar as a whole, as one step to undo named `name`.
    void setMeasurements(Measurements measurements, const std::string& name);

    // The series list.
    void addSeries();
    void deleteSeries(std::size_t index);
    void renameSeries(std::size_t index, const std::string& name);
    void setSeriesColour(std::size_t index, Colour colour);
    void setSeriesMarker(std::size_t index, MarkerShape marker);
    void setSeriesVisible(std::size_t index, bool visible);
    // Which series receives new points and fills the data table; not an edit to undo.
    void setActiveSeries(std::size_t index);

    // Whether the document holds changes not yet in a file: the unsaved-changes question.
    // A project whose picture could not be opened: its calibration and points are open
    // without it. locatePicture asks where the picture is now (the same page of a PDF)
    // and shows it, keeping the document; false when it is not missing or none was chosen.
    bool pictureMissing() const { return plotmeterView_ == nullptr && !document_.picture().empty(); }
    bool locatePicture();

    bool hasUnsavedChanges() const { return !history_.isClean(); }

    int mode() const { return mode_; }
    const Document& document() const { return document_; }
    const History& history() const { return history_; }
    // The calibration on show checked against its own fit, after every change to it.
    const std::optional<CalibrationCheck>& calibrationCheck() const { return check_; }
    // The mapping in force since the last successful fit; empty before one.
    const std::optional<WorldMap>& worldMap() const { return worldMap_; }
    const std::string& projectPath() const { return projectPath_; }
    PointTable* calMatrix() const { return calMatrix_.get(); }
    PointTable* acquireMatrix() const { return acquireMatrix_.get(); }
    const CartesianPlotmeter& plotmeter() const { return plotmeter_; }
    PlotmeterView* plotmeterView() const { return plotmeterView_.get(); }

  private:
    void documentChanged(const Document& document, const Touched& touched) override;
    void documentReplaced(const Document& document) override;

    void perform(std::string name, Change change);
    void showIfHidden(std::size_t series, std::vector<Change>& changes) const;
    template <typename Edit> void changeLook(std::size_t index, const char* name, Edit edit);
    PointTable& tableOfMode() const;
    void returnToCalibration();
    bool loadCalibrationAndFit();
    void calibrationChangedUnderAcquisition();
    std::unique_ptr<PlotmeterView> loadPicture(const std::string& path, std::optional<PdfPage> page = std::nullopt);
    void showPicture(std::unique_ptr<PlotmeterView> view);
    void locateMissingPicture(const std::string& path, const std::string& why);
    bool writeData(const std::string& path);
    bool writeProject(const std::string& path);
    void tell();

    Platform& platform_;
    ScrollView* plotView_ = nullptr;
    ScrollView* dataView_ = nullptr;
    ModeButtons* modeButtons_ = nullptr;
    int mode_ = calMode;
    CartesianPlotmeter plotmeter_;
    std::optional<WorldMap> worldMap_;
    Document document_;
    History history_;
    std::string projectPath_;
    std::string unsavedPicture_; // the document's picture, until a project keeps it
    bool calibrationChanged_ = false;
    std::optional<CalibrationCheck> check_;
    std::unique_ptr<CalibrationTable> calMatrix_;
    std::unique_ptr<DataTable> acquireMatrix_;
    std::unique_ptr<PlotmeterView> plotmeterView_;
    std::unique_ptr<OpenPanel> openPanel_;
    std::unique_ptr<OpenPanel> picturePanel_;
    std::unique_ptr<SavePanel> savePanel_;
    std::unique_ptr<SavePanel> projectPanel_;
    std::function<void()> listener_;
};
