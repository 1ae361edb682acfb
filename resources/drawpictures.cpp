// Draws the program's pictures once; the results are committed beside this file.
// Rebuild: g++ -std=c++20 -fPIC drawpictures.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/drawpictures
//          QT_QPA_PLATFORM=offscreen /tmp/drawpictures <this folder>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kBand(0x2b, 0x4a, 0x78); // title band and side-bar strip
const QColor kAccent(0x2f, 0x9e, 0x6e); // the Tympra green
const QColor kInk(0x33, 0x3d, 0x4a);

// 1 for the ordinary pictures, 2 for the "@2x" ones that screens of pixel ratio 2 show.
double scale = 1;

// Painters on the canvas draw in the ordinary size; the canvas has `scale` times as many pixels.
QImage canvas(int w, int h)
{
    QImage image(qRound(w * scale), qRound(h * scale), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    return image;
}

void save(const QImage &image, const QString &folder, const QString &name)
{
    const QString file = scale == 1 ? name : QString(name).replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
    image.save(QDir(folder).filePath(file));
}

// A round button face with a soft gradient, shared by the navigation pictures.
void buttonFace(QPainter &p, const QRectF &r, const QColor &base)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, base.lighter(135));
    g.setColorAt(1, base.darker(115));
    p.setPen(QPen(base.darker(150), 1.5));
    p.setBrush(g);
    p.drawEllipse(r);
}

QImage arrow(bool back)
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    buttonFace(p, QRectF(3, 3, 42, 42), QColor(0x3c, 0x6e, 0xb4));
    QPainterPath path;
    path.moveTo(14, 24);
    path.lineTo(25, 13);
    path.lineTo(25, 19);
    path.lineTo(35, 19);
    path.lineTo(35, 29);
    path.lineTo(25, 29);
    path.lineTo(25, 35);
    path.closeSubpath();
    if (!back)
        path = QTransform(-1, 0, 0, 1, 48, 0).map(path);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(path);
    return image;
}

QImage refresh()
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    buttonFace(p, QRectF(3, 3, 42, 42), kAccent);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14, 14, 20, 20), 60 * 16, 280 * 16);
    QPainterPath head;
    head.moveTo(27, 9);
    head.lineTo(36, 16);
    head.lineTo(26, 20);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(head);
    return image;
}

QImage stop()
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    buttonFace(p, QRectF(3, 3, 42, 42), QColor(0xc8, 0x3c, 0x32));
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17, 17), QPointF(31, 31));
    p.drawLine(QPointF(31, 17), QPointF(17, 31));
    return image;
}

QImage pencil()
{
    QImage image = canvas(24, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(12, 12);
    p.rotate(45);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xf2, 0xb1, 0x34));
    p.drawRect(QRectF(-3, -10, 6, 14));
    p.setBrush(QColor(0xe8, 0x8f, 0x9a));
    p.drawRect(QRectF(-3, -12, 6, 3));
    QPainterPath tip;
    tip.moveTo(-3, 4);
    tip.lineTo(3, 4);
    tip.lineTo(0, 10);
    tip.closeSubpath();
    p.setBrush(QColor(0xf5, 0xde, 0xb3));
    p.drawPath(tip);
    return image;
}

QImage bin()
{
    QImage image = canvas(24, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x8a, 0x22, 0x1c), 1.2));
    p.setBrush(QColor(0xd9, 0x4f, 0x43));
    QPainterPath body;
    body.moveTo(6, 8);
    body.lineTo(18, 8);
    body.lineTo(16.5, 21);
    body.lineTo(7.5, 21);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRoundedRect(QRectF(4, 5, 16, 3), 1, 1);
    p.drawRect(QRectF(10, 3, 4, 2));
    p.setPen(QPen(QColor(0xff, 0xe0, 0xdc), 1.2));
    for (double x : {9.5, 12.0, 14.5})
        p.drawLine(QPointF(x, 10.5), QPointF(x, 19));
    return image;
}

