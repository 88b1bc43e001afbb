// Writes the default home-screen picture: a 24-bit BMP with a calm gradient,
// a few soft bands and an emblem of a lightning bolt in a ring. Run by the
// build; no library needed.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 640;

struct Rgb
{
    double r, g, b;
};

Rgb mix(const Rgb& a, const Rgb& b, double t)
{
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Is (x, y) inside the polygon? Counts the edges a ray to the right crosses
// (even-odd rule).
bool insidePolygon(const double (*poly)[2], int count, double x, double y)
{
    bool inside = false;
    for (int i = 0, j = count - 1; i < count; j = i++) {
        const double xi = poly[i][0], yi = poly[i][1], xj = poly[j][0], yj = poly[j][1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
            inside = !inside;
    }
    return inside;
}

Rgb pixel(int x, int y)
{
    const Rgb top{232, 236, 252};
    const Rgb bottom{176, 190, 232};
    Rgb c = mix(top, bottom, static_cast<double>(y) / kHeight);

    // Soft diagonal bands.
    const double wave = std::sin((x * 0.6 + y) / 90.0) * 0.5 + 0.5;
    c = mix(c, Rgb{250, 250, 255}, wave * 0.18);

    // The emblem: a ring with a bolt, right of the centre.
    const double cx = kWidth * 0.68, cy = kHeight * 0.46, radius = 150;
    const double d = std::hypot(x - cx, y - cy);
    if (d < radius)
        c = mix(c, Rgb{250, 250, 255}, 0.35 * (1 - d / radius));
    if (std::fabs(d - radius) < 7)
        c = mix(c, Rgb{70, 96, 176}, 1 - std::fabs(d - radius) / 7);

    // The bolt around the ring's centre: the pixel is moved instead of the shape.
    static const double bolt[][2] = {{-20, -110}, {55, -110}, {15, -20}, {60, -20}, {-40, 115}, {-5, 10}, {-50, 10}};
    if (insidePolygon(bolt, 7, x + 0.5 - cx, y + 0.5 - cy))
        c = mix(Rgb{255, 196, 64}, Rgb{240, 140, 40}, (y - (cy - 110)) / 225.0);

    // A thin line along the bottom, like a counter top.
    if (y > kHeight - 80 && y < kHeight - 76)
        c = mix(c, Rgb{90, 110, 180}, 0.6);
    return c;
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(v & 0xff);
    out.push_back(v >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back((v >> (8 * i)) & 0xff);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output.bmp\n", argv[0]);
        return 2;
    }
    const int rowBytes = (kWidth * 3 + 3) & ~3;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rowBytes) * kHeight;
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, kWidth);
    put32(out, kHeight);
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, imageSize);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = kHeight - 1; y >= 0; --y) { // bottom-up rows
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = pixel(x, y);
            out.push_back(static_cast<std::uint8_t>(std::lround(c.b)));
            out.push_back(static_cast<std::uint8_t>(std::lround(c.g)));
            out.push_back(static_cast<std::uint8_t>(std::lround(c.r)));
        }
        for (int pad = kWidth * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok ? 0 : 1;
}
