// Draws the two pictures of the information windows (a lined sheet of paper with a pencil lying
// across it) and writes them as JPEG files. Built and run by tools/make_pictures.sh; the results
// are committed under resources/, so the editor's build never runs this.
//
//   draw_pictures <note.jpg> <about.jpg>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

struct Rgb {
    float r, g, b;
};

struct Point {
    float x, y;
};

// A canvas of linear colour values with anti-aliased, alpha-blended filling: every pixel is
// sampled on a fine grid so that the pencil's diagonal edges stay smooth at 54 pixels wide.
class Canvas {
public:
    Canvas(int width, int height, Rgb background)
        : m_width(width),
          m_height(height),
          m_pixels(static_cast<size_t>(width) * height, background)
    {
    }

    int width() const { return m_width; }
    int height() const { return m_height; }

    // Pixel-aligned rectangle, [x0, x1) x [y0, y1).
    void fillRect(int x0, int y0, int x1, int y1, Rgb colour, float alpha = 1.0f)
    {
        for (int y = std::max(0, y0); y < std::min(m_height, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(m_width, x1); ++x)
                blend(x, y, colour, alpha);
    }

    // A convex polygon, corners in pixel coordinates (0,0 is the top left of the first pixel).
    void fillConvex(const std::vector<Point>& poly, Rgb colour, float alpha = 1.0f)
    {
        float minX = poly[0].x, maxX = poly[0].x, minY = poly[0].y, maxY = poly[0].y;
        for (const Point& p : poly) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        const int x0 = std::max(0, static_cast<int>(std::floor(minX)));
        const int x1 = std::min(m_width - 1, static_cast<int>(std::ceil(maxX)));
        const int y0 = std::max(0, static_cast<int>(std::floor(minY)));
        const int y1 = std::min(m_height - 1, static_cast<int>(std::ceil(maxY)));
        constexpr int kGrid = 8;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                int inside = 0;
                for (int sy = 0; sy < kGrid; ++sy)
                    for (int sx = 0; sx < kGrid; ++sx)
                        inside +=
                            contains(poly, {x + (sx + 0.5f) / kGrid, y + (sy + 0.5f) / kGrid});
                if (inside > 0)
                    blend(x, y, colour, alpha * inside / (kGrid * kGrid));
            }
        }
    }

    bool writeJpeg(const char* path) const
    {
        std::FILE* file = std::fopen(path, "wb");
        if (!file)
            return false;
        jpeg_compress_struct cinfo;
        jpeg_error_mgr jerr;
        cinfo.err = jpeg_std_error(&jerr);
        jpeg_create_compress(&cinfo);
        jpeg_stdio_dest(&cinfo, file);
        cinfo.image_width = static_cast<JDIMENSION>(m_width);
        cinfo.image_height = static_cast<JDIMENSION>(m_height);
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 94, TRUE);
        // Full-resolution colour: with the usual 2x2 chroma subsampling the one-pixel red margin
        // and blue rules of the small picture smear into grey.
        for (int c = 0; c < 3; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
        jpeg_start_compress(&cinfo, TRUE);
        std::vector<JSAMPLE> row(static_cast<size_t>(m_width) * 3);
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                const Rgb& p = m_pixels[static_cast<size_t>(y) * m_width + x];
                row[x * 3 + 0] = toByte(p.r);
                row[x * 3 + 1] = toByte(p.g);
                row[x * 3 + 2] = toByte(p.b);
            }
            JSAMPROW rows[1] = {row.data()};
            jpeg_write_scanlines(&cinfo, rows, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        return std::fclose(file) == 0;
    }

private:
    static bool contains(const std::vector<Point>& poly, Point p)
    {
        // Inside a convex polygon: on the same side of every edge.
        bool anyPositive = false, anyNegative = false;
        for (size_t i = 0; i < poly.size(); ++i) {
            const Point& a = poly[i];
            const Point& b = poly[(i + 1) % poly.size()];
            const float cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
            anyPositive |= cross > 0;
            anyNegative |= cross < 0;
        }
        return !(anyPositive && anyNegative);
    }

    static JSAMPLE toByte(float v)
    {
        return static_cast<JSAMPLE>(std::clamp(std::lround(v), 0L, 255L));
    }

    void blend(int x, int y, Rgb c, float a)
    {
        Rgb& p = m_pixels[static_cast<size_t>(y) * m_width + x];
        p.r += (c.r - p.r) * a;
        p.g += (c.g - p.g) * a;
        p.b += (c.b - p.b) * a;
    }

    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

