// Draws the application icon at one size into a PNG: three tone curves (red,
// green, blue) rising over a light plot, as the program itself plots them.
// Usage: tamrel_draw_icon SIZE OUT.png
#include "curve/ChannelParams.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdlib>

namespace {

struct IconCurve {
    ParamPositions positions;
    QColor color;
};

const IconCurve kCurves[] = {
    {{0, 200, 200, 250}, QColor(225, 35, 35)},
    {{40, 240, 99, 190}, QColor(25, 165, 50)},
    {{100, 255, 0, 150}, QColor(35, 75, 235)},
};

QPainterPath CurvePath(const GammaTable& table, const QRectF& plot) {
    QPainterPath path;
    for (int i = 0; i < 256; ++i) {
        const QPointF p(plot.left() + plot.width() * i / 255.0,
                        plot.bottom() - plot.height() * table[i] / 255.0);
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    return path;
}

QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal margin = size / 16.0;
    const QRectF tile(margin, margin, size - 2 * margin, size - 2 * margin);
    painter.setPen(QPen(QColor(60, 60, 60), qMax(1.0, size / 32.0)));
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRoundedRect(tile, size / 8.0, size / 8.0);
    const qreal inset = size / 6.0;
    const QRectF plot = tile.adjusted(inset * 0.6, inset * 0.6, -inset * 0.6, -inset * 0.6);
    for (const IconCurve& curve : kCurves) {
        GammaTable table{};
        ComputeChannelTable(MakeChannelParams(curve.positions), table);
        painter.setPen(
            QPen(curve.color, qMax(1.0, size / 18.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(CurvePath(table, plot));
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    return DrawIcon(std::atoi(argv[1])).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
