#include "controller/PlotmeterManager.h"

#include "controller/DataFileFormat.h"
#include "controller/SafeFileWriter.h"
#include "platform/ModeButtons.h"
#include "platform/Platform.h"
#include "platform/ScrollView.h"
#include "view/PlotmeterView.h"

#include <cstdio>

bool PlotmeterManager::openPlotFile()
{
    if (openPanel_ == nullptr)
        openPanel_ = platform_.newOpenPanel();
    if (openPanel_->runModal() == cancelButton)
        return false;
    const std::vector<std::string> paths = openPanel_->filenames();
    if (paths.empty())
        return false;
    openPlotAtPath(paths.front());
    return true;
}

// A file that holds no readable picture changes nothing: the current plot, both tables
// and the mode stay, so a wrong choice in the panel never costs the user their points.
void PlotmeterManager::openPlotAtPath(const std::string& path)
{
    auto view = std::make_unique<PlotmeterView>(Rect{{0.0f, 0.0f}, {100.0f, 100.0f}}, platform_);
    view->setTarget(this);
    view->openImage(path);
    if (!view->hasImage()) {
        platform_.runAlertPanel("Can't Open Image", "Plotmeter could not read a picture from \"" + path +
                                                        "\": " + view->imageError() +
                                                        ". The current plot and its points are unchanged.");
        return;
    }

    // The old view goes only after the scroll view has let go of it.
    plotView_->setDocumentView(view.get());
    plotmeterView_ = std::move(view);

    emptyTable(*calMatrix_);
    emptyTable(*acquireMatrix_);
    mode_ = calMode;
    modeButtons_->selectCellAtRow(0, 0);
    dataView_->setDocumentView(calMatrix_.get());
}

bool PlotmeterManager::saveData()
{
    if (savePanel_ == nullptr)
        savePanel_ = platform_.newSavePanel();
    if (savePanel_->runModal() == cancelButton)
        return false;
    if (writeData(savePanel_->filename()))
        unsavedData_ = false;
    return true;
}

// The file is replaced only when every line reached the disk; otherwise the previous file
// stays as it was and the user is told why.
bool PlotmeterManager::writeData(const std::string& path)
{
    SafeFileWriter writer;
    bool written = writer.open(path);
    if (!written && writer.failedToOpen())
        std::fprintf(stderr, "Can't open output file: %s\n", path.c_str());

    constexpr std::size_t chunk = 1 << 16;
    std::string text;
    text.reserve(chunk + 256);
    const PointTable& table = *acquireMatrix_;
    const int n = table.numberOfRows();
    for (int i = 0; i < n && written; ++i) {
        appendDataLine(text, table.cellAtRow(i, 0).floatValue(), table.cellAtRow(i, 1).floatValue(),
                       table.cellAtRow(i, 2).floatValue(), table.cellAtRow(i, 3).floatValue());
        if (text.size() >= chunk) {
            written = writer.write(text);
            text.clear();
        }
    }
    written = written && writer.write(text) && writer.commit();

    if (!written)
        platform_.runAlertPanel("Save Failed", "The data could not be saved to \"" + path + "\": " + writer.error() +
                                                   ". Any earlier file there is unchanged.");
    return written;
}
