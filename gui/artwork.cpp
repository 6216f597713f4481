#include "gui/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <functional>

namespace kelvra {
namespace {

// Every picture is drawn into a unit square of 100 by 100 that the painter
// scales to the pixmap, so one drawing serves every size.
using Drawing = std::function<void(QPainter&)>;

QPixmap Render(int size, const Drawing& draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 100.0, size / 100.0);
    draw(painter);
    return pixmap;
}

QIcon IconFrom(const Drawing& draw)
{
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48, 64})
        icon.addPixmap(Render(size, draw));
    return icon;
}

const QColor kInk(0x2b, 0x3a, 0x4a);
const QColor kBlue(0x1f, 0x6f, 0xc5);
const QColor kLightBlue(0x5a, 0xa9, 0xf0);
const QColor kGreen(0x2e, 0x9e, 0x4f);
const QColor kRed(0xd3, 0x3a, 0x2c);
const QColor kAmber(0xf2, 0xa9, 0x1f);
const QColor kPaper(0xfb, 0xfc, 0xfe);

void DrawDocument(QPainter& p, const QRectF& r, const QColor& fill = kPaper)
{
    const qreal fold = r.width() * 0.32;
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(QPen(kInk, r.width() * 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xd8, 0xe2, 0xee));
    p.drawPath(corner);
    p.setPen(QPen(QColor(0x9a, 0xaa, 0xbc), r.width() * 0.06, Qt::SolidLine, Qt::RoundCap));
    const qreal left = r.left() + r.width() * 0.2;
    const qreal right = r.right() - r.width() * 0.2;
    for (int line = 0; line < 3; ++line) {
        const qreal y = r.top() + r.height() * (0.45 + 0.16 * line);
        p.drawLine(QPointF(left, y), QPointF(line == 2 ? (left + right) / 2 : right, y));
    }
}