// A sheet with a fold, the face of both copy buttons; `key` draws a key on it, otherwise a person.
QImage copySheet(bool key)
{
    QImage image = canvas(24, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xdd, 0xe4, 0xee));
    p.drawRoundedRect(QRectF(2.5, 1.5, 13, 16), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(7.5, 5.5, 14, 17), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    if (key) {
        p.setBrush(QColor(0xd4, 0x9a, 0x1e));
        p.drawEllipse(QRectF(9.5, 9, 6, 6));
        p.drawRect(QRectF(14.5, 11, 5.5, 2));
        p.drawRect(QRectF(17.5, 13, 1.6, 2.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(11.3, 10.8, 2.4, 2.4));
    } else {
        p.setBrush(kBand);
        p.drawEllipse(QRectF(12, 8, 5, 5));
        QPainterPath body;
        body.moveTo(9.5, 20);
        body.cubicTo(9.5, 14, 19.5, 14, 19.5, 20);
        body.closeSubpath();
        p.drawPath(body);
    }
    return image;
}

// The Tympra badge: a shield with a row of key caps, "protected by the typing rhythm".
QImage badge()
{
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shield;
    shield.moveTo(16, 2);
    shield.cubicTo(21, 5, 25, 6, 29, 6);
    shield.cubicTo(29, 18, 25, 26, 16, 30);
    shield.cubicTo(7, 26, 3, 18, 3, 6);
    shield.cubicTo(7, 6, 11, 5, 16, 2);
    QLinearGradient g(0, 0, 0, 32);
    g.setColorAt(0, kAccent.lighter(130));
    g.setColorAt(1, kAccent.darker(130));
    p.setPen(QPen(kAccent.darker(170), 1.2));
    p.setBrush(g);
    p.drawPath(shield);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const double heights[] = {4, 8, 6, 10, 5};
    for (int i = 0; i < 5; ++i)
        p.drawRoundedRect(QRectF(8 + i * 3.4, 20 - heights[i], 2.4, heights[i]), 1, 1);
    return image;
}

QImage sideBar(bool hide)
{
    QImage image = canvas(9, 33);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBand);
    p.drawRoundedRect(QRectF(0, 0, 9, 33), 3, 3);
    QPainterPath tri;
    if (hide) {
        tri.moveTo(6.5, 11);
        tri.lineTo(2, 16.5);
        tri.lineTo(6.5, 22);
    } else {
        tri.moveTo(2.5, 11);
        tri.lineTo(7, 16.5);
        tri.lineTo(2.5, 22);
    }
    tri.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(tri);
    return image;
}

// The rounded ends of the title band; the band itself is a plain coloured label.
QImage corner(bool left, int w, int h)
{
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBand);
    const QRectF r = left ? QRectF(0, 0, w * 2, h) : QRectF(-w, 0, w * 2, h);
    p.drawRoundedRect(r, h / 2.0, h / 2.0);
    return image;
}

// The maker's logo for the start page: a vault door with a key-cap handle and the maker's name.
QImage logo()
{
    QImage image(360, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(60, 60);
    p.setPen(QPen(kBand.darker(130), 3));
    p.setBrush(kBand);
    p.drawEllipse(c, 46, 46);
    p.setBrush(kBand.lighter(140));
    p.drawEllipse(c, 32, 32);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 6; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 60);
        p.drawLine(QPointF(0, -12), QPointF(0, -27));
        p.restore();
    }
    p.setPen(QPen(kAccent.darker(140), 2));
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(c.x() - 9, c.y() - 9, 18, 18), 4, 4);
    QFont f(QStringLiteral("DejaVu Sans"), 30, QFont::Bold);
    p.setFont(f);
    p.setPen(kBand);
    p.drawText(QRectF(122, 18, 235, 52), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Qorvish"));
    QFont small(QStringLiteral("DejaVu Sans"), 11);
    p.setFont(small);
    p.setPen(kInk);
    p.drawText(QRectF(124, 70, 235, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("keystroke security"));
    return image;
}

// The program's icon for the desktop's menu: the logo's vault door on a rounded tile, drawn on a grid of 256 and
// scaled to `size` pixels.
QImage appIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient tile(0, 8, 0, 248);
    tile.setColorAt(0, kBand.lighter(125));
    tile.setColorAt(1, kBand.darker(120));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    const QPointF c(128, 128);
    p.setPen(QPen(QColor(0xdd, 0xe4, 0xee), 10));
    p.setBrush(kBand.lighter(150));
    p.drawEllipse(c, 92, 92);
    p.setPen(QPen(Qt::white, 16, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 6; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 60);
        p.drawLine(QPointF(0, -30), QPointF(0, -66));
        p.restore();
    }
    p.setPen(QPen(kAccent.darker(140), 6));
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(c.x() - 24, c.y() - 24, 48, 48), 10, 10);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    for (double s : {1.0, 2.0}) {
        scale = s;
        save(copySheet(false), folder, QStringLiteral("copy-id.png"));
        save(copySheet(true), folder, QStringLiteral("copy-password.png"));
        save(arrow(true), folder, QStringLiteral("back.png"));
        save(arrow(false), folder, QStringLiteral("forward.png"));
        save(refresh(), folder, QStringLiteral("refresh.png"));
        save(stop(), folder, QStringLiteral("stop.png"));
        save(pencil(), folder, QStringLiteral("edit.png"));
        save(bin(), folder, QStringLiteral("delete.png"));
        save(badge(), folder, QStringLiteral("tympra.png"));
        save(sideBar(true), folder, QStringLiteral("sidebar-hide.png"));
        save(sideBar(false), folder, QStringLiteral("sidebar-show.png"));
        save(corner(true, 32, 30), folder, QStringLiteral("corner-left.png"));
        save(corner(false, 35, 30), folder, QStringLiteral("corner-right.png"));
    }
    logo().save(QDir(folder).filePath(QStringLiteral("Qorvish.bmp")), "BMP");
    for (int size : {48, 128, 256})
        appIcon(size).save(QDir(folder).filePath(QStringLiteral("vaultry-%1.png").arg(size)));
    return 0;
}
