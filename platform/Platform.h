#pragma once

#include "platform/FilePanels.h"
#include "platform/Geometry.h"
#include "platform/PdfPage.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class Cursor;
class Image;

// The services of the window system that the program asks for by name: alerts, file
// panels, pictures and cursors. The Qt layer supplies the real ones; tests a fake.
class Platform {
  public:
    virtual ~Platform() = default;

    // A modal alert with a title, a message and one default button; returns once the
    // user dismissed it.
    virtual void runAlertPanel(const std::string& title, const std::string& message) = 0;
    // A modal question with one button a choice, the first the default; returns the index
    // of the button the user chose.
    virtual std::size_t runChoicePanel(const std::string& title, const std::string& message,
                                       const std::vector<std::string>& buttons) = 0;

    // An open panel for pictures, or (FileKind::project) for pictures and projects; a save
    // panel for data files or projects.
    virtual std::unique_ptr<OpenPanel> newOpenPanel(FileKind kind) = 0;
    virtual std::unique_ptr<SavePanel> newSavePanel(FileKind kind) = 0;

    // A picture among the application's resources; null when there is none by that name.
    virtual std::shared_ptr<Image> imageNamed(const std::string& name) = 0;
    // A picture read from a file; null, with the reason in whyNot, when it cannot be read.
    virtual std::shared_ptr<Image> imageWithContentsOfFile(const std::string& path, std::string& whyNot) = 0;
    // A page of a PDF document rendered as a picture. `page` holds the page and resolution
    // wanted, or nothing to let the user choose them; on success, what was rendered. Null
    // with whyNot empty when the user cancelled the choice, with the reason when the
    // document cannot be read. Without a PDF renderer every PDF is refused.
    virtual std::shared_ptr<Image> pdfPageImage(const std::string& path, std::optional<PdfPage>& page,
                                                std::string& whyNot)
    {
        (void)path;
        (void)page;
        whyNot = "this Plotmeter cannot read PDF documents";
        return nullptr;
    }
    // Null when no cursor can be made from the picture.
    virtual std::unique_ptr<Cursor> newCursor(const std::shared_ptr<Image>& image, FPoint hotSpot) = 0;
    // A short note that something finished well ("Saved data.txt"), where the user looks
    // without having to dismiss it: the window's status bar.
    virtual void showStatus(const std::string& message) = 0;
    // A line for whoever runs the program from a terminal (its standard error stream),
    // about something the user is not shown: the logic never writes there itself.
    virtual void logDiagnostic(const std::string& line) = 0;
};
