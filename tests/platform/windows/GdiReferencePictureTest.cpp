#include <gtest/gtest.h>

#include "platform/windows/GdiDrawingSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "support/RecordingSurface.h"
#include "support/ReferencePicture.h"
#include "support/SurfaceScenes.h"

namespace quorvel::testing {
namespace {

struct Point {
    int x;
    int y;

    friend bool operator<(const Point& a, const Point& b) { return std::tie(a.y, a.x) < std::tie(b.y, b.x); }
};

struct Segment {
    Point from;
    Point to;
};

// Every line of a scene in the picture's pixels, mapped as the surfaces map them: pixel
// centres at whole multiples of a pixel's logical size.
std::vector<Segment> segments(const Scene& scene, int width, int height) {
    RecordingSurface recording;
    drawScene(recording, scene);
    auto pixel = [](float logical, double pixelsPerUnit) {
        return static_cast<int>(std::floor(static_cast<double>(logical) * pixelsPerUnit + 0.5));
    };
    const double px = width / static_cast<double>(recording.scaleWidth());
    const double py = height / static_cast<double>(recording.scaleHeight());
    std::vector<Segment> result;
    for (const RecordingSurface::Op& op : recording.ops) {
        if (op.kind == RecordingSurface::OpKind::Line || op.kind == RecordingSurface::OpKind::LineTo) {
            result.push_back({{pixel(op.from.x, px), pixel(op.from.y, py)}, {pixel(op.to.x, px), pixel(op.to.y, py)}});
        }
    }
    return result;
}

// The pixels of a one-pixel line without its last one. Where the line passes exactly
// half way between two pixels, the image surface always takes the one farther from the
// start; the system does so only in the octants that run leftwards or upwards in their
// major direction (octants 3, 5, 6 and 8 counted clockwise from the right, y down) and
// otherwise takes the nearer one.
std::set<Point> thinLine(Segment s, bool systemTies) {
    const std::int64_t dx = s.to.x - s.from.x;
    const std::int64_t dy = s.to.y - s.from.y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t m = xMajor ? std::llabs(dy) : std::llabs(dx);
    int octant = 0;
    if (dy > 0) {
        octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    } else {
        octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    }
    const std::int64_t farther = !systemTies || octant == 3 || octant == 5 || octant == 6 || octant == 8 ? 1 : 0;
    std::set<Point> pixels;
    for (std::int64_t k = 0; k < n; ++k) {
        const std::int64_t across = n == 0 ? 0 : (2 * k * m + n - 1 + farther) / (2 * n);
        const std::int64_t major = k * (xMajor ? (dx > 0 ? 1 : -1) : (dy > 0 ? 1 : -1));
        const std::int64_t minor = across * (xMajor ? (dy >= 0 ? 1 : -1) : (dx >= 0 ? 1 : -1));
        pixels.insert(xMajor ? Point{static_cast<int>(s.from.x + major), static_cast<int>(s.from.y + minor)}
                             : Point{static_cast<int>(s.from.x + minor), static_cast<int>(s.from.y + major)});
    }
    return pixels;
}

double distanceToSegment(Point p, Segment s) {
    const double ax = s.from.x, ay = s.from.y, bx = s.to.x, by = s.to.y;
    const double lengthSquared = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
    double t = lengthSquared == 0 ? 0 : ((p.x - ax) * (bx - ax) + (p.y - ay) * (by - ay)) / lengthSquared;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (ax + t * (bx - ax)), p.y - (ay + t * (by - ay)));
}

struct Difference {
    int drawn = 0;      // pixels off the background in either picture
    int atEnds = 0;     // within the pen's width of a line's end
    int ties = 0;       // a one-pixel line's pixel half way between two, taken the other way
    int alongside = 0;  // a wide line's edge, within a pixel of where the line's edge lies
    int elsewhere = 0;
    std::vector<std::string> examples;  // of those elsewhere
};

Difference compare(const Picture& ours, const Picture& reference, const Scene& scene) {
    const std::vector<Segment> lines = segments(scene, ours.width, ours.height);
    std::set<Point> ties;
    if (scene.width == 1) {
        for (const Segment& line : lines) {
            const std::set<Point> system = thinLine(line, true);
            const std::set<Point> image = thinLine(line, false);
            std::set_symmetric_difference(system.begin(), system.end(), image.begin(), image.end(),
                                          std::inserter(ties, ties.end()));
        }
    }
    Difference d;
    for (int y = 0; y < ours.height; ++y) {
        for (int x = 0; x < ours.width; ++x) {
            const std::uint32_t a = ours.at(x, y);
            const std::uint32_t b = reference.at(x, y);
            d.drawn += (a != sceneBackground || b != sceneBackground) ? 1 : 0;
            if (a == b) {
                continue;
            }
            const Point p{x, y};
            const bool atEnd = std::any_of(lines.begin(), lines.end(), [&](const Segment& s) {
                return std::max(std::abs(s.to.x - x), std::abs(s.to.y - y)) <= scene.width ||
                       std::max(std::abs(s.from.x - x), std::abs(s.from.y - y)) <= scene.width;
            });
            const bool alongside = scene.width > 1 && std::any_of(lines.begin(), lines.end(), [&](const Segment& s) {
                                       return distanceToSegment(p, s) <= scene.width / 2.0 + 1.0;
                                   });
            if (ties.count(p) != 0) {
                ++d.ties;
            } else if (atEnd) {
                ++d.atEnds;
            } else if (alongside) {
                ++d.alongside;
            } else {
                ++d.elsewhere;
                if (d.examples.size() < 8) {
                    char text[64];
                    std::snprintf(text, sizeof text, "(%d,%d) %06X/%06X", x, y, static_cast<unsigned>(a),
                                  static_cast<unsigned>(b));
                    d.examples.emplace_back(text);
                }
            }
        }
    }
    return d;
}

// The same scenes drawn by the image surface of the Linux build, kept as reference
// pictures. A one-pixel line differs only where it passes half way between two pixels:
// the system then takes the pixel nearer to the start in octants 1, 2, 4 and 7, the
// image surface always the farther one. A wider pen differs at its ends, which the
// system draws round and whole, and along its edges: the system fills the pixels within
// half the width of the line itself, the image surface a pen-width square at each pixel
// of the one-pixel line, half a pixel up and to the left of it. Anything else is a fault.
TEST(GdiReferencePictures, EachSceneDiffersFromTheImageSurfacesOnlyAtTiesLineEndsAndWideEdges) {
    for (const Scene& scene : comparisonScenes()) {
        GdiDrawingSurface surface(nullptr);
        drawScene(surface, scene);
        const Picture ours{surface.pictureWidth(), surface.pictureHeight(), surface.picture()};
        const Picture reference = readPictureFile(referencePicturePath(QUORVEL_SOURCE_DIR, scene.name()));
        ASSERT_EQ(ours.width, reference.width) << scene.name();
        ASSERT_EQ(ours.height, reference.height) << scene.name();
        if (const char* folder = std::getenv("QUORVEL_GDI_PICTURES_OUT")) {
            writePictureFile(std::string(folder) + "/" + scene.name() + ".txt", ours);
        }
        const Difference d = compare(ours, reference, scene);
        std::cout << scene.name() << ": " << d.atEnds + d.ties + d.alongside + d.elsewhere << " of " << d.drawn
                  << " drawn pixels differ: " << d.atEnds << " at line ends, " << d.ties << " half-way ties, "
                  << d.alongside << " along wide lines' edges, " << d.elsewhere << " elsewhere";
        for (const std::string& e : d.examples) {
            std::cout << ' ' << e;
        }
        std::cout << '\n';
        EXPECT_EQ(d.elsewhere, 0) << scene.name();
        if (scene.width == 1) {
            EXPECT_EQ(d.atEnds + d.alongside, 0) << scene.name();
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
