#include "app/pictures.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <functional>

// Every picture is drawn twice, once for 32 × 32 and once for 16 × 16, on a grid of
// whole pixels, in the sixteen colours of the classic VGA palette and without
// smoothing: at these sizes a blended edge only blurs the shape.

namespace {

namespace vga {
const QColor black(0x00, 0x00, 0x00);
const QColor blue(0x00, 0x00, 0xAA);
const QColor green(0x00, 0xAA, 0x00);
const QColor red(0xAA, 0x00, 0x00);
const QColor brown(0xAA, 0x55, 0x00);
const QColor lightGrey(0xAA, 0xAA, 0xAA);
const QColor darkGrey(0x55, 0x55, 0x55);
const QColor lightBlue(0x55, 0x55, 0xFF);
const QColor lightGreen(0x55, 0xFF, 0x55);
const QColor lightRed(0xFF, 0x55, 0x55);
const QColor yellow(0xFF, 0xFF, 0x55);
const QColor white(0xFF, 0xFF, 0xFF);
} // namespace vga

// A painter on a transparent square, with pixel-exact helpers.
class PixelCanvas {
public:
    explicit PixelCanvas(int size)
        : image_(size, size, QImage::Format_ARGB32)
    {
        image_.fill(Qt::transparent);
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing, false);
    }

    QPainter& painter() { return painter_; }

    void dot(int x, int y, const QColor& colour) { painter_.fillRect(x, y, 1, 1, colour); }

    // Fills the pixels from (left, top) to (right, bottom), both corners included.
    void box(int left, int top, int right, int bottom, const QColor& colour)
    {
        painter_.fillRect(left, top, right - left + 1, bottom - top + 1, colour);
    }

    void fillPolygon(const QPolygon& polygon, const QColor& colour)
    {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(colour);
        painter_.drawPolygon(polygon);
    }

    // A one-pixel outline through the corners of the polygon.
    void outlinePolygon(const QPolygon& polygon, const QColor& colour)
    {
        painter_.setPen(QPen(colour, 0));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPolygon(polygon);
    }

    void line(int x1, int y1, int x2, int y2, const QColor& colour)
    {
        painter_.setPen(QPen(colour, 0));
        painter_.drawLine(x1, y1, x2, y2);
    }

    // A disc whose bounding square starts at (left, top) and is diameter pixels wide.
    void disc(int left, int top, int diameter, const QColor& colour)
    {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(colour);
        painter_.drawEllipse(QRectF(left, top, diameter, diameter));
    }

    // Every other pixel of the area, as a 16-colour screen shows a dim shade.
    void dither(const QRegion& area, const QColor& colour)
    {
        const QRect bounds = area.boundingRect();
        for (int y = bounds.top(); y <= bounds.bottom(); ++y)
            for (int x = bounds.left(); x <= bounds.right(); ++x)
                if ((x + y) % 2 == 0 && area.contains(QPoint(x, y)))
                    dot(x, y, colour);
    }

    QPixmap finish()
    {
        painter_.end();
        return QPixmap::fromImage(image_);
    }

private:
    QImage image_;
    QPainter painter_;
};

QRegion discRegion(int left, int top, int diameter)
{
    return QRegion(left, top, diameter, diameter, QRegion::Ellipse);
}

QIcon iconFromDrawing(const std::function<void(PixelCanvas&, int size)>& draw)
{
    QIcon icon;
    for (int size : {32, 16}) {
        PixelCanvas canvas(size);
        draw(canvas, size);
        icon.addPixmap(canvas.finish());
    }
    return icon;
}

// --- The globe on its stand ---------------------------------------------------

