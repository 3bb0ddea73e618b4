// Costs of the ticker's drawing and of the window outline. At the "Fast" speed the ticker draws
// up to 200 times a second, so one drawing's time x 200 is the share of a core it takes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "skin/BmpFile.h"
#include "skin/Region.h"
#include "skin/SkinText.h"

namespace {

constexpr int kCellW = 6;
constexpr int kCellH = 8;
const std::string kLine = "VORLA NEWS: 3 NEW SKINS ARE OUT, GET THEM AT THE WEB SITE NOW";

skin::Bitmap Font() {
    skin::Bitmap font(26 * kCellW, 3 * kCellH + 1, skin::KeyColour);
    for (int y = 0; y < font.Height(); ++y) {
        for (int x = 0; x < font.Width(); ++x) {
            if ((x + y) % 3 != 0) {
                font.Set(x, y, skin::Rgb(20, 40, static_cast<unsigned>(x)));
            }
        }
    }
    return font;
}

// A background whose outline is an ellipse, with a few holes, as a shaped skin would be.
skin::Bitmap ShapedBackground(int w, int h) {
    skin::Bitmap b(w, h, skin::Rgb(120, 120, 120));
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x - cx) / cx;
            const double dy = (y - cy) / cy;
            if (dx * dx + dy * dy > 1.0 || (x % 97 < 3 && y % 53 < 3)) {
                b.Set(x, y, skin::KeyColour);
            }
        }
    }
    return b;
}

struct FontFile {
    std::string path;
    FontFile() {
        path = (std::filesystem::temp_directory_path() /
                ("vorla-bench-font-" + std::to_string(::getpid()) + ".bmp"))
                   .string();
        skin::WriteBmp(Font(), path);
    }
    ~FontFile() { std::filesystem::remove(path); }
};

// A ticker drawing as DoScroll makes it: the cached font looked up by path, then the
// 60-character line rendered at a moving offset.
void BM_DrawSkinText60CachedFont(benchmark::State& state) {
    const FontFile file;
    skin::FontCache cache;
    const skin::Bitmap background(400, 40, skin::Rgb(90, 90, 90));
    skin::TextDrawing drawing;
    drawing.CellWidth = kCellW;
    drawing.CellHeight = kCellH;
    drawing.Background = &background;
    drawing.Left = 10;
    drawing.Top = 20;
    skin::Bitmap image;
    int offset = 0;
    for (auto _ : state) {
        drawing.Font = &cache.Font(file.path, 0);
        benchmark::DoNotOptimize(skin::RenderSkinText(drawing, kLine, offset, image));
        offset = (offset + 1) % 300;
    }
}
BENCHMARK(BM_DrawSkinText60CachedFont);

// The rendering alone, without the font lookup.
void BM_RenderSkinText60(benchmark::State& state) {
    const skin::Bitmap font = Font();
    const skin::Bitmap background(400, 40, skin::Rgb(90, 90, 90));
    skin::TextDrawing drawing;
    drawing.CellWidth = kCellW;
    drawing.CellHeight = kCellH;
    drawing.Font = &font;
    drawing.Background = &background;
    skin::Bitmap image;
    int offset = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(skin::RenderSkinText(drawing, kLine, offset, image));
        offset = (offset + 1) % 300;
    }
}
BENCHMARK(BM_RenderSkinText60);

// One ticker step over a long item near its start: the cost must not grow with the item's
// length (the first argument, in characters), since only the visible characters are drawn.
void BM_RenderSkinTextLongItem(benchmark::State& state) {
    const skin::Bitmap font = Font();
    const skin::Bitmap background(400, 40, skin::Rgb(90, 90, 90));
    skin::TextDrawing drawing;
    drawing.CellWidth = kCellW;
    drawing.CellHeight = kCellH;
    drawing.Font = &font;
    drawing.Background = &background;
    std::string item;
    while (item.size() < static_cast<std::size_t>(state.range(0))) {
        item += kLine;
    }
    item.resize(static_cast<std::size_t>(state.range(0)));
    skin::Bitmap image;
    int offset = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(skin::RenderSkinText(drawing, item, offset, image));
        offset = (offset + 1) % 300;
    }
}
BENCHMARK(BM_RenderSkinTextLongItem)->Arg(60)->Arg(1024)->Arg(1 << 20);

// A skin with 1024 x 1024 cells and maxchar 100 on a 400 x 40 window: the image stops at the
// window's edges instead of taking 32767 x 1025 pixels.
void BM_RenderSkinTextHugeCells(benchmark::State& state) {
    const skin::Bitmap font(2 * 1024, 1024, skin::Rgb(20, 40, 60));
    const skin::Bitmap background(400, 40, skin::Rgb(90, 90, 90));
    skin::TextDrawing drawing;
    drawing.CellWidth = 1024;
    drawing.CellHeight = 1024;
    drawing.MaxChar = 100;
    drawing.Font = &font;
    drawing.Background = &background;
    drawing.Left = 10;
    drawing.Top = 20;
    const std::string text(100, 'B');
    skin::Bitmap image;
    for (auto _ : state) {
        benchmark::DoNotOptimize(skin::RenderSkinText(drawing, text, 0, image));
    }
    state.counters["pixels"] = static_cast<double>(image.Width()) * image.Height();
}
BENCHMARK(BM_RenderSkinTextHugeCells)->Unit(benchmark::kMillisecond);

void BM_RegionFromBitmap1920x1080(benchmark::State& state) {
    const skin::Bitmap background = ShapedBackground(1920, 1080);
    std::size_t rects = 0;
    for (auto _ : state) {
        const auto region = skin::RegionFromBitmap(background, skin::KeyColour, 0);
        rects = region->Rects().size();
        benchmark::DoNotOptimize(rects);
    }
    state.counters["rects"] = static_cast<double>(rects);
}
BENCHMARK(BM_RegionFromBitmap1920x1080)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
