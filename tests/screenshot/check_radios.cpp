// vorla-check-radios SHOT.png COUNT: finds the marks of chosen skinned radio buttons in a
// screenshot, a dark dot on the white well of the button, and checks that there are COUNT.
#include <QCoreApplication>
#include <QImage>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool Dark(QRgb p) {
    return qRed(p) < 64 && qGreen(p) < 64 && qBlue(p) < 64;
}

bool White(QRgb p) {
    return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200;
}

// A solid dark 3 x 3 block at x,y with the white well 5 pixels away on all four sides. Text
// strokes are thinner, and on the dialog's grey there is no white around them.
bool MarkAt(const QImage& shot, int x, int y) {
    constexpr int kWell = 5;
    if (x < kWell || y < kWell || x + kWell >= shot.width() || y + kWell >= shot.height()) {
        return false;
    }
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (!Dark(shot.pixel(x + dx, y + dy))) {
                return false;
            }
        }
    }
    return White(shot.pixel(x - kWell, y)) && White(shot.pixel(x + kWell, y)) &&
           White(shot.pixel(x, y - kWell)) && White(shot.pixel(x, y + kWell));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorla-check-radios SHOT.png COUNT\n");
        return 64;
    }
    QCoreApplication app(argc, argv);
    const QImage shot =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) {
        std::fprintf(stderr, "screenshot check failed: the screenshot cannot be read\n");
        return 1;
    }
    // One mark matches at a few neighbouring pixels: they count once.
    std::vector<QPoint> marks;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (!MarkAt(shot, x, y)) {
                continue;
            }
            bool known = false;
            for (const QPoint& mark : marks) {
                known = known || (mark - QPoint(x, y)).manhattanLength() <= 4;
            }
            if (!known) {
                marks.emplace_back(x, y);
            }
        }
    }
    std::printf("radio marks: %zu", marks.size());
    for (const QPoint& mark : marks) {
        std::printf(" at %d,%d", mark.x(), mark.y());
    }
    std::printf("\n");
    const long expected = std::stol(argv[2]);
    if (static_cast<long>(marks.size()) != expected) {
        std::fprintf(stderr, "screenshot check failed: %zu radio marks, expected %ld\n",
                     marks.size(), expected);
        return 1;
    }
    return 0;
}
