#include "levelplot.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace levelplot {

namespace {

const QColor kRejectionColor(200, 60, 40);
const QColor kAcceptanceColor(40, 90, 190);

void drawSeries(QPainter &p, const QList<QPointF> &points, const QColor &color, bool squares)
{
    p.setPen(QPen(color, 2.5));
    QPainterPath path(points.first());
    for (const QPointF &pt : points)
        path.lineTo(pt);
    p.drawPath(path);
    p.setBrush(color);
    for (const QPointF &pt : points) {
        const QRectF marker(pt.x() - 4.5, pt.y() - 4.5, 9, 9);
        squares ? p.drawRect(marker) : p.drawEllipse(marker);
    }
    p.setBrush(Qt::NoBrush);
}

// Where a level and a rate lie in the plot.
struct Axes
{
    QRectF plot;
    int minLevel;
    int maxLevel;
    double yMax;

    QPointF at(double level, double rate) const
    {
        return QPointF(plot.left() + (level - minLevel) / (maxLevel - minLevel) * plot.width(),
                       plot.bottom() - rate / yMax * plot.height());
    }
};

void drawAxes(QPainter &p, const Axes &a)
{
    p.setPen(QPen(QColor(225, 225, 225), 1));
    for (int step = 0; step <= qRound(a.yMax * 20); ++step)
        p.drawLine(a.at(a.minLevel, step * 0.05), a.at(a.maxLevel, step * 0.05));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(a.plot.bottomLeft(), a.plot.bottomRight());
    p.drawLine(a.plot.bottomLeft(), a.plot.topLeft());
    for (int step = 0; step <= qRound(a.yMax * 20); ++step) {
        const QPointF pt = a.at(a.minLevel, step * 0.05);
        p.drawLine(pt, pt - QPointF(6, 0));
        p.drawText(QRectF(pt.x() - 60, pt.y() - 10, 50, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1%").arg(step * 5));
    }
    for (int level = a.minLevel; level <= a.maxLevel; ++level) {
        const QPointF pt = a.at(level, 0);
        p.drawLine(pt, pt + QPointF(0, 6));
        p.drawText(QRectF(pt.x() - 20, pt.y() + 8, 40, 20), Qt::AlignCenter, QString::number(level));
    }
    p.drawText(QRectF(a.plot.left(), a.plot.bottom() + 32, a.plot.width(), 22), Qt::AlignCenter,
               QStringLiteral("Security level (0 most lenient, 10 strictest)"));
    p.save();
    p.translate(24, a.plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-150, -12, 300, 24), Qt::AlignCenter, QStringLiteral("Rate, averaged over subjects"));
    p.restore();
}

void drawLegend(QPainter &p, const QRectF &plot)
{
    const QRectF legend(plot.left() + 20, plot.top() + 10, 360, 62);
    p.setPen(QPen(QColor(160, 160, 160), 1));
    p.setBrush(Qt::white);
    p.drawRect(legend);
    p.setBrush(Qt::NoBrush);
    const QList<std::pair<QString, QColor>> entries = {
        {QStringLiteral("False rejections (own typings refused)"), kRejectionColor},
        {QStringLiteral("False acceptances (impostors let in)"), kAcceptanceColor}};
    for (int i = 0; i < entries.size(); ++i) {
        const double y = legend.top() + 18 + i * 26;
        drawSeries(p, {QPointF(legend.left() + 12, y), QPointF(legend.left() + 42, y)}, entries[i].second, i == 1);
        p.setPen(Qt::black);
        p.drawText(QRectF(legend.left() + 52, y - 11, legend.width() - 56, 22), Qt::AlignVCenter, entries[i].first);
    }
}

} // namespace

QImage draw(const QList<LevelRates> &rates, int programLevel, const QString &title, const QString &note)
{
    const QRectF plot(90, 70, 820, 410);
    QFont font(QStringLiteral("DejaVu Sans"), 11);
    // The picture grows downwards to hold the whole note.
    const QRect noteRect(40, int(plot.bottom()) + 60, 880, 0);
    const QImage probe(1, 1, QImage::Format_RGB32);
    const QRect noteNeeds = QFontMetrics(font, &probe)
                                .boundingRect(noteRect.adjusted(0, 0, 0, 1000), Qt::AlignLeft | Qt::TextWordWrap, note);
    const QSize size(960, std::max(600, noteNeeds.bottom() + 12));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font);

    double top = 0.0;
    for (const LevelRates &r : rates)
        top = std::max({top, r.falseRejection, r.falseAcceptance});
    const int minLevel = rates.first().level;
    const Axes axes {plot, minLevel, std::max(rates.last().level, minLevel + 1),
                     std::max(0.1, std::ceil(top * 10.0 + 0.001) / 10.0)};
    drawAxes(p, axes);

    // The level the program asks for.
    p.setPen(QPen(QColor(120, 120, 120), 1.2, Qt::DashLine));
    p.drawLine(axes.at(programLevel, 0), axes.at(programLevel, axes.yMax));
    p.drawText(axes.at(programLevel, axes.yMax) + QPointF(6, 14), QStringLiteral("program's level"));

    QList<QPointF> rejection, acceptance;
    for (const LevelRates &r : rates) {
        rejection.append(axes.at(r.level, r.falseRejection));
        acceptance.append(axes.at(r.level, r.falseAcceptance));
    }
    drawSeries(p, rejection, kRejectionColor, false);
    drawSeries(p, acceptance, kAcceptanceColor, true);
    drawLegend(p, plot);

    p.setPen(Qt::black);
    QFont titleFont = font;
    titleFont.setPointSize(13);
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.drawText(QRectF(0, 18, size.width(), 30), Qt::AlignCenter, title);
    p.setFont(font);
    p.setPen(QColor(70, 70, 70));
    p.drawText(QRectF(noteRect.left(), noteRect.top(), noteRect.width(), size.height() - noteRect.top()),
               Qt::AlignLeft | Qt::TextWordWrap, note);
    p.end();
    return image;
}

} // namespace levelplot
