// draw_art: draws the skin of the main window, its small buttons and the program icon, so
// the artwork is ours and can be redrawn at will. Output is deterministic: same fonts, same
// pixels.

#include "pageformats.h"

#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kWidth = 525;
constexpr int kHeight = 325;

// Band limits of the window skin: title bar on top, status rail at the bottom.
constexpr int kTitleBottom = 28;
constexpr int kRailTop = 294;

const QColor kCyan(70, 200, 255);
const QColor kText(226, 238, 248);

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QFont uiFont(qreal pixelSize, bool bold)
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// A rectangle with cut corners, clockwise from the top left.
QPainterPath chamfered(const QRectF &r, qreal tl, qreal tr, qreal br, qreal bl)
{
    QPainterPath path;
    path.moveTo(r.left() + tl, r.top());
    path.lineTo(r.right() - tr, r.top());
    path.lineTo(r.right(), r.top() + tr);
    path.lineTo(r.right(), r.bottom() - br);
    path.lineTo(r.right() - br, r.bottom());
    path.lineTo(r.left() + bl, r.bottom());
    path.lineTo(r.left(), r.bottom() - bl);
    path.lineTo(r.left(), r.top() + tl);
    path.closeSubpath();
    return path;
}

// One box blur pass along rows or columns; transparent beyond the edges so glows fade out.
void blurPass(QImage &image, int radius, bool alongRows)
{
    const int lines = alongRows ? image.height() : image.width();
    const int length = alongRows ? image.width() : image.height();
    const qsizetype rowStride = image.bytesPerLine() / 4;
    const qsizetype step = alongRows ? 1 : rowStride;
    const int window = 2 * radius + 1;
    auto *bits = reinterpret_cast<QRgb *>(image.bits());
    std::vector<QRgb> source(size_t(length), 0);

    for (int line = 0; line < lines; ++line) {
        QRgb *start = alongRows ? bits + line * rowStride : bits + line;
        for (int i = 0; i < length; ++i)
            source[size_t(i)] = start[i * step];
        std::array<int, 4> sum {};
        auto add = [&](QRgb px, int sign) {
            sum[0] += sign * qAlpha(px);
            sum[1] += sign * qRed(px);
            sum[2] += sign * qGreen(px);
            sum[3] += sign * qBlue(px);
        };
        for (int i = 0; i < radius && i < length; ++i)
            add(source[size_t(i)], 1);
        for (int i = 0; i < length; ++i) {
            if (i + radius < length)
                add(source[size_t(i + radius)], 1);
            if (i - radius - 1 >= 0)
                add(source[size_t(i - radius - 1)], -1);
            start[i * step] =
                qRgba(sum[1] / window, sum[2] / window, sum[3] / window, sum[0] / window);
        }
    }
}

// Three box passes come close enough to a Gaussian for a glow.
void blur(QImage &image, int radius)
{
    for (int pass = 0; pass < 3; ++pass) {
        blurPass(image, radius, true);
        blurPass(image, radius, false);
    }
}

// An image of size in logical pixels, drawn at scale: a painter on it works in logical pixels.
QImage transparentLayer(const QSize &size, qreal scale)
{
    QImage layer(size * scale, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(scale);
    layer.fill(Qt::transparent);
    return layer;
}

// Draws into a scratch layer, blurs it and lays it over the target: additive for light,
// normal blending for shadows.
void softLayer(QImage &target, int radius, bool additive,
               const std::function<void(QPainter &)> &draw)
{
    const qreal scale = target.devicePixelRatio();
    QImage layer = transparentLayer(target.deviceIndependentSize().toSize(), scale);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    blur(layer, qRound(radius * scale));
    QPainter p(&target);
    if (additive)
        p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.drawImage(0, 0, layer);
}

// Fixed-seed noise so the metal grain is the same on every run.
class Grain
{
public:
    int next(int span)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return int(m_state % quint32(span));
    }

private:
    quint32 m_state = 0x9e3779b9u;
};

void addGrain(QImage &image, const QRect &logicalArea, int amplitude)
{
    const qreal scale = image.devicePixelRatio();
    const QRect area(logicalArea.topLeft() * scale, logicalArea.size() * scale);
    Grain grain;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        // Horizontal streaks give the brushed look; per-pixel grain keeps it from banding.
        const int streak = grain.next(3) - 1;
        for (int x = area.left(); x <= area.right(); ++x) {
            const int d = grain.next(2 * amplitude + 1) - amplitude + streak;
            const QRgb px = row[x];
            row[x] = qRgb(qBound(0, qRed(px) + d, 255), qBound(0, qGreen(px) + d, 255),
                          qBound(0, qBlue(px) + d, 255));
        }
    }
}

// Line art of a panel emblem: strokes, translucent faces and solid dots.
struct Emblem
{
    QPainterPath lines;
    QPainterPath faces;
    QPainterPath dots;
};

