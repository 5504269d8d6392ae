#pragma once

#include "desktop/picture/ClickSnapper.h"
#include "desktop/picture/MatchOverlay.h"
#include "desktop/picture/PlotImageWidget.h"
#include "document/PictureExtraction.h"

#include <QDockWidget>
#include <functional>
#include <memory>
#include <optional>

class ExtractionRun;
class PlotmeterManager;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QLineEdit;
class QToolButton;

// Automatic extraction, beside the picture: the colour (picked from the picture with the
// eyedropper, which also marks the curve to follow, from the picture's main colours, or
// chosen), its tolerance with the matching
// pixels shown over the picture, line or markers mode, where to look (the calibration
// points' box, a box drawn on the picture, less what is painted out) and which series gets
// the points. Extract runs off the window's thread with a progress bar and Cancel; what it
// finds is one step to undo. Its code: the controls and settings in _Controls.cpp, the
// picture tools in _Tools.cpp, the run in ExtractionRun.
class ExtractionPanel : public QDockWidget {
    Q_OBJECT
  public:
    // `acquire` switches to acquisition (fitting the calibration) and says whether it could.
    ExtractionPanel(PlotmeterManager& manager, ShownPixels& pixels, std::function<bool()> acquire,
                    QWidget* parent = nullptr);
    ~ExtractionPanel() override;

    // The tool the picture should use for the left button; none when no tool is chosen.
    PictureTool* tool() const;
    // Drawn over the picture: the matching pixels, the box and what is painted out.
    void paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom) const;
    // A new picture: its colours, and nothing drawn on the last one.
    void pictureChanged();
    // Any change to the document: a message about the last extraction's points goes once
    // another step is taken or that one is undone.
    void documentChanged();

    // The choices, as the controls show them.
    ExtractionSettings settings() const;
    std::optional<Rgb> colour() const { return colour_; }
    // A colour chosen without a point on the picture: the curve is then the extraction's choice.
    void setColour(Rgb colour);
    // Where Pick was clicked (picture coordinates): line mode follows the curve through it.
    std::optional<DPoint> start() const { return start_; }
    QString message() const;
    const MatchOverlay& overlay() const { return overlay_; }

    // Starts the extraction, as the Extract button does: off the window's thread, its
    // points added when it ends. False, with the reason shown, when it cannot start.
    bool start();
    bool running() const { return run_ != nullptr; }
    // Starts it and waits for its end; true when points were added.
    bool extract();

  signals:
    // A run started by start() ended; `added` says whether points went in.
    void extractionEnded(bool added);
    // The tool, the overlay or the region changed: the picture needs a repaint, and
    // perhaps another tool.
    void pictureOverlayChanged();

  private:
    class Tool;
    enum class ToolKind { none, eyedropper, box, brush };
    void buildControls(); // once, when first needed
    void chooseTool(ToolKind kind);
    void showColour(Rgb colour);
    void followAxes(); // on polar axes the step is an angle
    void refreshOverlay();
    void refreshPalette();
    void say(const QString& text, bool problem);
    std::shared_ptr<const PicturePixels> pixels();
    // From the tools, in picture coordinates.
    void picked(DPoint picture);
    void boxDrawn(DPoint from, DPoint to, bool done);
    void paintedOut(DPoint picture);
    void finished(const PictureExtraction& found);

    PlotmeterManager& manager_;
    std::function<bool()> acquire_;
    std::unique_ptr<Tool> tool_;
    std::unique_ptr<Tool> retired_;
    ToolKind toolKind_ = ToolKind::none;
    MatchOverlay overlay_;
    ShownPixels& pixels_;
    std::optional<Rgb> colour_;
    std::optional<DPoint> start_;
    std::optional<std::size_t> addedAt_; // the history's position after the points went in
    ExtractionRun* run_ = nullptr;       // while an extraction runs
    bool built_ = false;                 // the controls below are made
    // The angle unit the step's unit last followed; empty inside for Cartesian axes.
    std::optional<std::optional<AngleUnit>> followed_;
    bool lastAdded_ = false;
    std::optional<std::pair<DPoint, DPoint>> drawnBox_;
    std::vector<ExtractionSettings::Disc> excluded_;

    QToolButton* swatch_ = nullptr;
    QToolButton* eyedropper_ = nullptr;
    QWidget* palette_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QCheckBox* showMatches_ = nullptr;
    QComboBox* mode_ = nullptr;
    QDoubleSpinBox* step_ = nullptr;
    QComboBox* stepUnit_ = nullptr;
    QCheckBox* keepAllRuns_ = nullptr;
    QDoubleSpinBox* gap_ = nullptr;
    QCheckBox* commonSize_ = nullptr;
    QDoubleSpinBox* smallest_ = nullptr;
    QDoubleSpinBox* largest_ = nullptr;
    QWidget* barOptions_ = nullptr;
    QCheckBox* automaticBaseline_ = nullptr;
    QLineEdit* baseline_ = nullptr;
    QWidget* lineOptions_ = nullptr;
    QWidget* markerOptions_ = nullptr;
    QComboBox* region_ = nullptr;
    QToolButton* drawBox_ = nullptr;
    QToolButton* brush_ = nullptr;
    QDoubleSpinBox* brushSize_ = nullptr;
    QPushButton* clearPainted_ = nullptr;
    QComboBox* into_ = nullptr;
    QPushButton* extract_ = nullptr;
    QLabel* message_ = nullptr;
};
