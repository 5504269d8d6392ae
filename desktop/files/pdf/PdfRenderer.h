#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

// What the program asks of a PDF renderer. The one it has (Qt PDF) lives in a module of
// its own, libplotmeter-pdf, loaded the first time a PDF document is opened: Qt PDF and
// the libraries it needs would otherwise be loaded, and cost time, at every start.
class PdfRenderer {
  public:
    virtual ~PdfRenderer() = default;
    // Opens the document; the reason, as a phrase for the user, when it cannot be read.
    virtual QString load(const QString& path) = 0;
    virtual int pageCount() const = 0;
    // The page's size in points (1/72 inch); pages counted from 0.
    virtual QSizeF pagePointSize(int index) const = 0;
    // The page drawn at that size, transparent where the page paints nothing; null when
    // it could not be drawn.
    virtual QImage render(int index, QSize size) const = 0;
};

// The module's one entry point, found by this name.
extern "C" PdfRenderer* plotmeterNewPdfRenderer();
inline constexpr const char* newPdfRendererSymbol = "plotmeterNewPdfRenderer";