void drawEmblem(QImage &image, const Emblem &emblem, const QColor &accent)
{
    softLayer(image, 3, true, [&](QPainter &p) {
        p.fillPath(emblem.faces, withAlpha(accent, 50));
        p.strokePath(emblem.lines,
                     QPen(withAlpha(accent, 230), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.fillPath(emblem.dots, accent);
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor core = mix(accent, Qt::white, 0.45);
    p.fillPath(emblem.faces, withAlpha(accent, 60));
    p.strokePath(emblem.lines, QPen(core, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(emblem.dots, core);
}

Emblem texturesEmblem(const QRectF &box)
{
    // Three stacked swatches; the front one shows a brick pattern.
    Emblem e;
    const qreal s = 32;
    const qreal d = 7;
    const qreal x = box.center().x() - (s + 2 * d) / 2;
    const qreal y = box.center().y() - (s - 2 * d) / 2 - 1;
    for (int layer = 2; layer >= 1; --layer) {
        const qreal o = layer * d;
        const qreal prev = (layer - 1) * d;
        QPainterPath edge;
        edge.moveTo(x + o, y - prev);
        edge.lineTo(x + o, y - o);
        edge.lineTo(x + s + o, y - o);
        edge.lineTo(x + s + o, y + s - o);
        edge.lineTo(x + s + prev, y + s - o);
        e.lines.addPath(edge);
    }
    const QRectF front(x, y, s, s);
    e.lines.addRect(front);
    e.faces.addRect(front);
    const int rows = 4;
    const qreal rowH = s / rows;
    for (int r = 0; r < rows; ++r) {
        const qreal top = y + r * rowH;
        if (r > 0) {
            e.lines.moveTo(x, top);
            e.lines.lineTo(x + s, top);
        }
        // Running bond: one joint mid-row, then two joints offset by half a brick.
        const std::vector<qreal> joints = r % 2 ? std::vector { 0.25, 0.75 } : std::vector { 0.5 };
        for (const qreal j : joints) {
            e.lines.moveTo(x + j * s, top);
            e.lines.lineTo(x + j * s, top + rowH);
        }
    }
    // Every other brick a shade brighter, like a tiled surface.
    for (int r = 0; r < rows; r += 2)
        e.faces.addRect(QRectF(x, y + r * rowH, s / 2, rowH));
    return e;
}

Emblem doorsEmblem(const QRectF &box)
{
    // A bulkhead with two sliding leaves and arrows that open it.
    Emblem e;
    const QPointF c = box.center();
    const QRectF frame(c.x() - 22, c.y() - 30, 44, 60);
    e.lines.addPath(chamfered(frame, 9, 9, 0, 0));
    const QRectF opening = frame.adjusted(5, 5, -5, 0);
    e.lines.addPath(chamfered(opening, 6, 6, 0, 0));
    const qreal gap = 1.5;
    QPainterPath left = chamfered(
        QRectF(opening.left(), opening.top(), opening.width() / 2 - gap, opening.height()), 6, 0, 0,
        0);
    QPainterPath right =
        chamfered(QRectF(c.x() + gap, opening.top(), opening.width() / 2 - gap, opening.height()),
                  0, 6, 0, 0);
    e.faces.addPath(left);
    e.faces.addPath(right);
    e.lines.moveTo(c.x(), opening.top());
    e.lines.lineTo(c.x(), opening.bottom());
    const qreal ay = c.y() + 4;
    for (const int dir : { -1, 1 }) {
        const qreal tip = c.x() + dir * 12;
        e.lines.moveTo(tip - dir * 5, ay - 5);
        e.lines.lineTo(tip, ay);
        e.lines.lineTo(tip - dir * 5, ay + 5);
        e.dots.addRect(QRectF(c.x() + dir * 10 - 2.5, frame.top() + 12, 5, 2));
    }
    e.lines.moveTo(frame.left() - 4, frame.bottom());
    e.lines.lineTo(frame.right() + 4, frame.bottom());
    return e;
}

Emblem genericsEmblem(const QRectF &box)
{
    // Assorted objects: a crate and a barrel.
    Emblem e;
    const QPointF c(box.center().x() - 13, box.center().y() + 1);
    const qreal a = 22;
    const qreal k = 0.866 * a;
    const QPointF top(c.x(), c.y() - a), ur(c.x() + k, c.y() - a / 2), lr(c.x() + k, c.y() + a / 2),
        bottom(c.x(), c.y() + a), ll(c.x() - k, c.y() + a / 2), ul(c.x() - k, c.y() - a / 2);
    QPainterPath hull;
    hull.moveTo(top);
    for (const QPointF &pt : { ur, lr, bottom, ll, ul })
        hull.lineTo(pt);
    hull.closeSubpath();
    e.lines.addPath(hull);
    e.lines.moveTo(ul);
    e.lines.lineTo(c);
    e.lines.lineTo(ur);
    e.lines.moveTo(c);
    e.lines.lineTo(bottom);
    QPainterPath topFace;
    topFace.moveTo(top);
    topFace.lineTo(ur);
    topFace.lineTo(c);
    topFace.lineTo(ul);
    topFace.closeSubpath();
    e.faces.addPath(topFace);
    e.faces.addPath(topFace);
    QPainterPath leftFace;
    leftFace.moveTo(ul);
    leftFace.lineTo(c);
    leftFace.lineTo(bottom);
    leftFace.lineTo(ll);
    leftFace.closeSubpath();
    e.faces.addPath(leftFace);

    const qreal bx = c.x() + k + 16;
    const qreal rx = 10, ry = 4;
    const qreal btop = c.y() - 6, bbottom = c.y() + a - 2;
    e.lines.addEllipse(QPointF(bx, btop), rx, ry);
    e.lines.moveTo(bx - rx, btop);
    e.lines.lineTo(bx - rx, bbottom);
    e.lines.arcTo(QRectF(bx - rx, bbottom - ry, 2 * rx, 2 * ry), 180, 180);
    e.lines.lineTo(bx + rx, btop);
    for (const qreal hoop : { btop + 8, bbottom - 7 }) {
        e.lines.moveTo(bx - rx, hoop);
        e.lines.arcTo(QRectF(bx - rx, hoop - ry, 2 * rx, 2 * ry), 180, 180);
    }
    QPainterPath barrel;
    barrel.addRect(QRectF(bx - rx, btop, 2 * rx, bbottom - btop));
    e.faces.addPath(barrel);
    return e;
}

Emblem soundsEmblem(const QRectF &box)
{
    // A speaker sending out waves.
    Emblem e;
    const QPointF c = box.center();
    const qreal x0 = c.x() - 26;
    QPainterPath body;
    body.addRect(QRectF(x0, c.y() - 6, 8, 12));
    QPainterPath cone;
    cone.moveTo(x0 + 8, c.y() - 6);
    cone.lineTo(x0 + 20, c.y() - 15);
    cone.lineTo(x0 + 20, c.y() + 15);
    cone.lineTo(x0 + 8, c.y() + 6);
    cone.closeSubpath();
    e.lines.addPath(body);
    e.lines.addPath(cone);
    e.faces.addPath(body);
    e.faces.addPath(cone);
    const QPointF o(x0 + 22, c.y());
    for (const qreal r : { 9.0, 17.0, 25.0 }) {
        const QRectF arc(o.x() - r, o.y() - r, 2 * r, 2 * r);
        e.lines.arcMoveTo(arc, 45);
        e.lines.arcTo(arc, 45, -90);
    }
    return e;
}

Emblem weaponsEmblem(const QRectF &box)
{
    // A targeting reticle.
    Emblem e;
    const QPointF c = box.center();
    e.lines.addEllipse(c, 28, 28);
    e.lines.addEllipse(c, 13, 13);
    const qreal ticks[][2] = { { 6, 20 }, { 31, 37 } };
    for (const auto &span : ticks) {
        for (int q = 0; q < 4; ++q) {
            const qreal ang = q * M_PI / 2;
            const qreal dx = std::cos(ang), dy = std::sin(ang);
            e.lines.moveTo(c.x() + dx * span[0], c.y() + dy * span[0]);
            e.lines.lineTo(c.x() + dx * span[1], c.y() + dy * span[1]);
        }
    }
    for (int q = 0; q < 4; ++q) {
        const qreal ang = M_PI / 4 + q * M_PI / 2;
        const qreal dx = std::cos(ang), dy = std::sin(ang);
        e.lines.moveTo(c.x() + dx * 24, c.y() + dy * 24);
        e.lines.lineTo(c.x() + dx * 28, c.y() + dy * 28);
    }
    e.dots.addEllipse(c, 2.2, 2.2);
    QPainterPath disc;
    disc.addEllipse(c, 13, 13);
    e.faces.addPath(disc);
    return e;
}

Emblem shipsEmblem(const QRectF &box)
{
    // A fighter seen from above, nose up.
    Emblem e;
    const QPointF c(box.center().x(), box.center().y() + 2);
    const QPointF half[] = { { 0, -36 }, { 5, -22 }, { 7, -6 }, { 32, 12 },
                             { 32, 20 }, { 9, 15 },  { 8, 25 }, { 3, 25 } };
    QPainterPath hull;
    hull.moveTo(c + half[0]);
    for (size_t i = 1; i < std::size(half); ++i)
        hull.lineTo(c + half[i]);
    for (size_t i = std::size(half); i-- > 1;)
        hull.lineTo(c + QPointF(-half[i].x(), half[i].y()));
    hull.closeSubpath();
    e.lines.addPath(hull);
    e.faces.addPath(hull);
    QPainterPath canopy;
    canopy.addEllipse(QPointF(c.x(), c.y() - 16), 2.6, 7);
    e.faces.addPath(canopy);
    e.lines.addPath(canopy);
    for (const int side : { -1, 1 }) {
        e.lines.moveTo(c.x() + side * 7, c.y() - 6);
        e.lines.lineTo(c.x() + side * 9, c.y() + 15);
        e.lines.moveTo(c.x() + side * 26, c.y() + 8);
        e.lines.lineTo(c.x() + side * 26, c.y() - 2);
        e.dots.addEllipse(QPointF(c.x() + side * 5.5, c.y() + 28.5), 2.2, 2.2);
    }
    return e;
}

struct Panel
{
    QRect zone;
    QPoint label;
    QString text;
    QRectF screen;
    QColor accent;
    Emblem (*emblem)(const QRectF &);
    // Panels with the label beside the screen get lamps and a gauge in the spare room;
    // the gauge shows this much filled.
    qreal gauge = 0;
};

// A panel lies under its hot area, the label plate under the label.
Panel panelFor(PageKind kind, const QRectF &screen, const QColor &accent,
               Emblem (*emblem)(const QRectF &), qreal gauge = 0)
{
    const PageFormat &format = pageFormat(kind);
    return { format.hotArea, format.labelAt, QString::fromLatin1(format.windowTitle),
             screen,         accent,         emblem,
             gauge };
}

qreal labelPlateRight(const Panel &panel)
{
    const QFontMetricsF metrics(uiFont(11, false));
    const qreal width = metrics.horizontalAdvance(panel.text) + 12;
    return std::min<qreal>(panel.label.x() - 5 + width, panel.zone.right() - 3);
}

// Dark plate under a label so white text reads whatever glows nearby.
void drawLabelPlate(QPainter &p, const Panel &panel)
{
    const qreal right = labelPlateRight(panel);
    const QRectF plate(panel.label.x() - 5.5, panel.label.y() - 3.5,
                       right - (panel.label.x() - 5.5), 19);
    const QPainterPath shape = chamfered(plate, 0, 4, 0, 0);
    p.fillPath(shape, QColor(7, 10, 14));
    p.strokePath(shape, QPen(QColor(0, 0, 0, 200), 1));
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.drawLine(QPointF(plate.left() + 1, plate.bottom() + 1),
               QPointF(plate.right(), plate.bottom() + 1));
    p.fillRect(QRectF(plate.left(), plate.top() + 3, 2, plate.height() - 6), panel.accent);
}

// Status lamps above the label and a gauge below it, kept dim so the label leads.
void drawReadouts(QImage &image, const Panel &panel)
{
    const qreal right = std::floor(labelPlateRight(panel)) - 1;
    const qreal left = panel.label.x();
    QPainterPath lit;
    QPainterPath unlit;
    for (int i = 0; i < 4; ++i) {
        const QRectF lamp(right - 4 - i * 7, panel.label.y() - 13, 4, 4);
        (i >= 2 ? lit : unlit).addRoundedRect(lamp, 1, 1);
    }
    const QRectF track(left - 0.5, panel.label.y() + 23.5, right - left, 4);
    QPainterPath fill;
    for (qreal x = track.left() + 1.5; x < track.left() + 1 + (track.width() - 2) * panel.gauge;
         x += 4)
        fill.addRect(QRectF(x, track.top() + 1, 2.5, 2.5));
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(unlit, mix(QColor(10, 14, 19), panel.accent, 0.22));
        p.setPen(QPen(QColor(0, 0, 0, 180), 1));
        p.setBrush(QColor(7, 10, 14));
        p.drawRect(track);
        p.setPen(QPen(QColor(255, 255, 255, 24), 1));
        p.drawLine(QPointF(track.left() + 1, track.bottom() + 1),
                   QPointF(track.right(), track.bottom() + 1));
    }
    softLayer(image, 2, true, [&](QPainter &p) {
        p.fillPath(lit, withAlpha(panel.accent, 170));
        p.fillPath(fill, withAlpha(panel.accent, 110));
    });
    QPainter p(&image);
    p.fillPath(lit, mix(panel.accent, Qt::white, 0.25));
    p.fillPath(fill, withAlpha(panel.accent, 200));
}

void drawScreen(QImage &image, const Panel &panel)
{
    const QPainterPath shape = chamfered(panel.screen, 6, 2, 6, 2);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient glow(panel.screen.center(), panel.screen.width() * 0.7);
        glow.setColorAt(0, mix(QColor(8, 12, 17), panel.accent, 0.16));
        glow.setColorAt(1, QColor(5, 8, 12));
        p.fillPath(shape, glow);
        p.setClipPath(shape);
        p.setPen(QPen(QColor(0, 0, 0, 70), 1));
        for (qreal y = panel.screen.top() + 1.5; y < panel.screen.bottom(); y += 3)
            p.drawLine(QPointF(panel.screen.left(), y), QPointF(panel.screen.right(), y));
        p.setPen(QPen(QColor(0, 0, 0, 150), 4));
        p.drawPath(shape);
        p.setClipping(false);
        QLinearGradient rim(panel.screen.topLeft(), panel.screen.bottomLeft());
        rim.setColorAt(0, QColor(0, 0, 0, 200));
        rim.setColorAt(1, QColor(150, 175, 200, 70));
        p.strokePath(chamfered(panel.screen.adjusted(-1, -1, 1, 1), 6.5, 2.5, 6.5, 2.5),
                     QPen(QBrush(rim), 1));
    }
    drawEmblem(image, panel.emblem(panel.screen), panel.accent);
}

void drawPanel(QImage &image, const Panel &panel)
{
    const QRectF outer = QRectF(panel.zone).adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal big = 10, small = 3;
    const QPainterPath body = chamfered(outer, big, small, big, small);

    softLayer(image, 3, false,
              [&](QPainter &p) { p.fillPath(body.translated(1, 3), QColor(0, 0, 0, 220)); });

    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(outer.topLeft(), outer.bottomLeft());
        fill.setColorAt(0, QColor(47, 58, 71));
        fill.setColorAt(0.5, QColor(34, 43, 54));
        fill.setColorAt(1, QColor(26, 33, 42));
        p.fillPath(body, fill);

        // Lit from above: a light top-left rim and a dark lower one.
        QLinearGradient bevel(outer.topLeft(), outer.bottomRight());
        bevel.setColorAt(0, QColor(170, 195, 220, 150));
        bevel.setColorAt(0.5, QColor(120, 140, 160, 40));
        bevel.setColorAt(1, QColor(0, 0, 0, 120));
        p.strokePath(chamfered(outer.adjusted(1, 1, -1, -1), big - 0.5, small, big - 0.5, small),
                     QPen(QBrush(bevel), 1));
        p.strokePath(body, QPen(QColor(4, 6, 9), 1));

        p.strokePath(chamfered(outer.adjusted(4, 4, -4, -4), big - 2, small, big - 2, small),
                     QPen(withAlpha(panel.accent, 55), 1));

        // Rivets in the square corners.
        for (const QPointF &pt : { QPointF(outer.right() - 5, outer.top() + 5),
                                   QPointF(outer.left() + 5, outer.bottom() - 5) }) {
            QRadialGradient head(pt - QPointF(0.6, 0.6), 2.2);
            head.setColorAt(0, QColor(150, 165, 180));
            head.setColorAt(1, QColor(40, 48, 58));
            p.setPen(Qt::NoPen);
            p.setBrush(head);
            p.drawEllipse(pt, 1.6, 1.6);
        }
        drawLabelPlate(p, panel);
    }

    // Glowing brackets on the cut corners mark the panel as a control.
    const QRectF in = outer.adjusted(4, 4, -4, -4);
    const qreal cut = big - 2;
    const qreal arm = 12;
    QPainterPath brackets;
    brackets.moveTo(in.left(), in.top() + cut + arm);
    brackets.lineTo(in.left(), in.top() + cut);
    brackets.lineTo(in.left() + cut, in.top());
    brackets.lineTo(in.left() + cut + arm, in.top());
    brackets.moveTo(in.right(), in.bottom() - cut - arm);
    brackets.lineTo(in.right(), in.bottom() - cut);
    brackets.lineTo(in.right() - cut, in.bottom());
    brackets.lineTo(in.right() - cut - arm, in.bottom());
    softLayer(image, 2, true,
              [&](QPainter &p) { p.strokePath(brackets, QPen(withAlpha(panel.accent, 200), 3)); });
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.strokePath(brackets, QPen(mix(panel.accent, Qt::white, 0.3), 1.2));
    }

    if (panel.gauge > 0)
        drawReadouts(image, panel);
    drawScreen(image, panel);
}

// Dim circuit traces between the panels; drawn first so the panels sit on top.
void drawTraces(QImage &image)
{
    QPainterPath traces;
    QPainterPath nodes;
    auto node = [&](qreal x, qreal y) { nodes.addEllipse(QPointF(x, y), 2.2, 2.2); };
    const qreal bus = 56.5;
    traces.moveTo(24, bus);
    traces.lineTo(501, bus);
    for (const auto &[x, to] : { std::pair { 84.5, 88.0 }, { 240.5, 80.0 }, { 408.5, 96.0 } }) {
        traces.moveTo(x, bus);
        traces.lineTo(x, to);
        node(x, bus);
    }
    node(24, bus);
    node(501, bus);
    const qreal links[][4] = { { 145, 104.5, 192, 104.5 }, { 145, 272.5, 192, 272.5 },
                               { 289, 116.5, 320, 116.5 }, { 297, 268.5, 320, 268.5 },
                               { 52.5, 177, 52.5, 200 },   { 244.5, 185, 244.5, 200 } };
    for (const auto &l : links) {
        traces.moveTo(l[0], l[1]);
        traces.lineTo(l[2], l[3]);
    }
    // A routed trace along the left edge into the lower panels.
    traces.moveTo(24, bus);
    traces.lineTo(14.5, bus + 9.5);
    traces.lineTo(14.5, 244.5);
    traces.lineTo(24, 244.5);
    traces.moveTo(501, bus);
    traces.lineTo(510.5, bus + 9.5);
    traces.lineTo(510.5, 236.5);
    traces.lineTo(497, 236.5);

    softLayer(image, 2, true, [&](QPainter &p) {
        p.strokePath(traces, QPen(withAlpha(kCyan, 90), 2.5));
        p.fillPath(nodes, withAlpha(kCyan, 140));
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.strokePath(traces, QPen(withAlpha(kCyan, 75), 1));
    p.fillPath(nodes, QColor(8, 12, 16));
    p.strokePath(nodes, QPen(withAlpha(kCyan, 150), 1));
}

enum class Glyph { Menu, Minimise, Close };

void drawWindowButton(QPainter &p, const QPoint &at, Glyph glyph)
{
    const QRectF r = QRectF(at, QSizeF(16, 16)).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool close = glyph == Glyph::Close;
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, close ? QColor(120, 38, 34) : QColor(62, 75, 90));
    fill.setColorAt(1, close ? QColor(64, 16, 14) : QColor(30, 37, 47));
    p.setPen(QPen(QColor(5, 7, 10), 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(QPen(QColor(255, 255, 255, close ? 60 : 45), 1));
    p.drawLine(QPointF(r.left() + 2.5, r.top() + 1.5), QPointF(r.right() - 2.5, r.top() + 1.5));

    const QPointF o = at;
    p.setPen(QPen(QColor(225, 238, 248), 1.6, Qt::SolidLine, Qt::RoundCap));
    switch (glyph) {
    case Glyph::Menu:
        for (const qreal y : { 5.0, 8.0, 11.0 })
            p.drawLine(o + QPointF(4.5, y), o + QPointF(11.5, y));
        break;
    case Glyph::Minimise:
        p.drawLine(o + QPointF(4.5, 11), o + QPointF(11.5, 11));
        break;
    case Glyph::Close:
        p.drawLine(o + QPointF(4.8, 4.8), o + QPointF(11.2, 11.2));
        p.drawLine(o + QPointF(11.2, 4.8), o + QPointF(4.8, 11.2));
        break;
    }
}

void drawTitleBar(QImage &image)
{
    const QRectF band(0, 0, kWidth, kTitleBottom);
    // The title sits in a recessed tab centred over the drag strip (x 24 to 481).
    const qreal centre = 24 + 457 / 2.0;
    QPainterPath tab;
    tab.moveTo(centre - 118, 0);
    tab.lineTo(centre + 118, 0);
    tab.lineTo(centre + 104, 25);
    tab.lineTo(centre - 104, 25);
    tab.closeSubpath();
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(0, 0, 0, kTitleBottom);
        fill.setColorAt(0, QColor(58, 70, 84));
        fill.setColorAt(0.45, QColor(38, 47, 58));
        fill.setColorAt(1, QColor(24, 30, 38));
        p.fillRect(band, fill);
        p.fillRect(QRectF(0, 0, kWidth, 1), QColor(110, 128, 146));
        p.fillRect(QRectF(0, kTitleBottom - 1, kWidth, 1), QColor(4, 6, 9));

        // Engraved hatching either side says "grab here".
        for (const qreal start : { 36.0, centre + 124 }) {
            for (qreal x = start; x < start + 96; x += 5) {
                p.setPen(QPen(QColor(0, 0, 0, 110), 1));
                p.drawLine(QPointF(x, 19), QPointF(x + 6, 9));
                p.setPen(QPen(QColor(255, 255, 255, 22), 1));
                p.drawLine(QPointF(x + 1, 19), QPointF(x + 7, 9));
            }
        }

        QLinearGradient well(0, 0, 0, 25);
        well.setColorAt(0, QColor(8, 11, 15));
        well.setColorAt(1, QColor(16, 21, 28));
        p.fillPath(tab, well);
        p.strokePath(tab, QPen(QColor(0, 0, 0, 180), 1));
    }

    QPainterPath edge;
    edge.moveTo(centre - 104, 25);
    edge.lineTo(centre + 104, 25);
    QPainterPath underline;
    underline.moveTo(24, kTitleBottom + 0.5);
    underline.lineTo(501, kTitleBottom + 0.5);

    const QFont font = [] {
        QFont f = uiFont(12, true);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
        return f;
    }();
    const QRectF textBox(centre - 104, 2, 208, 22);
    const QString title = u"VK Control Panel"_s;

    softLayer(image, 3, true, [&](QPainter &p) {
        p.strokePath(edge, QPen(withAlpha(kCyan, 200), 3));
        p.strokePath(underline, QPen(withAlpha(kCyan, 90), 3));
        p.setFont(font);
        p.setPen(withAlpha(kCyan, 150));
        p.drawText(textBox, Qt::AlignCenter, title);
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fade(24, 0, 501, 0);
    fade.setColorAt(0, withAlpha(kCyan, 0));
    fade.setColorAt(0.25, withAlpha(kCyan, 120));
    fade.setColorAt(0.75, withAlpha(kCyan, 120));
    fade.setColorAt(1, withAlpha(kCyan, 0));
    p.strokePath(underline, QPen(QBrush(fade), 1));
    p.strokePath(edge, QPen(mix(kCyan, Qt::white, 0.4), 1));
    p.setFont(font);
    p.setPen(kText);
    p.drawText(textBox, Qt::AlignCenter, title);

    drawWindowButton(p, { 7, 7 }, Glyph::Menu);
    drawWindowButton(p, { 483, 7 }, Glyph::Minimise);
    drawWindowButton(p, { 502, 7 }, Glyph::Close);
}

void drawRail(QImage &image)
{
    // The web badge (8,303) and the about button (496,296) sit here on plain metal.
    {
        QPainter p(&image);
        QLinearGradient fill(0, kRailTop, 0, kHeight);
        fill.setColorAt(0, QColor(30, 37, 46));
        fill.setColorAt(1, QColor(17, 21, 27));
        p.fillRect(QRectF(0, kRailTop, kWidth, kHeight - kRailTop), fill);
        p.fillRect(QRectF(0, kRailTop - 1, kWidth, 1), QColor(4, 6, 9));
        p.fillRect(QRectF(0, kRailTop, kWidth, 1), QColor(80, 96, 112));
    }
    // A recessed groove with a row of status lamps between the two.
    const QRectF groove(76.5, 305.5, 404, 9);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 0, 160), 1));
        p.setBrush(QColor(9, 12, 16));
        p.drawRoundedRect(groove, 3, 3);
        p.setPen(QPen(QColor(255, 255, 255, 25), 1));
        p.drawLine(QPointF(groove.left() + 3, groove.bottom() + 1),
                   QPointF(groove.right() - 3, groove.bottom() + 1));
    }
    QPainterPath lit;
    QPainterPath dim;
    for (int i = 0; i < 40; ++i) {
        const QRectF seg(groove.left() + 4 + i * 10, groove.top() + 3, 6, 3);
        (i < 7 || (i > 30 && i < 34) ? lit : dim).addRect(seg);
    }
    softLayer(image, 2, true, [&](QPainter &p) { p.fillPath(lit, withAlpha(kCyan, 200)); });
    QPainter p(&image);
    p.fillPath(lit, mix(kCyan, Qt::white, 0.3));
    p.fillPath(dim, QColor(30, 52, 66));
}

void drawFrame(QImage &image)
{
    QPainter p(&image);
    p.setPen(QPen(QColor(2, 3, 5), 1));
    p.drawRect(QRectF(0.5, 0.5, kWidth - 1, kHeight - 1));
    p.setPen(QPen(QColor(255, 255, 255, 30), 1));
    p.drawLine(QPointF(1.5, kTitleBottom + 1), QPointF(1.5, kRailTop - 2));
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.drawLine(QPointF(kWidth - 1.5, kTitleBottom + 1), QPointF(kWidth - 1.5, kRailTop - 2));
}

QImage drawBackground(qreal scale)
{
    QImage image(QSize(kWidth, kHeight) * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    {
        QPainter p(&image);
        QRadialGradient base(QPointF(262, 150), 330);
        base.setColorAt(0, QColor(30, 38, 49));
        base.setColorAt(1, QColor(11, 14, 19));
        p.fillRect(image.rect(), base);
        // A faint engineering grid.
        p.setPen(QPen(QColor(120, 170, 210, 12), 1));
        for (int x = 8; x < kWidth; x += 16)
            p.drawLine(QPointF(x + 0.5, kTitleBottom), QPointF(x + 0.5, kRailTop));
        for (int y = kTitleBottom + 12; y < kRailTop; y += 16)
            p.drawLine(QPointF(0, y + 0.5), QPointF(kWidth, y + 0.5));
    }
    addGrain(image, QRect(0, kTitleBottom, kWidth, kRailTop - kTitleBottom), 3);

    drawTraces(image);

    const Panel panels[] = {
        panelFor(PageKind::Texture, { 31, 95, 56, 75 }, QColor(60, 225, 200), texturesEmblem, 0.7),
        panelFor(PageKind::Door, { 31, 207, 56, 75 }, QColor(255, 186, 60), doorsEmblem, 0.45),
        panelFor(PageKind::Generic, { 199, 87, 83, 64 }, QColor(120, 230, 110), genericsEmblem),
        panelFor(PageKind::Sound, { 199, 207, 91, 50 }, QColor(190, 130, 255), soundsEmblem),
        panelFor(PageKind::Weapon, { 397, 103, 92, 75 }, QColor(255, 110, 70), weaponsEmblem, 0.85),
        panelFor(PageKind::Ship, { 392, 191, 97, 91 }, QColor(80, 180, 255), shipsEmblem, 0.6),
    };
    for (const Panel &panel : panels)
        drawPanel(image, panel);

    drawTitleBar(image);
    drawRail(image);
    drawFrame(image);
    return image.convertToFormat(QImage::Format_RGB32);
}

// The round info button at the bottom right; greyed when there is nothing to show.
QImage drawAbout(bool enabled, qreal scale)
{
    QImage image = transparentLayer({ 25, 25 }, scale);
    const QPointF c(12.5, 12.5);
    const QColor accent = enabled ? kCyan : QColor(96, 102, 108);
    if (enabled) {
        softLayer(image, 1, true, [&](QPainter &p) {
            p.setPen(QPen(withAlpha(kCyan, 160), 2.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 10, 10);
        });
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient fill(c - QPointF(3, 4), 14);
    fill.setColorAt(0, enabled ? QColor(62, 76, 92) : QColor(58, 60, 63));
    fill.setColorAt(1, enabled ? QColor(16, 21, 28) : QColor(28, 29, 31));
    p.setPen(QPen(QColor(3, 4, 6), 1));
    p.setBrush(fill);
    p.drawEllipse(c, 11.5, 11.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(enabled ? mix(kCyan, Qt::white, 0.25) : accent, 1.2));
    p.drawEllipse(c, 9.6, 9.6);

    const QColor ink = enabled ? QColor(235, 245, 252) : QColor(120, 124, 128);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(12.5, 7.6), 1.7, 1.7);
    QPainterPath stem;
    stem.moveTo(10.2, 10.6);
    stem.lineTo(13.8, 10.6);
    stem.lineTo(13.8, 16.4);
    stem.lineTo(15.0, 16.4);
    stem.lineTo(15.0, 18.0);
    stem.lineTo(10.0, 18.0);
    stem.lineTo(10.0, 16.4);
    stem.lineTo(11.2, 16.4);
    stem.lineTo(11.2, 12.0);
    stem.lineTo(10.2, 12.0);
    stem.closeSubpath();
    p.drawPath(stem);
    return image;
}

QImage drawWebLink(qreal scale)
{
    QImage image = transparentLayer({ 52, 16 }, scale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF badge(0.5, 0.5, 51, 15);
    QLinearGradient fill(badge.topLeft(), badge.bottomLeft());
    fill.setColorAt(0, QColor(36, 48, 62));
    fill.setColorAt(1, QColor(12, 17, 23));
    const QPainterPath shape = chamfered(badge, 4, 1.5, 4, 1.5);
    p.fillPath(shape, fill);
    p.strokePath(shape, QPen(withAlpha(kCyan, 170), 1));

    const QPointF g(8.5, 8);
    p.setPen(QPen(kCyan, 1));
    p.setBrush(withAlpha(kCyan, 45));
    p.drawEllipse(g, 5, 5);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(g, 2.2, 5);
    p.drawLine(QPointF(g.x() - 5, g.y()), QPointF(g.x() + 5, g.y()));
    p.drawLine(QPointF(g.x() - 4.2, g.y() - 2.6), QPointF(g.x() + 4.2, g.y() - 2.6));
    p.drawLine(QPointF(g.x() - 4.2, g.y() + 2.6), QPointF(g.x() + 4.2, g.y() + 2.6));

    p.setFont(uiFont(11, true));
    p.setPen(kText);
    p.drawText(QRectF(15, 0, 36, 16), Qt::AlignCenter, u"Web"_s);
    return image;
}

// The "VK" letter shapes on a 128-unit grid.
QPainterPath monogram()
{
    QPainterPath v;
    v.moveTo(14, 34);
    v.lineTo(30, 34);
    v.lineTo(40, 72);
    v.lineTo(50, 34);
    v.lineTo(66, 34);
    v.lineTo(48, 94);
    v.lineTo(32, 94);
    v.closeSubpath();
    QPainterPath k;
    k.addRect(QRectF(68, 34, 15, 60));
    QPainterPath upper;
    upper.moveTo(81, 60);
    upper.lineTo(98, 34);
    upper.lineTo(115, 34);
    upper.lineTo(92, 68);
    upper.lineTo(83, 72);
    upper.closeSubpath();
    QPainterPath lower;
    lower.moveTo(83, 62);
    lower.lineTo(92, 60);
    lower.lineTo(116, 94);
    lower.lineTo(99, 94);
    lower.lineTo(83, 74);
    lower.closeSubpath();
    return v.united(k).united(upper).united(lower).simplified();
}

QImage drawIcon(int size)
{
    QImage image = transparentLayer({ size, size }, 1);
    const qreal u = size / 128.0;
    const qreal hair = std::max(1.0, 2 * u);
    const QRectF outer(2 * u + 0.5, 2 * u + 0.5, 124 * u - 1, 124 * u - 1);
    const QPainterPath badge = chamfered(outer, 26 * u, 8 * u, 26 * u, 8 * u);
    const QRectF inner = outer.adjusted(9 * u, 9 * u, -9 * u, -9 * u);
    const QPainterPath frame = chamfered(inner, 20 * u, 5 * u, 20 * u, 5 * u);
    QTransform toPixels;
    toPixels.scale(u, u);
    const QPainterPath letters = toPixels.map(monogram());

    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(outer.topLeft(), outer.bottomRight());
        fill.setColorAt(0, QColor(66, 80, 96));
        fill.setColorAt(0.5, QColor(34, 43, 54));
        fill.setColorAt(1, QColor(16, 20, 26));
        p.fillPath(badge, fill);
        p.strokePath(badge, QPen(QColor(3, 4, 6), hair));
        QLinearGradient well(inner.topLeft(), inner.bottomLeft());
        well.setColorAt(0, QColor(8, 13, 19));
        well.setColorAt(1, QColor(16, 26, 36));
        p.fillPath(frame, well);
    }
    // A small icon keeps its glow faint, or the letters blur into the frame.
    const int glow = size >= 64 ? 200 : 110;
    softLayer(image, std::max(1, qRound(4 * u)), true, [&](QPainter &p) {
        p.strokePath(frame, QPen(withAlpha(kCyan, glow), 2.5 * hair));
        p.fillPath(letters, withAlpha(kCyan, glow));
    });
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.strokePath(frame, QPen(mix(kCyan, Qt::white, 0.3), hair * 0.75));
    QLinearGradient ink(0, 34 * u, 0, 94 * u);
    ink.setColorAt(0, QColor(250, 253, 255));
    ink.setColorAt(1, mix(kCyan, Qt::white, 0.45));
    p.fillPath(letters, ink);
    p.strokePath(letters, QPen(QColor(10, 30, 45, 160), std::max(0.6, u)));
    return image;
}

bool save(const QImage &image, const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    if (image.save(path)) // in the format its suffix names
        return true;
    std::fprintf(stderr, "draw_art: cannot write %s\n", qPrintable(QDir::toNativeSeparators(path)));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing needs no display; the offscreen platform still provides fonts.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QCoreApplication::arguments();
    const bool help = args.size() == 2 && (args[1] == u"-h"_s || args[1] == u"--help"_s);
    if (args.size() != 2 || args[1].startsWith(u'-')) {
        std::fputs("Usage: draw_art OUTPUT_DIRECTORY\n"
                   "Draws the window skin, buttons and icons of VK Control Panel as PNG files "
                   "(the window's background as BMP) into OUTPUT_DIRECTORY.\n",
                   help ? stdout : stderr);
        return help ? 0 : 1;
    }
    const QDir dir(args[1]);
    if (!dir.mkpath(u"."_s)) {
        std::fprintf(stderr, "draw_art: cannot create the directory %s\n",
                     qPrintable(QDir::toNativeSeparators(args[1])));
        return 1;
    }
    const QFontInfo used(uiFont(11, false));
    if (used.family() != u"DejaVu Sans"_s) {
        std::fprintf(stderr,
                     "draw_art: the DejaVu Sans font is missing (found %s); install "
                     "fonts-dejavu-core so the art comes out as committed\n",
                     qPrintable(used.family()));
        return 1;
    }

    // The window's art also at twice its size, for screens scaled by 1.5 or more: drawn there,
    // not enlarged, so it stays sharp.
    bool ok = true;
    for (const qreal scale : { 1, 2 }) {
        const QString suffix = scale == 1 ? u".png"_s : u"@2x.png"_s;
        // Read at every start, the background decodes in an eighth of the time uncompressed; at
        // twice the size that would add 2 MB to the program for the few screens that use it.
        const QString background = scale == 1 ? u"background.bmp"_s : u"background@2x.png"_s;
        ok = save(drawBackground(scale), dir, background) && ok;
        ok = save(drawAbout(true, scale), dir, u"about"_s + suffix) && ok;
        ok = save(drawAbout(false, scale), dir, u"about-disabled"_s + suffix) && ok;
        ok = save(drawWebLink(scale), dir, u"weblink"_s + suffix) && ok;
    }
    ok = save(drawIcon(32), dir, u"vkcp.png"_s) && ok;
    // The sizes of the desktop's icon theme (shell/CMakeLists.txt installs them); 32 is vkcp.png.
    for (int size : { 16, 24, 48, 64, 128, 256 })
        ok = save(drawIcon(size), dir, u"vkcp-%1.png"_s.arg(size)) && ok;
    return ok ? 0 : 1;
}
