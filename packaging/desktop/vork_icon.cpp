// vork-icon DIR: draws the VORK icon once as SVG (DIR/vork.svg) and at
// every size the desktop wants as PNG (DIR/vork-N.png), from the one list
// of shapes below, so the two never drift apart.
//
// The picture: a parse tree (root, two children, three leaves) in white on
// a blue rounded square, with the leaves' tokens as an orange bar.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kSide = 64;  // the drawing's own unit square

struct Shape {
    enum Kind { RoundRect, Line, Circle } kind;
    double a, b, c, d;   // rect x y w h | line x1 y1 x2 y2 | circle cx cy r -
    const char* fill;    // "" for none
    const char* stroke;  // "" for none
    double width;
};

const std::vector<Shape> kShapes = {
    {Shape::RoundRect, 2, 2, 60, 60, "#1f4e79", "", 0},
    {Shape::Line, 32, 14, 18, 30, "", "#ffffff", 3.5},
    {Shape::Line, 32, 14, 46, 30, "", "#ffffff", 3.5},
    {Shape::Line, 18, 30, 12, 46, "", "#ffffff", 3},
    {Shape::Line, 18, 30, 26, 46, "", "#ffffff", 3},
    {Shape::Line, 46, 30, 50, 46, "", "#ffffff", 3},
    {Shape::Circle, 32, 14, 6, 0, "#ffffff", "", 0},
    {Shape::Circle, 18, 30, 5, 0, "#ffffff", "", 0},
    {Shape::Circle, 46, 30, 5, 0, "#ffffff", "", 0},
    {Shape::Circle, 12, 46, 4, 0, "#f5a623", "", 0},
    {Shape::Circle, 26, 46, 4, 0, "#f5a623", "", 0},
    {Shape::Circle, 50, 46, 4, 0, "#f5a623", "", 0},
    {Shape::RoundRect, 10, 53, 44, 4, "#f5a623", "", 0},
};

const double kCorner = 12;

std::string svg()
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n";
    char buf[256];
    for (const Shape& s : kShapes) {
        const std::string fill = *s.fill ? s.fill : "none";
        switch (s.kind) {
        case Shape::RoundRect: {
            const double r = s.d > 2 * kCorner ? kCorner : s.d / 2;
            std::snprintf(buf, sizeof buf, "  <rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" rx=\"%g\" fill=\"%s\"/>\n",
                          s.a, s.b, s.c, s.d, r, fill.c_str());
            break;
        }
        case Shape::Line:
            std::snprintf(buf, sizeof buf,
                          "  <line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\" stroke=\"%s\" stroke-width=\"%g\" "
                          "stroke-linecap=\"round\"/>\n",
                          s.a, s.b, s.c, s.d, s.stroke, s.width);
            break;
        case Shape::Circle:
            std::snprintf(buf, sizeof buf, "  <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"%s\"/>\n", s.a, s.b, s.c,
                          fill.c_str());
            break;
        }
        out += buf;
    }
    return out + "</svg>\n";
}

QImage png(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kSide, size / kSide);
    for (const Shape& s : kShapes) {
        p.setBrush(*s.fill ? QBrush(QColor(s.fill)) : QBrush(Qt::NoBrush));
        if (*s.stroke) {
            QPen pen{QColor(s.stroke)};
            pen.setWidthF(s.width);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
        } else {
            p.setPen(Qt::NoPen);
        }
        switch (s.kind) {
        case Shape::RoundRect: {
            const double r = s.d > 2 * kCorner ? kCorner : s.d / 2;
            p.drawRoundedRect(QRectF(s.a, s.b, s.c, s.d), r, r);
            break;
        }
        case Shape::Line:
            p.drawLine(QPointF(s.a, s.b), QPointF(s.c, s.d));
            break;
        case Shape::Circle:
            p.drawEllipse(QPointF(s.a, s.b), s.c, s.c);
            break;
        }
    }
    p.end();
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vork-icon DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::ofstream out(dir + "/vork.svg", std::ios::binary);
    out << svg();
    out.close();
    if (!out) {
        std::fprintf(stderr, "vork-icon: cannot write %s/vork.svg\n", dir.c_str());
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string name = dir + "/vork-" + std::to_string(size) + ".png";
        if (!png(size).save(QString::fromStdString(name), "PNG")) {
            std::fprintf(stderr, "vork-icon: cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
