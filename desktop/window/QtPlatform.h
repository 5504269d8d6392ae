#pragma once

#include "platform/Platform.h"

#include <QPointer>
#include <QString>

class QWidget;

// The window system's services for the program, on Qt Widgets. Pictures named by the
// program come from the application's resources (":/name.tiff", ":/name.png").
class QtPlatform : public Platform {
  public:
    QtPlatform() = default;

    // Alerts and panels are modal to this window.
    void setWindow(QWidget* window) { window_ = window; }

    void runAlertPanel(const std::string& title, const std::string& message) override;
    std::size_t runChoicePanel(const std::string& title, const std::string& message,
                               const std::vector<std::string>& buttons) override;
    std::unique_ptr<OpenPanel> newOpenPanel(FileKind kind) override;
    std::unique_ptr<SavePanel> newSavePanel(FileKind kind) override;
    std::shared_ptr<Image> imageNamed(const std::string& name) override;
    std::shared_ptr<Image> imageWithContentsOfFile(const std::string& path, std::string& whyNot) override;
    // A document of several pages asks which one, and at what resolution; a one-page
    // document opens at the resolution last chosen (300 dpi at first).
    std::shared_ptr<Image> pdfPageImage(const std::string& path, std::optional<PdfPage>& page,
                                        std::string& whyNot) override;
    std::unique_ptr<Cursor> newCursor(const std::shared_ptr<Image>& image, FPoint hotSpot) override;
    void logDiagnostic(const std::string& line) override; // to the standard error stream
    void showStatus(const std::string& message) override; // in the window's status bar, a while

  protected:
    QWidget* window() const { return window_; }

  private:
    QPointer<QWidget> window_;
};