void drawGlobe(PixelCanvas& canvas, int size)
{
    QPainter& painter = canvas.painter();
    const bool big = size == 32;

    // The sphere: its square, the lit part towards the top left, and the continents.
    const QRect sphere = big ? QRect(5, 2, 21, 21) : QRect(2, 1, 11, 11);
    const QRegion ball(sphere, QRegion::Ellipse);
    const QRegion lit = ball.intersected(big ? QRegion(QRect(3, 0, 17, 17), QRegion::Ellipse)
                                             : QRegion(QRect(1, 0, 9, 9), QRegion::Ellipse));

    painter.setClipRegion(ball);
    canvas.box(sphere.left(), sphere.top(), sphere.right(), sphere.bottom(), vga::blue);
    painter.setClipRegion(lit);
    canvas.box(sphere.left(), sphere.top(), sphere.right(), sphere.bottom(), vga::lightBlue);

    const QList<QPolygon> land = big
        ? QList<QPolygon>{
              // The Americas, with Europe and Africa on the far side of the ocean.
              QPolygon({QPoint(6, 7), QPoint(10, 4), QPoint(16, 4), QPoint(17, 6), QPoint(14, 9), QPoint(13, 12),
                        QPoint(10, 12), QPoint(7, 10)}),
              QPolygon({QPoint(12, 13), QPoint(16, 13), QPoint(18, 16), QPoint(16, 20), QPoint(14, 23),
                        QPoint(13, 18)}),
              QPolygon({QPoint(21, 5), QPoint(25, 7), QPoint(26, 11), QPoint(24, 16), QPoint(22, 18),
                        QPoint(20, 13), QPoint(21, 10), QPoint(19, 8)}),
          }
        : QList<QPolygon>{
              QPolygon({QPoint(3, 3), QPoint(5, 2), QPoint(8, 2), QPoint(7, 5), QPoint(5, 6), QPoint(3, 5)}),
              QPolygon({QPoint(6, 7), QPoint(8, 7), QPoint(8, 9), QPoint(7, 11), QPoint(6, 9)}),
              QPolygon({QPoint(11, 3), QPoint(12, 4), QPoint(12, 7), QPoint(10, 9), QPoint(10, 5)}),
          };
    for (const QPolygon& shape : land) {
        painter.setClipRegion(ball);
        canvas.fillPolygon(shape, vga::green);
        painter.setClipRegion(lit);
        canvas.fillPolygon(shape, vga::lightGreen);
    }
    painter.setClipping(false);

    // A glint of light on the ocean, and the sphere's rim.
    if (big) {
        canvas.box(9, 5, 10, 5, vga::white);
        canvas.dot(8, 6, vga::white);
    } else {
        canvas.dot(4, 3, vga::white);
    }
    painter.setPen(QPen(vga::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(sphere.adjusted(0, 0, -1, -1));

    // The brass half ring that holds the sphere at its poles, and the pin on top.
    if (big) {
        painter.setPen(QPen(vga::brown, 2, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(QRect(4, 1, 23, 23), -90 * 16, 180 * 16);
        painter.setPen(QPen(vga::yellow, 0));
        painter.drawArc(QRect(3, 0, 24, 24), 10 * 16, 60 * 16);
        canvas.box(15, 0, 16, 1, vga::brown);
    } else {
        painter.setPen(QPen(vga::brown, 0));
        painter.drawArc(QRect(1, 0, 13, 13), -90 * 16, 180 * 16);
        canvas.dot(7, 0, vga::brown);
    }

    // The stem and the foot.
    if (big) {
        canvas.box(14, 24, 17, 26, vga::brown);
        canvas.box(15, 24, 15, 26, vga::yellow);
        const QPolygon foot({QPoint(8, 31), QPoint(10, 27), QPoint(21, 27), QPoint(23, 31)});
        canvas.fillPolygon(foot, vga::brown);
        canvas.line(11, 28, 19, 28, vga::yellow);
        canvas.outlinePolygon(foot, vga::black);
        canvas.line(14, 24, 14, 26, vga::black);
        canvas.line(17, 24, 17, 26, vga::black);
    } else {
        canvas.box(7, 12, 8, 13, vga::brown);
        canvas.box(4, 14, 11, 15, vga::brown);
        canvas.line(5, 14, 9, 14, vga::yellow);
        canvas.line(4, 15, 11, 15, vga::black);
    }
}

// --- The traffic light ------------------------------------------------------------

enum class Lamp { Red, Amber, Green };

struct LampColours {
    QColor dim;    // the glass when the lamp is off, dithered over black
    QColor bright; // the lit glass
    QColor edge;   // the lit glass's shaded lower rim
};

LampColours coloursOf(Lamp lamp)
{
    switch (lamp) {
    case Lamp::Red: return {vga::red, vga::lightRed, vga::red};
    case Lamp::Amber: return {vga::brown, vga::yellow, vga::brown};
    case Lamp::Green: return {vga::green, vga::lightGreen, vga::green};
    }
    return {};
}

void drawTrafficLight(PixelCanvas& canvas, int size, Lamp litLamp)
{
    const bool big = size == 32;

    // The housing: a dark box with a lighter edge where the light falls.
    if (big) {
        canvas.box(9, 0, 22, 31, vga::black);
        canvas.box(10, 1, 21, 30, vga::darkGrey);
        canvas.line(10, 1, 10, 30, vga::lightGrey);
        canvas.line(10, 1, 21, 1, vga::lightGrey);
    } else {
        canvas.box(4, 0, 11, 15, vga::black);
        canvas.box(5, 1, 10, 14, vga::darkGrey);
    }

    const int diameter = big ? 8 : 4;
    const int left = big ? 12 : 6;
    const int firstTop = big ? 3 : 2;
    const int step = big ? 9 : 4;
    for (Lamp lamp : {Lamp::Red, Lamp::Amber, Lamp::Green}) {
        const int top = firstTop + step * static_cast<int>(lamp);
        const LampColours colours = coloursOf(lamp);
        canvas.disc(left - (big ? 1 : 0), top - (big ? 1 : 0), diameter + (big ? 2 : 0), vga::black);
        if (lamp == litLamp) {
            canvas.disc(left, top, diameter, colours.edge);
            canvas.disc(left, top, diameter - (big ? 1 : 0), colours.bright);
            if (big) {
                canvas.box(left + 2, top + 2, left + 3, top + 2, vga::white);
                canvas.dot(left + 2, top + 3, vga::white);
            } else {
                canvas.dot(left + 1, top + 1, vga::white);
            }
        } else {
            canvas.dither(discRegion(left, top, diameter), colours.dim);
        }
    }
}

// --- The open folder --------------------------------------------------------------

void drawOpenFolder(PixelCanvas& canvas, int size)
{
    const bool big = size == 32;
    if (big) {
        // The back with its tab, a sheet of paper, then the front flap tipped open.
        const QPolygon back(
            {QPoint(1, 7), QPoint(3, 5), QPoint(10, 5), QPoint(12, 7), QPoint(24, 7), QPoint(24, 27), QPoint(1, 27)});
        canvas.fillPolygon(back, vga::brown);
        canvas.outlinePolygon(back, vga::black);
        canvas.line(2, 7, 11, 7, vga::yellow);

        canvas.box(5, 9, 21, 20, vga::white);
        canvas.line(5, 9, 5, 20, vga::black);
        canvas.line(5, 9, 21, 9, vga::black);
        canvas.line(21, 9, 21, 20, vga::black);
        for (int y = 11; y <= 17; y += 2)
            canvas.line(7, y, 18, y, vga::lightGrey);

        const QPolygon front({QPoint(1, 27), QPoint(7, 14), QPoint(30, 14), QPoint(24, 27)});
        canvas.fillPolygon(front, vga::yellow);
        canvas.outlinePolygon(front, vga::black);
        canvas.line(8, 15, 28, 15, vga::white);
        canvas.line(2, 28, 24, 28, vga::darkGrey);
    } else {
        const QPolygon back(
            {QPoint(0, 3), QPoint(1, 2), QPoint(5, 2), QPoint(6, 3), QPoint(12, 3), QPoint(12, 13), QPoint(0, 13)});
        canvas.fillPolygon(back, vga::brown);
        canvas.outlinePolygon(back, vga::black);

        canvas.box(2, 4, 10, 9, vga::white);
        canvas.line(3, 5, 9, 5, vga::lightGrey);

        const QPolygon front({QPoint(0, 13), QPoint(3, 7), QPoint(15, 7), QPoint(12, 13)});
        canvas.fillPolygon(front, vga::yellow);
        canvas.outlinePolygon(front, vga::black);
    }
}

// --- The floppy disk beside its drive ---------------------------------------------

void drawDiskAndDrive(PixelCanvas& canvas, int size)
{
    const bool big = size == 32;
    if (big) {
        // The drive: a raised grey box with its slot, button and busy lamp.
        canvas.box(11, 14, 31, 28, vga::black);
        canvas.box(12, 15, 30, 27, vga::lightGrey);
        canvas.line(12, 15, 30, 15, vga::white);
        canvas.line(12, 15, 12, 27, vga::white);
        canvas.line(13, 27, 30, 27, vga::darkGrey);
        canvas.line(30, 16, 30, 27, vga::darkGrey);
        canvas.box(16, 19, 28, 20, vga::black);
        canvas.line(16, 21, 28, 21, vga::white);
        canvas.box(24, 23, 27, 24, vga::darkGrey);
        canvas.box(16, 24, 17, 24, vga::lightGreen);

        // The disk beside it: blue shell with a cut corner, metal shutter, white label.
        const QPolygon shell({QPoint(0, 3), QPoint(13, 3), QPoint(15, 5), QPoint(15, 18), QPoint(0, 18)});
        canvas.fillPolygon(shell, vga::blue);
        canvas.outlinePolygon(shell, vga::black);
        canvas.box(4, 3, 11, 8, vga::lightGrey);
        canvas.line(4, 3, 4, 8, vga::black);
        canvas.line(11, 3, 11, 8, vga::black);
        canvas.line(4, 8, 11, 8, vga::black);
        canvas.box(8, 4, 9, 7, vga::darkGrey);
        canvas.box(3, 11, 12, 17, vga::white);
        canvas.line(3, 11, 3, 17, vga::black);
        canvas.line(12, 11, 12, 17, vga::black);
        canvas.line(3, 11, 12, 11, vga::black);
        canvas.line(4, 13, 11, 13, vga::lightBlue);
        canvas.line(4, 15, 11, 15, vga::lightBlue);
    } else {
        canvas.box(5, 7, 15, 14, vga::black);
        canvas.box(6, 8, 14, 13, vga::lightGrey);
        canvas.line(6, 8, 14, 8, vga::white);
        canvas.line(8, 10, 13, 10, vga::black);
        canvas.dot(13, 12, vga::lightGreen);

        const QPolygon shell({QPoint(0, 1), QPoint(6, 1), QPoint(7, 2), QPoint(7, 9), QPoint(0, 9)});
        canvas.fillPolygon(shell, vga::blue);
        canvas.outlinePolygon(shell, vga::black);
        canvas.box(2, 1, 5, 3, vga::lightGrey);
        canvas.dot(4, 2, vga::darkGrey);
        canvas.box(1, 6, 6, 9, vga::white);
        canvas.line(1, 9, 7, 9, vga::black);
    }
}

} // namespace

QIcon globePicture()
{
    return iconFromDrawing(drawGlobe);
}

QIcon startPicture()
{
    return iconFromDrawing([](PixelCanvas& canvas, int size) { drawTrafficLight(canvas, size, Lamp::Green); });
}

QIcon stopPicture()
{
    return iconFromDrawing([](PixelCanvas& canvas, int size) { drawTrafficLight(canvas, size, Lamp::Red); });
}

QIcon openPicture()
{
    return iconFromDrawing(drawOpenFolder);
}

QIcon savePicture()
{
    return iconFromDrawing(drawDiskAndDrive);
}
