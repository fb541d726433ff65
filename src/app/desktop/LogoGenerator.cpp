// Draws the program's logo: a teal tile with a "Z" made of three shelves and the name beside it,
// on white (a bitmap has no transparency). Run once; the result is kept as share/logo.bmp.
//     QT_QPA_PLATFORM=offscreen zodra_logo share/logo.bmp

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("zodra_logo DATOTEKA.bmp\n", stderr);
        return 2;
    }
    const int w = 420;
    const int h = 140;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The tile.
    const QRectF tile(14, 14, 112, 112);
    QLinearGradient g(tile.topLeft(), tile.bottomRight());
    g.setColorAt(0, QColor(0x1f, 0x8a, 0x8a));
    g.setColorAt(1, QColor(0x14, 0x4e, 0x6e));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(tile, 22, 22);

    // Three shelves forming a "Z": top and bottom bars joined by a diagonal.
    const QColor shelf(0xf4, 0xf1, 0xe6);
    p.setBrush(shelf);
    p.drawRoundedRect(QRectF(36, 36, 68, 14), 4, 4);
    p.drawRoundedRect(QRectF(36, 90, 68, 14), 4, 4);
    QPainterPath diagonal;
    diagonal.moveTo(86, 50);
    diagonal.lineTo(104, 50);
    diagonal.lineTo(54, 90);
    diagonal.lineTo(36, 90);
    diagonal.closeSubpath();
    p.drawPath(diagonal);
    // A small box on the top shelf: goods in stock.
    p.setBrush(QColor(0xf2, 0xa5, 0x3a));
    p.drawRoundedRect(QRectF(42, 22, 16, 14), 2, 2);

    // The name and what it is for.
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(58);
    name.setBold(true);
    p.setFont(name);
    p.setPen(QColor(0x1d, 0x33, 0x47));
    p.drawText(QRectF(146, 18, w - 150, 72), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Zodra"));
    QFont tagline(QStringLiteral("DejaVu Sans"));
    tagline.setPixelSize(17);
    p.setFont(tagline);
    p.setPen(QColor(0x5b, 0x6b, 0x78));
    p.drawText(QRectF(150, 88, w - 150, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf16(u"trgovina · usluge · obrt"));
    p.end();
    // The format follows the name's extension (".bmp" for the program, ".png" to look at it).
    return image.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
