// A plain Qt window for side-by-side measurements: "repaint" repaints every 5 ms until it is
// ended; "empty" shows an empty window and ends after its first paint.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace {

class Window final : public QWidget {
public:
    explicit Window(bool quitAfterPaint) : m_quitAfterPaint(quitAfterPaint) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), (++m_paints % 2) ? Qt::black : Qt::darkGray);
        if (m_quitAfterPaint) {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool m_quitAfterPaint;
    int m_paints = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const bool repaint = argc > 1 && std::strcmp(argv[1], "repaint") == 0;
    QApplication app(argc, argv);
    Window window(!repaint);
    window.resize(200, 40);
    QTimer timer;
    if (repaint) {
        QObject::connect(&timer, &QTimer::timeout, &window, [&window] { window.update(); });
        timer.start(5);
    }
    window.show();
    return QApplication::exec();
}
