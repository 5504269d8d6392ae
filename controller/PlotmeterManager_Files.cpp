#include "controller/PlotmeterManager.h"

#include "document/DataFile.h"
#include "document/ProjectFile.h"
#include "document/SafeFileWriter.h"
#include "platform/ModeButtons.h"
#include "platform/Platform.h"
#include "platform/ScrollView.h"
#include "view/PlotmeterView.h"

#include <cstdio>
#include <filesystem>

namespace {

bool isProjectPath(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".plotmeter";
}

std::string absolute(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

std::string fileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

} // namespace

bool PlotmeterManager::openPlotFile()
{
    if (openPanel_ == nullptr)
        openPanel_ = platform_.newOpenPanel(FileKind::project);
    if (openPanel_->runModal() == cancelButton)
        return false;
    const std::vector<std::string> paths = openPanel_->filenames();
    if (paths.empty())
        return false;
    openPath(paths.front());
    return true;
}

bool PlotmeterManager::openPath(const std::string& path)
{
    return isProjectPath(path) ? openProjectAtPath(path) : openPlotAtPath(path);
}

// Null, and the user told why, when the file holds no readable picture.
std::unique_ptr<PlotmeterView> PlotmeterManager::loadPicture(const std::string& path, std::optional<PdfPage> page)
{
    auto view = std::make_unique<PlotmeterView>(Rect{{0.0f, 0.0f}, {100.0f, 100.0f}}, platform_);
    view->setTarget(this);
    view->openImage(path, page);
    return view;
}

void PlotmeterManager::showPicture(std::unique_ptr<PlotmeterView> view)
{
    // The old view goes only after the scroll view has let go of it.
    plotView_->setDocumentView(view.get());
    plotmeterView_ = std::move(view);
}

// A file that holds no readable picture changes nothing: the current plot, the document
// and the mode stay, so a wrong choice in the panel never costs the user their points.
bool PlotmeterManager::openPlotAtPath(const std::string& path)
{
    std::unique_ptr<PlotmeterView> view = loadPicture(path);
    if (view->cancelled())
        return false;
    if (!view->hasImage()) {
        platform_.runAlertPanel("Can't Open Image", "Plotmeter could not read a picture from \"" + path +
                                                        "\": " + view->imageError() +
                                                        ". The current plot and its points are unchanged.");
        return false;
    }
    showPicture(std::move(view));

    Document fresh;
    fresh.setPicture(absolute(path));
    fresh.setPdfPage(plotmeterView_->pdfPage());
    unsavedPicture_.clear();
    worldMap_.reset();
    projectPath_.clear();
    history_.clear();
    document_.replaceWith(std::move(fresh));
    returnToCalibration();
    tell();
    return true;
}

// A project that cannot be read changes nothing. One whose picture is missing still
// opens, calibration and points included, and the user may say where the picture went.
bool PlotmeterManager::openProjectAtPath(const std::string& path)
{
    ProjectReading reading = readProjectFile(path);
    if (!reading.document) {
        // The reader's error begins with the file's path.
        platform_.runAlertPanel("Can't Open Project", "Plotmeter could not open the project " + reading.error +
                                                          ". The document on show is unchanged.");
        return false;
    }
    std::unique_ptr<PlotmeterView> view = loadPicture(reading.document->picture(), reading.document->pdfPage());
    const std::string pictureError = view->hasImage() ? std::string() : view->imageError();
    showPicture(view->hasImage() ? std::move(view) : nullptr);

    worldMap_.reset();
    projectPath_ = absolute(path);
    unsavedPicture_.clear();
    history_.clear();
    document_.replaceWith(std::move(*reading.document));
    // A complete calibration is fitted at once, so the points show their world values
    // and the user can go on digitizing where they left off.
    mode_ = calMode;
    if (loadCalibrationAndFit()) {
        mode_ = acquireMode;
        modeButtons_->selectCellAtRow(1, 0);
        dataView_->setDocumentView(acquireMatrix_.get());
    } else {
        returnToCalibration();
    }
    tell();
    if (!pictureError.empty())
        locateMissingPicture(document_.picture(), pictureError);
    return true;
}

bool PlotmeterManager::openUnsavedPicture(const std::string& path)
{
    if (!openPlotAtPath(path))
        return false;
    unsavedPicture_ = document_.picture();
    history_.markDirty();
    tell();
    return true;
}

bool PlotmeterManager::openRecoveredCopy(const std::string& path, const std::string& pastedPicture)
{
    if (!openProjectAtPath(path))
        return false;
    projectPath_.clear();
    unsavedPicture_ = pastedPicture;
    history_.markDirty();
    tell();
    return true;
}

void PlotmeterManager::locateMissingPicture(const std::string& path, const std::string& why)
{
    const std::size_t answer =
        platform_.runChoicePanel("Picture Not Found",
                                 "The picture of this project, \"" + path + "\", could not be opened: " + why +
                                     ". The calibration and the points are open; say where the picture is now "
                                     "to see them on it.",
                                 {"Locate Picture…", "Continue Without Picture"});
    if (answer == 0)
        locatePicture();
}

bool PlotmeterManager::locatePicture()
{
    if (!pictureMissing())
        return false;
    if (picturePanel_ == nullptr)
        picturePanel_ = platform_.newOpenPanel(FileKind::picture);
    while (picturePanel_->runModal() != cancelButton && !picturePanel_->filenames().empty()) {
        const std::string chosen = picturePanel_->filenames().front();
        // The same page of a PDF document that moved.
        std::unique_ptr<PlotmeterView> view = loadPicture(chosen, document_.pdfPage());
        if (view->hasImage()) {
            document_.setPdfPage(view->pdfPage());
            showPicture(std::move(view));
            document_.setPicture(absolute(chosen));
            // The project on disk still names the old place.
            history_.markDirty();
            tell();
            return true;
        }
        if (!view->cancelled())
            platform_.runAlertPanel("Can't Open Image", "Plotmeter could not read a picture from \"" + chosen +
                                                            "\": " + view->imageError() + ".");
    }
    return false;
}

bool PlotmeterManager::saveData()
{
    if (!worldMap_) {
        platform_.runAlertPanel("No Calibration", "The data cannot be saved before the calibration is complete: "
                                                  "choose Acquire once every calibration point has its world values.");
        return false;
    }
    if (savePanel_ == nullptr)
        savePanel_ = platform_.newSavePanel(FileKind::data);
    if (savePanel_->runModal() == cancelButton)
        return false;
    // With one series the data file holds every point taken; with more, only the
    // project keeps them all.
    if (writeData(savePanel_->filename()) && document_.series().size() == 1 && unsavedPicture_.empty())
        history_.markClean();
    tell();
    return true;
}

bool PlotmeterManager::saveProject()
{
    if (projectPath_.empty())
        return saveProjectAs();
    if (writeProject(projectPath_))
        history_.markClean();
    tell();
    return true;
}

bool PlotmeterManager::saveProjectAs()
{
    if (projectPanel_ == nullptr)
        projectPanel_ = platform_.newSavePanel(FileKind::project);
    if (projectPanel_->runModal() == cancelButton)
        return false;
    std::string path = projectPanel_->filename();
    if (!isProjectPath(path))
        path += ".plotmeter";
    if (writeProject(path)) {
        projectPath_ = absolute(path);
        history_.markClean();
    }
    tell();
    return true;
}

bool PlotmeterManager::mayExport()
{
    if (worldMap_)
        return true;
    platform_.runAlertPanel("No Calibration", "The data cannot be exported before the calibration is complete: "
                                              "choose Acquire once every calibration point has its world values.");
    return false;
}

bool PlotmeterManager::exportData(const std::string& path, TextLayout layout, bool allSeries,
                                  const Resampling& resampling)
{
    if (!mayExport())
        return false;
    const std::optional<char> separator = separatorForName(path, layout.decimalComma);
    // A .csv file keeps semicolons when they were chosen; a .tsv file has tabs.
    if (separator && (*separator == '\t' || layout.separator != ';'))
        layout.separator = *separator;
    // The data file holds the active series alone.
    const std::optional<std::size_t> only =
        allSeries && separator ? std::nullopt : std::optional<std::size_t>(document_.activeSeries());
    std::string text;
    if (resampling.resamples()) {
        const ResampledSeries sampled = resampleSeries(document_.series(), *worldMap_, resampling, only);
        if (!sampled.problem.empty()) {
            platform_.runAlertPanel("Export Failed", "Nothing was written: " + sampled.problem + ".");
            return false;
        }
        text = separator ? delimitedText(sampled.series, worldMap_->scales, layout)
                         : dataFileText(sampled.series.front().points);
    } else {
        text = separator ? delimitedText(document_, *worldMap_, layout, only)
                         : dataFileText(document_.active(), *worldMap_);
    }
    SafeFileWriter writer;
    if (writer.open(path) && writer.write(text) && writer.commit()) {
        const std::string how =
            resampling.resamples() ? ", " + describeResampling(resampling, worldMap_->scales) + "," : "";
        platform_.showStatus("Exported " + (allSeries ? std::string("every series") : document_.active().look.name) +
                             how + " to " + fileName(path) + ".");
        return true;
    }
    platform_.runAlertPanel("Export Failed", "The data could not be written to \"" + path + "\": " + writer.error() +
                                                 ". Any earlier file there is unchanged.");
    return false;
}

// A file is replaced only when all of it reached the disk; otherwise the previous file
// stays as it was and the user is told why.
bool PlotmeterManager::writeData(const std::string& path)
{
    SafeFileWriter writer;
    bool written = writer.open(path);
    if (!written && writer.failedToOpen())
        platform_.logDiagnostic("Can't open output file: " + path);
    written = written && writer.write(dataFileText(document_.active(), *worldMap_)) && writer.commit();
    if (!written) {
        platform_.runAlertPanel("Save Failed", "The data could not be saved to \"" + path + "\": " + writer.error() +
                                                   ". Any earlier file there is unchanged.");
        return false;
    }
    const std::size_t count = document_.active().points.size();
    platform_.showStatus("Saved " + std::to_string(count) + (count == 1 ? " point of " : " points of ") +
                         document_.active().look.name + " to " + fileName(path) + ".");
    return true;
}

bool PlotmeterManager::writeProject(const std::string& path)
{
    std::string error;
    if (!unsavedPicture_.empty() && document_.picture() == unsavedPicture_) {
        // The picture goes beside the project first, under a name no other file has.
        const std::filesystem::path project(absolute(path));
        std::filesystem::path kept;
        for (int n = 1; kept.empty() || std::filesystem::exists(kept); ++n) {
            std::string name = project.stem().string();
            if (n > 1)
                name.append("-").append(std::to_string(n));
            kept = project.parent_path() / name.append("-picture.png");
        }
        std::error_code failed;
        std::filesystem::copy_file(unsavedPicture_, kept, failed);
        if (failed) {
            // Appended, not added: GCC 12 warns falsely about a literal plus a temporary string.
            std::string message = "The pasted picture could not be saved as \"";
            message.append(kept.string())
                .append("\": ")
                .append(failed.message())
                .append(". The project was not saved.");
            platform_.runAlertPanel("Save Failed", message);
            return false;
        }
        document_.setPicture(kept.string());
        unsavedPicture_.clear();
    }
    if (writeProjectFile(document_, path, error)) {
        platform_.showStatus("Saved the project to " + fileName(path) + ".");
        return true;
    }
    platform_.runAlertPanel("Save Failed",
                            "The project could not be saved to " + error + ". Any earlier file there is unchanged.");
    return false;
}
