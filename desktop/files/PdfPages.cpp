#include "desktop/files/PdfPages.h"

#include "desktop/files/Modules.h"
#include "desktop/files/pdf/PdfRenderer.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int thumbnailSide = 150;

// A page rendered on white: the renderer leaves transparent what the page does not paint.
QImage onWhite(const QImage& rendered)
{
    QImage page(rendered.size(), QImage::Format_RGB32);
    if (page.isNull())
        return {};
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.drawImage(0, 0, rendered);
    return page;
}

// The PDF module, loaded once. Null, with the reason, when it cannot be found.
std::unique_ptr<PdfRenderer> newRenderer(QString& why)
{
    static const QFunctionPointer entry = moduleEntry("plotmeter-pdf", newPdfRendererSymbol);
    if (entry == nullptr) {
        why = QObject::tr("this Plotmeter cannot read PDF documents: its PDF module (libplotmeter-pdf) is missing");
        return nullptr;
    }
    return std::unique_ptr<PdfRenderer>(reinterpret_cast<PdfRenderer* (*)()>(entry)());
}

} // namespace

PdfDocument::PdfDocument(const QString& path)
{
    document_ = newRenderer(error_);
    if (document_ == nullptr)
        return;
    error_ = document_->load(path);
    if (error_.isEmpty() && document_->pageCount() < 1)
        error_ = QObject::tr("the PDF document has no pages");
}

PdfDocument::~PdfDocument() = default;

int PdfDocument::pageCount() const
{
    return error_.isEmpty() ? document_->pageCount() : 0;
}

QSizeF PdfDocument::pageSize(int number) const
{
    return error_.isEmpty() ? document_->pagePointSize(number - 1) : QSizeF();
}

QImage PdfDocument::render(PdfPage page, qint64 byteLimit, QString& why) const
{
    if (page.number < 1 || page.number > pageCount()) {
        why = (pageCount() == 1 ? QObject::tr("the PDF document has 1 page, and no page %2")
                                : QObject::tr("the PDF document has %1 pages, and no page %2").arg(pageCount()))
                  .arg(page.number);
        return {};
    }
    const QSizeF points = pageSize(page.number);
    const double scale = page.dpi / 72.0;
    const double width = std::ceil(points.width() * scale);
    const double height = std::ceil(points.height() * scale);
    if (!(width >= 1 && height >= 1) || width * height * 4 > static_cast<double>(byteLimit)) {
        why = QObject::tr("page %1 at %2 dpi would be %3 × %4 pixels, more than this computer can open; choose a "
                          "lower resolution")
                  .arg(page.number)
                  .arg(page.dpi)
                  .arg(width, 0, 'f', 0)
                  .arg(height, 0, 'f', 0);
        return {};
    }
    const QImage rendered =
        document_->render(page.number - 1, QSize(static_cast<int>(width), static_cast<int>(height)));
    if (rendered.isNull()) {
        why = QObject::tr("page %1 of the PDF document could not be rendered").arg(page.number);
        return {};
    }
    return onWhite(rendered);
}

PdfPageChooser::PdfPageChooser(const PdfDocument& document, const QString& name, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("pdfPageChooser"));
    setWindowTitle(tr("Choose a Page"));
    pages_ = new QListWidget(this);
    pages_->setObjectName(QStringLiteral("pdfPages"));
    pages_->setViewMode(QListView::IconMode);
    pages_->setIconSize(QSize(thumbnailSide, thumbnailSide));
    pages_->setResizeMode(QListView::Adjust);
    pages_->setMovement(QListView::Static);
    pages_->setSpacing(8);
    pages_->setMinimumSize(4 * (thumbnailSide + 24), thumbnailSide + 60);
    for (int number = 1; number <= document.pageCount(); ++number) {
        const QSizeF size = document.pageSize(number);
        const double dpi = 72.0 * thumbnailSide / std::max({size.width(), size.height(), 1.0});
        QString why;
        const QImage thumbnail = document.render({number, dpi}, qint64{1} << 26, why);
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(thumbnail)), tr("Page %1").arg(number), pages_);
        item->setData(Qt::UserRole, number);
    }
    pages_->setCurrentRow(0);

    dpi_ = new QSpinBox(this);
    dpi_->setObjectName(QStringLiteral("pdfDpi"));
    dpi_->setRange(static_cast<int>(PdfPage::lowestDpi), static_cast<int>(PdfPage::highestDpi));
    dpi_->setSuffix(tr(" dpi"));
    dpi_->setValue(QSettings().value(QStringLiteral("pdf/dpi"), PdfPage::defaultDpi).toInt());
    dpi_->setToolTip(tr("Pixels per inch of the page: more gives finer points, and a larger picture"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pages_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr("“%1” has %2 pages. Which one holds the plot?").arg(name).arg(document.pageCount()), this));
    layout->addWidget(pages_, 1);
    auto* form = new QFormLayout;
    form->addRow(tr("Resolution:"), dpi_);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

PdfPage PdfPageChooser::choice() const
{
    QSettings().setValue(QStringLiteral("pdf/dpi"), dpi_->value());
    const QListWidgetItem* item = pages_->currentItem();
    return {item != nullptr ? item->data(Qt::UserRole).toInt() : 1, static_cast<double>(dpi_->value())};
}

void PdfPageChooser::choose(PdfPage page)
{
    pages_->setCurrentRow(page.number - 1);
    dpi_->setValue(static_cast<int>(page.dpi));
}
