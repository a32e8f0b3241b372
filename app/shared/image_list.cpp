#include "app/shared/image_list.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <array>

namespace {

const QColor kOlive(128, 128, 0);
const QColor kYellow(255, 220, 60);
const QColor kDarkYellow(190, 150, 20);
const QColor kRed(200, 0, 0);
const QColor kNavy(0, 0, 128);

// Draws into a transparent pixmap of the given size.
template <class Draw> QPixmap drawn(int size, Draw draw) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    draw(painter);
    return pixmap;
}

void drawFolder(QPainter& p, const QRect& body) {
    p.setPen(QPen(kDarkYellow, 1));
    p.setBrush(kYellow);
    p.drawRect(body.left(), body.top() - 2, body.width() / 2, 2);
    p.drawRect(body);
}

void drawDiamond(QPainter& p) {
    p.fillRect(1, 1, 14, 14, kOlive);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygon({{8, 2}, {13, 8}, {8, 13}, {3, 8}}));
}

void drawSum(QPainter& p) {
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(QPolygon({{12, 3}, {4, 3}, {9, 8}, {4, 13}, {12, 13}}));
}

void drawFloppy(QPainter& p) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kNavy);
    p.drawRect(1, 1, 13, 13);
    p.fillRect(4, 2, 8, 5, Qt::white);
    p.fillRect(4, 9, 8, 5, QColor(192, 192, 192));
    p.fillRect(9, 10, 2, 3, kNavy);
}

void drawSpecification(QPainter& p) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kRed);
    p.drawText(QRect(0, 0, 16, 10), Qt::AlignCenter, QStringLiteral("SP"));
    // The plug: a small body with two pins and a cable.
    p.fillRect(6, 11, 5, 3, Qt::black);
    p.fillRect(7, 10, 1, 1, Qt::black);
    p.fillRect(9, 10, 1, 1, Qt::black);
    p.fillRect(8, 14, 1, 2, Qt::black);
}

void drawPageWithArrow(QPainter& p) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({{2, 1}, {10, 1}, {13, 4}, {13, 14}, {2, 14}}));
    p.setPen(QPen(kRed, 2));
    p.drawLine(4, 9, 10, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawPolygon(QPolygon({{9, 6}, {13, 9}, {9, 12}}));
}

void drawPencil(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    p.rotate(45);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kYellow);
    p.drawRect(QRectF(-2, -7, 4, 10));
    p.setBrush(QColor(230, 190, 140));
    p.drawPolygon(QPolygonF({{-2, 3}, {2, 3}, {0, 7}}));
}

void drawWrench(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    p.rotate(-45);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 100));
    p.drawRect(QRectF(-1.5, -2, 3, 9));
    QPainterPath head;
    head.addEllipse(QPointF(0, -4), 3.5, 3.5);
    QPainterPath jaw;
    jaw.addRect(QRectF(-1.2, -8, 2.4, 4));
    p.drawPath(head.subtracted(jaw));
}

void drawQuestionBall(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kDarkYellow, 1));
    p.setBrush(kYellow);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kRed);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

void drawCircularArrow(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kRed, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawPolygon(QPolygonF({{8.5, 0.5}, {13.5, 3}, {8.5, 6.5}}));
}

// Draws image index of the image list.
QPixmap drawImage(int index) {
    return drawn(16, [index](QPainter& p) {
        switch (index) {
        case 0:
            drawDiamond(p);
            break;
        case 1:
            drawSum(p);
            break;
        case 2:
            drawFloppy(p);
            break;
        case 3:
            drawSpecification(p);
            break;
        case 4:
            drawPageWithArrow(p);
            break;
        case 5:
            drawPencil(p);
            break;
        case 6:
            drawWrench(p);
            break;
        case 7:
            drawQuestionBall(p);
            break;
        case 8:
            drawFolder(p, QRect(1, 4, 14, 10));
            break;
        case 9:
            drawCircularArrow(p);
            break;
        default:
            break;
        }
    });
}

// The up button's image as drawn for a light palette.
QPixmap drawUpFolder() {
    return drawn(21, [](QPainter& p) {
        drawFolder(p, QRect(1, 6, 18, 13));
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(10, 16, 10, 9);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon({{6, 10}, {10, 5}, {14, 10}}));
    });
}

} // namespace

bool isDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QPixmap withLightEdges(const QPixmap& pixmap) {
    // A black stroke vanishes on a dark background: each clear pixel beside a
    // near-black one becomes light, so the stroke gets a light edge. Coloured
    // parts (red, navy, olive) stand out on dark backgrounds as they are.
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    QImage edged = image;
    auto isDarkStroke = [&image](int x, int y) {
        if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
            return false;
        const QRgb pixel = image.pixel(x, y);
        return qAlpha(pixel) >= 128 && std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) < 110;
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= 128)
                continue;
            bool besideStroke = false;
            for (int dy = -1; dy <= 1 && !besideStroke; ++dy)
                for (int dx = -1; dx <= 1 && !besideStroke; ++dx)
                    besideStroke = isDarkStroke(x + dx, y + dy);
            if (besideStroke)
                edged.setPixel(x, y, qRgba(225, 225, 225, 230));
        }
    }
    return QPixmap::fromImage(edged);
}

QPixmap imageListImage(int index) {
    // Drawn once for the run, one set for each kind of palette.
    static const auto images = [] {
        std::array<std::array<QPixmap, kImageListCount>, 2> sets;
        for (int i = 0; i < kImageListCount; ++i) {
            sets[0][static_cast<std::size_t>(i)] = drawImage(i);
            sets[1][static_cast<std::size_t>(i)] = withLightEdges(sets[0][static_cast<std::size_t>(i)]);
        }
        return sets;
    }();
    if (index < 0 || index >= kImageListCount)
        return {};
    return images[isDarkPalette(QGuiApplication::palette()) ? 1 : 0][static_cast<std::size_t>(index)];
}

QPixmap upFolderImage() {
    static const QPixmap light = drawUpFolder();
    static const QPixmap dark = withLightEdges(light);
    return isDarkPalette(QGuiApplication::palette()) ? dark : light;
}

namespace {

// The installed SVG icon (app/install/dev.dravik.Dravik.svg), drawn on its
// 64 x 64 grid at size pixels.
QPixmap drawScalableIcon(int size) {
    return drawn(size, [size](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        p.setPen(QPen(QColor(0x4d, 0x4d, 0x00), 2));
        p.setBrush(kOlive);
        p.drawRoundedRect(QRectF(4, 4, 56, 56), 7, 7);
        p.setPen(QPen(QColor(0xa6, 0xa6, 0x33), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(8, 8, 48, 48), 4, 4);
        p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPolygon(QPolygonF({{32, 11}, {53, 32}, {32, 53}, {11, 32}}));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(32, 32), 5, 5);
        p.setBrush(kOlive);
        p.drawEllipse(QPointF(32, 32), 2, 2);
    });
}

} // namespace

QIcon applicationIcon() {
    // The toolbar's Pasport image at 16 pixels, where the drawing's lines
    // would blur; the scalable drawing at the sizes of task switchers and
    // high-DPI panels.
    QIcon icon;
    icon.addPixmap(imageListImage(0));
    for (const int size : {32, 48, 64, 256})
        icon.addPixmap(drawScalableIcon(size));
    return icon;
}
