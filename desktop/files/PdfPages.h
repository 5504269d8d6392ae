#pragma once

#include "platform/PdfPage.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <memory>

class PdfRenderer;
class QListWidget;
class QSpinBox;

// Reading PDF documents (with Qt PDF, in a module loaded the first time): open one, and
// render a page of it as the picture to digitize, on white, at the resolution asked for.
class PdfDocument {
  public:
    // Opens the document; error() says why when it cannot be read.
    explicit PdfDocument(const QString& path);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    const QString& error() const { return error_; }
    int pageCount() const;
    // The page's size in points (1/72 inch).
    QSizeF pageSize(int number) const;
    // The page rendered at page.dpi; null, with the reason in `why`, when the page does not
    // exist or its picture would not fit in `byteLimit` bytes.
    QImage render(PdfPage page, qint64 byteLimit, QString& why) const;

  private:
    std::unique_ptr<PdfRenderer> document_;
    QString error_;
};

// Which page of a document of several (with a picture of each), and at what resolution.
class PdfPageChooser : public QDialog {
    Q_OBJECT
  public:
    PdfPageChooser(const PdfDocument& document, const QString& name, QWidget* parent = nullptr);
    // The page chosen; the resolution is remembered for the next document.
    PdfPage choice() const;
    void choose(PdfPage page);

  private:
    QListWidget* pages_;
    QSpinBox* dpi_;
};