void DrawFolder(QPainter& p, const QRectF& r, const QColor& fill = kAmber)
{
    QPainterPath folder;
    const qreal tab = r.height() * 0.18;
    folder.moveTo(r.left(), r.top() + tab);
    folder.lineTo(r.left(), r.bottom());
    folder.lineTo(r.right(), r.bottom());
    folder.lineTo(r.right(), r.top() + tab * 1.8);
    folder.lineTo(r.left() + r.width() * 0.45, r.top() + tab * 1.8);
    folder.lineTo(r.left() + r.width() * 0.37, r.top());
    folder.lineTo(r.left() + r.width() * 0.06, r.top());
    folder.closeSubpath();
    p.setPen(QPen(fill.darker(150), r.width() * 0.05, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient shade(r.topLeft(), r.bottomLeft());
    shade.setColorAt(0, fill.lighter(125));
    shade.setColorAt(1, fill);
    p.setBrush(shade);
    p.drawPath(folder);
}

void DrawBadge(QPainter& p, const QPointF& centre, qreal radius, const QColor& colour)
{
    p.setPen(QPen(Qt::white, radius * 0.22));
    p.setBrush(colour);
    p.drawEllipse(centre, radius, radius);
}

void DrawPlus(QPainter& p, const QPointF& centre, qreal half)
{
    p.setPen(QPen(Qt::white, half * 0.55, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre - QPointF(half, 0), centre + QPointF(half, 0));
    p.drawLine(centre - QPointF(0, half), centre + QPointF(0, half));
}

void DrawMinus(QPainter& p, const QPointF& centre, qreal half)
{
    p.setPen(QPen(Qt::white, half * 0.55, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre - QPointF(half, 0), centre + QPointF(half, 0));
}

void DrawCross(QPainter& p, const QRectF& r, const QColor& colour, qreal width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void DrawTick(QPainter& p, const QRectF& r, const QColor& colour, qreal width)
{
    QPainterPath tick;
    tick.moveTo(r.left(), r.top() + r.height() * 0.55);
    tick.lineTo(r.left() + r.width() * 0.38, r.bottom());
    tick.lineTo(r.right(), r.top());
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

void DrawArrowRight(QPainter& p, const QRectF& r, const QColor& colour)
{
    QPainterPath arrow;
    const qreal mid = r.center().y();
    const qreal shaft = r.height() * 0.18;
    arrow.moveTo(r.left(), mid - shaft);
    arrow.lineTo(r.left() + r.width() * 0.55, mid - shaft);
    arrow.lineTo(r.left() + r.width() * 0.55, r.top());
    arrow.lineTo(r.right(), mid);
    arrow.lineTo(r.left() + r.width() * 0.55, r.bottom());
    arrow.lineTo(r.left() + r.width() * 0.55, mid + shaft);
    arrow.lineTo(r.left(), mid + shaft);
    arrow.closeSubpath();
    p.setPen(QPen(colour.darker(130), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(arrow);
}

void DrawBook(QPainter& p, const QRectF& r)
{
    // An open book seen from the front: two pages and a spine.
    const QPointF spineTop(r.center().x(), r.top() + r.height() * 0.12);
    const QPointF spineBottom(r.center().x(), r.bottom());
    QPainterPath left;
    left.moveTo(spineBottom);
    left.cubicTo(QPointF(r.left() + r.width() * 0.3, r.bottom() - r.height() * 0.12),
                 QPointF(r.left() + r.width() * 0.1, r.bottom() - r.height() * 0.08),
                 QPointF(r.left(), r.bottom() - r.height() * 0.06));
    left.lineTo(r.left(), r.top() + r.height() * 0.06);
    left.cubicTo(QPointF(r.left() + r.width() * 0.1, r.top()), QPointF(r.left() + r.width() * 0.35, r.top()),
                 spineTop);
    left.closeSubpath();
    QTransform mirror;
    mirror.translate(r.center().x() * 2, 0);
    mirror.scale(-1, 1);
    const QPainterPath right = mirror.map(left);
    p.setPen(QPen(QColor(0x17, 0x3d, 0x6b), r.width() * 0.04, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(left);
    p.setBrush(QColor(0xe9, 0xf2, 0xfc));
    p.drawPath(right);
    p.setPen(QPen(QColor(0x8f, 0xb2, 0xd8), r.width() * 0.03, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 4; ++line) {
        const qreal y = r.top() + r.height() * (0.28 + 0.15 * line);
        p.drawLine(QPointF(r.left() + r.width() * 0.1, y), QPointF(r.center().x() - r.width() * 0.08, y + 2));
        p.drawLine(QPointF(r.center().x() + r.width() * 0.08, y + 2), QPointF(r.right() - r.width() * 0.1, y));
    }
}

void DrawAppIcon(QPainter& p)
{
    QLinearGradient back(0, 0, 0, 100);
    back.setColorAt(0, kLightBlue);
    back.setColorAt(1, kBlue.darker(120));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(4, 4, 92, 92), 20, 20);
    DrawBook(p, QRectF(14, 18, 72, 56));
    DrawBadge(p, QPointF(74, 74), 18, kGreen);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(65, 74), QPointF(82, 74));
    p.drawLine(QPointF(75, 66), QPointF(83, 74));
    p.drawLine(QPointF(75, 82), QPointF(83, 74));
}

void DrawStacked(QPainter& p)
{
    DrawDocument(p, QRectF(34, 8, 42, 54), QColor(0xe4, 0xec, 0xf6));
    DrawDocument(p, QRectF(24, 18, 42, 54), QColor(0xf0, 0xf5, 0xfb));
    DrawDocument(p, QRectF(14, 28, 42, 54));
    DrawArrowRight(p, QRectF(52, 60, 30, 24), kGreen);
    p.setPen(QPen(kBlue.darker(120), 3));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(80, 56, 16, 32), 3, 3);
}

void DrawHotFolder(QPainter& p)
{
    DrawFolder(p, QRectF(8, 26, 74, 58));
    // The watching eye over the folder's front.
    QPainterPath eye;
    eye.moveTo(26, 58);
    eye.quadTo(45, 38, 64, 58);
    eye.quadTo(45, 78, 26, 58);
    p.setPen(QPen(kInk, 3));
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(45, 58), 7, 7);
    DrawBadge(p, QPointF(78, 26), 16, kRed.lighter(110));
    // A small flame in the badge: the folder is "hot".
    QPainterPath flame;
    flame.moveTo(78, 15);
    flame.cubicTo(86, 24, 86, 34, 78, 36);
    flame.cubicTo(70, 34, 70, 26, 75, 22);
    flame.cubicTo(75, 27, 78, 28, 78, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xe0, 0x70));
    p.drawPath(flame);
}

void DrawConsole(QPainter& p)
{
    p.setPen(QPen(kInk, 3));
    p.setBrush(QColor(0x23, 0x2b, 0x35));
    p.drawRoundedRect(QRectF(8, 16, 84, 66), 8, 8);
    p.setBrush(QColor(0x45, 0x53, 0x63));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(9.5, 17.5, 81, 12), 6, 6);
    p.setPen(QPen(QColor(0x7c, 0xe3, 0x8b), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(22, 42), QPointF(34, 52));
    p.drawLine(QPointF(34, 52), QPointF(22, 62));
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(42, 64), QPointF(62, 64));
}

void DrawRoundButton(QPainter& p, const QColor& colour)
{
    QRadialGradient glow(QPointF(40, 35), 60);
    glow.setColorAt(0, colour.lighter(140));
    glow.setColorAt(1, colour.darker(110));
    p.setPen(QPen(colour.darker(140), 3));
    p.setBrush(glow);
    p.drawEllipse(QRectF(6, 6, 88, 88));
}

void DrawStart(QPainter& p)
{
    DrawRoundButton(p, kGreen);
    QPainterPath play;
    play.moveTo(40, 28);
    play.lineTo(72, 50);
    play.lineTo(40, 72);
    play.closeSubpath();
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(play);
}

void DrawStop(QPainter& p)
{
    DrawRoundButton(p, kRed);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(33, 33, 34, 34), 4, 4);
}

void DrawMinimize(QPainter& p)
{
    DrawRoundButton(p, kBlue);
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(50, 26), QPointF(50, 60));
    p.drawLine(QPointF(36, 46), QPointF(50, 60));
    p.drawLine(QPointF(64, 46), QPointF(50, 60));
    p.drawLine(QPointF(30, 72), QPointF(70, 72));
}

void DrawLogo(QPainter& p)
{
    DrawFolder(p, QRectF(10, 24, 80, 62), QColor(0x4e, 0x9c, 0xe8));
    // Two circling arrows: files come in and go out on their own.
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(33, 40, 34, 34);
    p.drawArc(ring, 30 * 16, 150 * 16);
    p.drawArc(ring, 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPainterPath head1;
    head1.moveTo(67, 50);
    head1.lineTo(70, 38);
    head1.lineTo(58, 42);
    head1.closeSubpath();
    p.drawPath(head1);
    QPainterPath head2;
    head2.moveTo(33, 64);
    head2.lineTo(30, 76);
    head2.lineTo(42, 72);
    head2.closeSubpath();
    p.drawPath(head2);
}

void DrawTriangle(QPainter& p, bool pointsUp)
{
    QPainterPath triangle;
    if (pointsUp) {
        triangle.moveTo(50, 25);
        triangle.lineTo(80, 72);
        triangle.lineTo(20, 72);
    } else {
        triangle.moveTo(20, 28);
        triangle.lineTo(80, 28);
        triangle.lineTo(50, 75);
    }
    triangle.closeSubpath();
    p.setPen(QPen(QColor(0x55, 0x66, 0x77), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x8a, 0x9b, 0xad));
    p.drawPath(triangle);
}

} // namespace

QIcon AppIcon()
{
    return IconFrom(DrawAppIcon);
}

QPixmap BannerPicture(int width, int height)
{
    QPixmap pixmap(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(0x12, 0x3a, 0x6b));
    sky.setColorAt(0.55, QColor(0x1d, 0x5f, 0xa8));
    sky.setColorAt(1, QColor(0x2a, 0x8f, 0xc9));
    p.fillRect(pixmap.rect(), sky);

    // Soft page shapes drifting to the right behind the text.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor(255, 255, 255, 14 + 4 * i));
        p.save();
        p.translate(width * 0.48 + i * width * 0.08, height * 0.15);
        p.rotate(-12 + i * 5);
        p.drawRoundedRect(QRectF(0, 0, height * 0.55, height * 0.75), 4, 4);
        p.restore();
    }
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(0, height - 1, width, height - 1);

    const qreal iconSize = height * 0.72;
    const QRectF iconRect(height * 0.18, (height - iconSize) / 2, iconSize, iconSize);
    p.save();
    p.translate(iconRect.topLeft());
    p.scale(iconSize / 100.0, iconSize / 100.0);
    DrawAppIcon(p);
    p.restore();

    const qreal textLeft = iconRect.right() + height * 0.2;
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(qRound(height * 0.34));
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QPointF(textLeft, height * 0.52), QStringLiteral("Kelvra Converter"));

    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(qRound(height * 0.15));
    p.setFont(subtitle);
    p.setPen(QColor(0xcf, 0xe6, 0xfa));
    p.drawText(QPointF(textLeft + 2, height * 0.77), QStringLiteral("PDF  \u00b7  AZW3  \u00b7  MOBI  \u00b7  LIT  \u00b7  RTF  \u00b7  FB2  \u00b7  TXT   \u2192   EPUB"));
    return pixmap;
}

QPixmap BatchModePicture(int size)
{
    return Render(size, DrawStacked);
}

QPixmap HotDirModePicture(int size)
{
    return Render(size, DrawHotFolder);
}

QPixmap CommandLinePicture(int size)
{
    return Render(size, DrawConsole);
}

QIcon StartWatchIcon()
{
    return IconFrom(DrawStart);
}

QIcon StopWatchIcon()
{
    return IconFrom(DrawStop);
}

QIcon MinimizeToTrayIcon()
{
    return IconFrom(DrawMinimize);
}

QPixmap HotDirBackgroundPicture(int width, int height)
{
    QPixmap pixmap(qMax(width, 1), qMax(height, 1));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wash(0, 0, 0, height);
    wash.setColorAt(0, Qt::white);
    wash.setColorAt(1, QColor(0xe8, 0xf1, 0xfb));
    p.fillRect(pixmap.rect(), wash);
    // Faint folder outlines in the lower left corner, where no control lies.
    p.setOpacity(0.05);
    for (int i = 0; i < 3; ++i)
        DrawFolder(p, QRectF(20 + i * 60, height - 150 + i * 26, 150, 115), kBlue);
    return pixmap;
}

QPixmap HotDirLogoPicture(int size)
{
    return Render(size, DrawLogo);
}

QIcon AddFilesIcon()
{
    return IconFrom([](QPainter& p) {
        DrawDocument(p, QRectF(12, 6, 58, 78));
        DrawBadge(p, QPointF(70, 72), 22, kGreen);
        DrawPlus(p, QPointF(70, 72), 11);
    });
}

QIcon AddFolderIcon()
{
    return IconFrom([](QPainter& p) {
        DrawFolder(p, QRectF(4, 16, 76, 60));
        DrawBadge(p, QPointF(72, 72), 22, kGreen);
        DrawPlus(p, QPointF(72, 72), 11);
    });
}

QIcon RemoveIcon()
{
    return IconFrom([](QPainter& p) {
        DrawDocument(p, QRectF(12, 6, 58, 78));
        DrawBadge(p, QPointF(70, 72), 22, kRed);
        DrawMinus(p, QPointF(70, 72), 11);
    });
}

QIcon ClearIcon()
{
    return IconFrom([](QPainter& p) {
        DrawDocument(p, QRectF(26, 4, 50, 64), QColor(0xe4, 0xec, 0xf6));
        DrawDocument(p, QRectF(12, 16, 50, 64));
        DrawCross(p, QRectF(54, 58, 32, 32), kRed, 10);
    });
}

QIcon DropDownArrowIcon()
{
    return IconFrom([](QPainter& p) { DrawTriangle(p, false); });
}

QIcon BrowseIcon()
{
    return IconFrom([](QPainter& p) {
        DrawFolder(p, QRectF(6, 18, 70, 56));
        p.setPen(QPen(kInk, 8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(64, 60), 16, 16);
        p.drawLine(QPointF(76, 72), QPointF(92, 88));
    });
}

QIcon OpenFolderIcon()
{
    return IconFrom([](QPainter& p) {
        DrawFolder(p, QRectF(6, 18, 84, 66));
        DrawArrowRight(p, QRectF(30, 42, 44, 30), kBlue);
    });
}

QIcon ConvertIcon()
{
    return IconFrom([](QPainter& p) {
        DrawDocument(p, QRectF(4, 14, 40, 54));
        DrawArrowRight(p, QRectF(38, 30, 28, 24), kGreen);
        DrawBook(p, QRectF(62, 28, 36, 30));
    });
}

QIcon HelpIcon()
{
    return IconFrom([](QPainter& p) {
        p.setPen(QPen(kBlue.darker(130), 4));
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(8, 8, 84, 84));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(64);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(8, 6, 84, 84), Qt::AlignCenter, QStringLiteral("?"));
    });
}

QIcon ItemImage(int index)
{
    switch (index) {
    case 0:
        return IconFrom([](QPainter& p) { DrawDocument(p, QRectF(18, 6, 62, 86)); });
    case 1:
        return IconFrom([](QPainter& p) { DrawCross(p, QRectF(20, 20, 60, 60), kRed, 16); });
    case 2:
        return IconFrom([](QPainter& p) { DrawTick(p, QRectF(14, 22, 72, 58), kGreen, 16); });
    case 3:
        return IconFrom([](QPainter& p) { DrawTriangle(p, true); });
    case 4:
        return IconFrom([](QPainter& p) { DrawTriangle(p, false); });
    default:
        return {};
    }
}

} // namespace kelvra
