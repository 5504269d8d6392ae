// The PDF module: Qt PDF behind the program's PdfRenderer, in a library of its own.
#include "desktop/files/pdf/PdfRenderer.h"

#include <QObject>
#include <QPdfDocument>

namespace {

QString reason(QPdfDocument::Error error)
{
    switch (error) {
    case QPdfDocument::Error::None:
        return {};
    case QPdfDocument::Error::FileNotFound:
        return QObject::tr("the file does not exist or cannot be read");
    case QPdfDocument::Error::IncorrectPassword:
        return QObject::tr("the PDF document is protected by a password; save an unprotected copy of it, or a "
                           "picture of the page, and open that");
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return QObject::tr("the PDF document is encrypted in a way Plotmeter cannot open");
    case QPdfDocument::Error::InvalidFileFormat:
    case QPdfDocument::Error::DataNotYetAvailable:
    case QPdfDocument::Error::Unknown:
        break;
    }
    return QObject::tr("the PDF document is damaged or cut short");
}

class QtPdfRenderer : public PdfRenderer {
  public:
    QString load(const QString& path) override { return reason(document_.load(path)); }
    int pageCount() const override { return document_.pageCount(); }
    QSizeF pagePointSize(int index) const override { return document_.pagePointSize(index); }
    QImage render(int index, QSize size) const override { return document_.render(index, size); }

  private:
    mutable QPdfDocument document_; // its render() is not const
};

} // namespace

extern "C" Q_DECL_EXPORT PdfRenderer* plotmeterNewPdfRenderer()
{
    return new QtPdfRenderer;
}