// The pencil as bands along its axis, from the eraser's end (t = 0) to the point (t = 1).
void DrawPencil(Canvas& canvas, Point eraserEnd, Point tip, float halfWidth)
{
    const float dx = tip.x - eraserEnd.x;
    const float dy = tip.y - eraserEnd.y;
    const float length = std::hypot(dx, dy);
    const Point along{dx / length, dy / length};
    const Point across{-along.y, along.x};

    auto at = [&](float t, float s) {
        return Point{eraserEnd.x + along.x * t * length + across.x * s * halfWidth,
                     eraserEnd.y + along.y * t * length + across.y * s * halfWidth};
    };
    auto band = [&](float t0, float t1, float s0, float s1, Rgb colour, float alpha = 1.0f) {
        canvas.fillConvex({at(t0, s0), at(t1, s0), at(t1, s1), at(t0, s1)}, colour, alpha);
    };

    // A soft shadow on the paper, below and to the right of the pencil.
    const float shift = halfWidth * 0.6f;
    std::vector<Point> shadow{at(0.02f, -1), at(0.76f, -1), at(0.99f, 0), at(0.76f, 1),
                              at(0.02f, 1)};
    for (Point& p : shadow) {
        p.x += shift;
        p.y += shift * 1.2f;
    }
    canvas.fillConvex(shadow, {90, 90, 110}, 0.28f);

    const Rgb eraser{236, 132, 160};
    const Rgb eraserShade{204, 98, 128};
    const Rgb ferrule{196, 198, 204};
    const Rgb ferruleBand{128, 130, 140};
    const Rgb yellowLight{255, 226, 92};
    const Rgb yellow{246, 196, 28};
    const Rgb yellowDark{206, 150, 10};
    const Rgb wood{236, 196, 142};
    const Rgb woodShade{206, 160, 104};
    const Rgb graphite{52, 52, 58};

    const float eraserEndT = 0.12f;
    const float ferruleEndT = 0.22f;
    const float bodyEndT = 0.76f;
    const float graphiteT = 0.91f;

    // Eraser, slightly rounded at its end.
    band(0.015f, eraserEndT, -1, 1, eraser);
    band(0.0f, 0.02f, -0.8f, 0.8f, eraser);
    band(0.0f, eraserEndT, 0.45f, 1, eraserShade, 0.55f);

    // Metal ferrule with two pressed rings.
    band(eraserEndT, ferruleEndT, -1, 1, ferrule);
    const float ring = (ferruleEndT - eraserEndT) / 5;
    band(eraserEndT + ring, eraserEndT + ring * 1.7f, -1, 1, ferruleBand);
    band(ferruleEndT - ring * 1.7f, ferruleEndT - ring, -1, 1, ferruleBand);
    band(eraserEndT, ferruleEndT, 0.5f, 1, ferruleBand, 0.35f);

    // Hexagonal body: three faces, lit from the upper left.
    band(ferruleEndT, bodyEndT, -1, -0.33f, yellowLight);
    band(ferruleEndT, bodyEndT, -0.33f, 0.4f, yellow);
    band(ferruleEndT, bodyEndT, 0.4f, 1, yellowDark);

    // Sharpened wood, then the graphite point.
    canvas.fillConvex({at(bodyEndT, -1), at(bodyEndT, 1), at(1, 0)}, wood);
    canvas.fillConvex({at(bodyEndT, 0.35f), at(bodyEndT, 1), at(1, 0)}, woodShade, 0.6f);
    const float graphiteHalf = (1 - graphiteT) / (1 - bodyEndT);
    canvas.fillConvex({at(graphiteT, -graphiteHalf), at(graphiteT, graphiteHalf), at(1, 0)},
                      graphite);
}

// The whole motif at a scale: 1 for the 54 x 62 picture, about 2 for the 109 x 124 one.
Canvas DrawPicture(int width, int height, Rgb background)
{
    const float sx = width / 54.0f;
    const float sy = height / 62.0f;
    Canvas canvas(width, height, background);

    // The sheet, with a thin grey edge and a shadow to its lower right.
    const int left = static_cast<int>(std::lround(3 * sx));
    const int top = static_cast<int>(std::lround(2 * sy));
    const int right = static_cast<int>(std::lround(45 * sx));
    const int bottom = static_cast<int>(std::lround(58 * sy));
    const int shadow = std::max(1, static_cast<int>(std::lround(1.5f * sx)));
    canvas.fillRect(left + shadow, top + shadow, right + shadow, bottom + shadow, {150, 150, 160},
                    0.45f);
    canvas.fillRect(left, top, right, bottom, {176, 176, 184});
    canvas.fillRect(left + 1, top + 1, right - 1, bottom - 1, {255, 253, 242});

    // Blue rules below a wider header space, and the red margin line.
    const int ruleStep = static_cast<int>(std::lround(5 * sy));
    for (int y = top + static_cast<int>(std::lround(9 * sy)); y < bottom - ruleStep / 2;
         y += ruleStep)
        canvas.fillRect(left + 1, y, right - 1, y + 1, {118, 160, 226});
    const int margin = left + static_cast<int>(std::lround(8 * sx));
    const int marginWidth = sx > 1.5f ? 2 : 1;
    canvas.fillRect(margin, top + 1, margin + marginWidth, bottom - 1, {226, 72, 72});

    // The pencil lies from the upper right to the lower left, its point on the paper.
    DrawPencil(canvas, {51.5f * sx, 13.0f * sy}, {14.0f * sx, 53.0f * sy}, 3.6f * sx);
    return canvas;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <note.jpg> <about.jpg>\n", argv[0]);
        return 2;
    }
    // The note window's background is the window colour, the about window's is white.
    const Canvas note = DrawPicture(54, 62, {239, 239, 239});
    const Canvas about = DrawPicture(109, 124, {255, 255, 255});
    if (!note.writeJpeg(argv[1]) || !about.writeJpeg(argv[2])) {
        std::perror("draw_pictures");
        return 1;
    }
    return 0;
}
