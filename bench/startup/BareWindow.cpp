// The floor for start-up: the plainest Qt 6 Widgets program that shows a window of the
// size of Plotmeter's. Given a picture file, it decodes it with QImageReader alone and
// shows it at 100 % in a scroll area, painted straight from the decoded image. Built a
// second time with BARE_WINDOW_WITH_TEXT, the empty window shows one line of text.
#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QWidget>

namespace {

class PictureWidget : public QWidget {
  public:
    explicit PictureWidget(QImage image) : image_(std::move(image))
    {
        setObjectName(QStringLiteral("plotImage"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(image_.size());
    }

  protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.drawImage(event->rect(), image_, event->rect());
    }

  private:
    QImage image_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        QWidget window;
#ifdef BARE_WINDOW_WITH_TEXT
        // The same with one line of text: what the first text in a window costs.
        auto* text = new QLabel(QStringLiteral("Open a picture of a plot with File > Open Plot... (Ctrl+O)."), &window);
        text->move(20, 20);
#endif
        window.resize(1240, 780);
        window.show();
        return QApplication::exec();
    }
    QImageReader::setAllocationLimit(0);
    QImageReader reader(arguments.at(1));
    reader.setAutoTransform(true);
    QScrollArea window;
    window.setWidget(new PictureWidget(reader.read()));
    window.resize(1240, 780);
    window.show();
    return QApplication::exec();
}
