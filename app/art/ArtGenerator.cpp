// Draws the summary window's pictures: the 576 x 110 header (JPEG), the 27
// row icons (16 x 16 PNG), the ten button faces of each edition (PNG) and the
// program's own icon in the sizes of the desktop's icon theme (PNG).
//
// One visual identity: a deep navy field with steel-blue controls, a teal
// accent and an amber signal colour. Run the `art` target to redraw them into
// app/art/; the results are committed, so building the program needs no
// generator run.
//
//   torvex-art <output folder>

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

// ------------------------------------------------------------------ palette
const QColor Navy(0x10, 0x2A, 0x45);
const QColor NavyDeep(0x09, 0x1B, 0x2E);
const QColor Ink(0x1B, 0x33, 0x50);        // icon outlines
const QColor Steel(0x3B, 0x6E, 0x9E);
const QColor SteelDark(0x22, 0x48, 0x6D);
const QColor SteelLight(0x8F, 0xB8, 0xDB);
const QColor Pale(0xD8, 0xE7, 0xF3);
const QColor Teal(0x2B, 0xB3, 0xB8);
const QColor TealLight(0x8F, 0xE0, 0xE0);
const QColor Amber(0xF5, 0xA6, 0x23);
const QColor AmberLight(0xFF, 0xD5, 0x80);
const QColor Metal(0x9C, 0xA4, 0xAC);
const QColor Grey(0x80, 0x80, 0x80);       // the header panel's own colour
const QColor White(0xFF, 0xFF, 0xFF);

QString g_family = QStringLiteral("DejaVu Sans");

QFont UiFont(int pixelSize, bool bold) {
    QFont f(g_family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

bool WriteJpeg(const QImage& source, const QString& path, int quality) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution colour: the wordmark's edges stay clean.
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
    return true;
}

// ------------------------------------------------------------------ logo
// A processor-like emblem: a rounded square with pins on every side and the
// letter T cut into it. Drawn at any size; used by the header.
void DrawEmblem(QPainter& p, const QRectF& box) {
    const double s = box.width();
    const QPointF o = box.topLeft();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // pins
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB8, 0xC4, 0xCE));
    const int pins = 5;
    const double pinW = s * 0.06, pinL = s * 0.12, start = s * 0.22, step = s * 0.14;
    for (int i = 0; i < pins; ++i) {
        const double t = start + i * step - pinW / 2;
        p.drawRoundedRect(QRectF(o.x() + t, o.y(), pinW, pinL + 2), 1, 1);
        p.drawRoundedRect(QRectF(o.x() + t, o.y() + s - pinL - 2, pinW, pinL + 2), 1, 1);
        p.drawRoundedRect(QRectF(o.x(), o.y() + t, pinL + 2, pinW), 1, 1);
        p.drawRoundedRect(QRectF(o.x() + s - pinL - 2, o.y() + t, pinL + 2, pinW), 1, 1);
    }
    // body
    const QRectF body(o.x() + pinL, o.y() + pinL, s - 2 * pinL, s - 2 * pinL);
    QLinearGradient g(body.topLeft(), body.bottomRight());
    g.setColorAt(0, QColor(0x3C, 0xD0, 0xD3));
    g.setColorAt(1, QColor(0x17, 0x7E, 0x9A));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x06, 0x14, 0x22), 1.5));
    p.drawRoundedRect(body, s * 0.08, s * 0.08);
    // inner die
    const QRectF die = body.adjusted(s * 0.09, s * 0.09, -s * 0.09, -s * 0.09);
    QLinearGradient dg(die.topLeft(), die.bottomLeft());
    dg.setColorAt(0, QColor(0x17, 0x36, 0x57));
    dg.setColorAt(1, QColor(0x0B, 0x1D, 0x31));
    p.setBrush(dg);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.drawRoundedRect(die, s * 0.05, s * 0.05);
    // the T
    const double cx = die.center().x();
    const double barW = die.width() * 0.62, barH = die.height() * 0.16;
    const double stemW = die.width() * 0.18;
    QPainterPath t;
    t.addRect(QRectF(cx - barW / 2, die.top() + die.height() * 0.2, barW, barH));
    t.addRect(QRectF(cx - stemW / 2, die.top() + die.height() * 0.2, stemW, die.height() * 0.6));
    p.setPen(Qt::NoPen);
    p.setBrush(White);
    p.drawPath(t.simplified());
    // signal dot
    p.setBrush(Amber);
    const double d = die.width() * 0.13;
    p.drawEllipse(QRectF(die.right() - d * 1.7, die.bottom() - d * 1.7, d, d));
    p.restore();
}

// ------------------------------------------------------------------ header
QImage DrawHeader() {
    QImage img(576, 110, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // dark field
    QLinearGradient field(0, 0, 0, 110);
    field.setColorAt(0, QColor(0x1A, 0x3A, 0x5E));
    field.setColorAt(0.55, Navy);
    field.setColorAt(1, NavyDeep);
    p.fillRect(0, 0, 576, 110, field);
    // a soft light behind the emblem
    QRadialGradient glow(QPointF(48, 48), 70);
    glow.setColorAt(0, QColor(0x2B, 0xB3, 0xB8, 70));
    glow.setColorAt(1, QColor(0x2B, 0xB3, 0xB8, 0));
    p.fillRect(0, 0, 200, 110, glow);
    // faint circuit traces in the free band above the toggles
    p.setPen(QPen(QColor(0x5F, 0xA8, 0xD0, 40), 1));
    p.setBrush(Qt::NoBrush);
    const int traces[][6] = {{250, 12, 330, 12, 345, 27}, {265, 20, 320, 20, 350, 50},
                             {300, 40, 390, 40, 405, 25}, {360, 10, 430, 10, 445, 25},
                             {380, 48, 440, 48, 452, 36}};
    for (const auto& tr : traces) {
        QPainterPath path(QPointF(tr[0] + 0.5, tr[1] + 0.5));
        path.lineTo(tr[2] + 0.5, tr[3] + 0.5);
        path.lineTo(tr[4] + 0.5, tr[5] + 0.5);
        p.drawPath(path);
        p.setBrush(QColor(0x5F, 0xA8, 0xD0, 70));
        p.drawEllipse(QPointF(tr[4] + 0.5, tr[5] + 0.5), 2, 2);
        p.drawEllipse(QPointF(tr[0] + 0.5, tr[1] + 0.5), 1.5, 1.5);
        p.setBrush(Qt::NoBrush);
    }
    // the metal plate that carries Afslut and Udskriv, running into the
    // panel's grey at the right edge
    const int plate = 462;
    QLinearGradient metal(plate, 0, 576, 0);
    metal.setColorAt(0, QColor(0x6E, 0x78, 0x82));
    metal.setColorAt(0.25, QColor(0x8C, 0x93, 0x9A));
    metal.setColorAt(1, Grey);
    p.fillRect(plate, 0, 576 - plate, 110, metal);
    for (int y = 1; y < 110; y += 2) {   // brushed grain
        p.setPen(QColor(255, 255, 255, (y % 4 == 1) ? 10 : 5));
        p.drawLine(plate, y, 575, y);
    }
    p.setPen(QColor(0x06, 0x12, 0x1F));
    p.drawLine(plate - 1, 0, plate - 1, 109);
    p.setPen(QColor(255, 255, 255, 60));
    p.drawLine(plate, 0, plate, 109);
    // screws on the plate
    for (const QPointF at : {QPointF(plate + 7, 9), QPointF(plate + 7, 100)}) {
        QRadialGradient screw(at - QPointF(1, 1), 4);
        screw.setColorAt(0, QColor(0xE5, 0xE8, 0xEB));
        screw.setColorAt(1, QColor(0x5A, 0x62, 0x6A));
        p.setPen(Qt::NoPen);
        p.setBrush(screw);
        p.drawEllipse(at, 3, 3);
        p.setPen(QPen(QColor(0x40, 0x46, 0x4C), 1));
        p.drawLine(at + QPointF(-2, 0), at + QPointF(2, 0));
    }
    // accent rule under the toggles
    QLinearGradient rule(105, 0, plate - 8, 0);
    rule.setColorAt(0, QColor(0x2B, 0xB3, 0xB8, 220));
    rule.setColorAt(1, QColor(0x2B, 0xB3, 0xB8, 0));
    p.fillRect(QRectF(105, 94, plate - 113, 2), rule);
    // emblem over the hot spot
    DrawEmblem(p, QRectF(12, 12, 73, 73));
    // wordmark
    p.setPen(QColor(0, 0, 0, 110));
    // The wordmark has a display face of its own; the interface face is
    // too light at this size.
    QFont mark(QStringLiteral("URW Gothic"));
    mark.setPixelSize(38);
    mark.setWeight(QFont::DemiBold);
    mark.setHintingPreference(QFont::PreferNoHinting);
    mark.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(mark);
    p.drawText(QPointF(106, 44), QStringLiteral("Torvex"));
    p.setPen(White);
    p.drawText(QPointF(105, 43), QStringLiteral("Torvex"));
    const double markWidth = QFontMetricsF(mark).horizontalAdvance(QStringLiteral("Torvex"));
    // tag line beside the wordmark
    QFont tag(QStringLiteral("DejaVu Sans"));
    tag.setPixelSize(10);
    tag.setBold(true);
    tag.setLetterSpacing(QFont::AbsoluteSpacing, 2.4);
    tag.setCapitalization(QFont::AllUppercase);
    p.setFont(tag);
    p.setPen(TealLight);
    p.drawText(QPointF(105 + markWidth + 12, 42), QStringLiteral("System Overview"));
    p.setPen(QColor(0x2B, 0xB3, 0xB8, 160));
    p.drawLine(QPointF(105 + markWidth + 12, 28.5), QPointF(105 + markWidth + 40, 28.5));
    p.end();
    return img;
}

// ------------------------------------------------------------------ buttons
struct Face {
    QString caption;
    int width;
    bool toggle;   // carries a signal light
};

QImage DrawButton(const Face& face, bool down) {
    QImage img(face.width, 26, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(0.5, 0.5, face.width - 1, 25);
    // body
    QLinearGradient body(0, 0, 0, 26);
    if (!down) {
        body.setColorAt(0, QColor(0x4F, 0x86, 0xB8));
        body.setColorAt(0.5, Steel);
        body.setColorAt(0.51, QColor(0x31, 0x61, 0x8F));
        body.setColorAt(1, SteelDark);
    } else {
        body.setColorAt(0, QColor(0x14, 0x30, 0x4C));
        body.setColorAt(1, QColor(0x24, 0x4E, 0x76));
    }
    p.setPen(QPen(QColor(0x05, 0x11, 0x1D), 1));
    p.setBrush(body);
    p.drawRoundedRect(outer, 4, 4);
    // bevel: light above when up, shadow above when down
    p.setBrush(Qt::NoBrush);
    if (!down) {
        p.setPen(QPen(QColor(255, 255, 255, 90), 1));
        p.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 3, 3);
    } else {
        p.setPen(QPen(QColor(0, 0, 0, 120), 1));
        p.drawLine(QPointF(3, 1.5), QPointF(face.width - 3, 1.5));
        p.setPen(QPen(QColor(0x2B, 0xB3, 0xB8, 150), 1));
        p.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 3, 3);
    }
    const int shift = down ? 1 : 0;
    QRectF textBox(0, shift, face.width, 26);
    if (face.toggle) {
        // signal light: dark when released, amber when pressed
        const QPointF c(12.5, 13 + shift);
        if (down) {
            QRadialGradient halo(c, 7);
            halo.setColorAt(0, QColor(0xFF, 0xB5, 0x47, 150));
            halo.setColorAt(1, QColor(0xFF, 0xB5, 0x47, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(halo);
            p.drawEllipse(c, 7, 7);
            QRadialGradient lamp(c - QPointF(1, 1), 4);
            lamp.setColorAt(0, QColor(0xFF, 0xF1, 0xC8));
            lamp.setColorAt(1, Amber);
            p.setBrush(lamp);
        } else {
            QRadialGradient lamp(c - QPointF(1, 1), 4);
            lamp.setColorAt(0, QColor(0x4A, 0x5E, 0x72));
            lamp.setColorAt(1, QColor(0x14, 0x22, 0x31));
            p.setBrush(lamp);
        }
        p.setPen(QPen(QColor(0x05, 0x11, 0x1D), 1));
        p.drawEllipse(c, 3.5, 3.5);
        textBox = QRectF(20, shift, face.width - 24, 26);
    }
    // caption: crisp, with a one-pixel shadow for contrast
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(UiFont(11, true));
    p.setPen(QColor(0, 0, 0, 140));
    p.drawText(textBox.translated(0, 1), Qt::AlignCenter, face.caption);
    p.setPen(down ? AmberLight : White);
    p.drawText(textBox, Qt::AlignCenter, face.caption);
    p.end();
    return img;
}

// ------------------------------------------------------------------ program icon
// Drawn on a 256-unit square and scaled, so every size of the desktop's icon
// theme comes from one drawing: a navy tile with a steel tower PC seen through
// an amber-rimmed lens, the program's "look inside" in one picture.
QImage DrawProgramIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    QLinearGradient field(0, 8, 0, 248);
    field.setColorAt(0, Navy);
    field.setColorAt(1, NavyDeep);
    p.fillPath(tile, field);
    p.setPen(QPen(SteelDark, 4));
    p.drawPath(tile);

    // The tower.
    const QRectF tower(56, 40, 104, 176);
    QLinearGradient body(tower.left(), 0, tower.right(), 0);
    body.setColorAt(0, SteelLight);
    body.setColorAt(1, Steel);
    p.setPen(QPen(Ink, 6));
    p.setBrush(body);
    p.drawRoundedRect(tower, 10, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(Pale);
    p.drawRoundedRect(QRectF(72, 60, 72, 18), 4, 4);
    p.setBrush(Ink);
    p.drawRect(QRectF(72, 92, 72, 8));
    p.drawRect(QRectF(72, 110, 72, 8));
    p.setBrush(Teal);
    p.drawEllipse(QPointF(132, 186), 8, 8);

    // The lens over its lower right corner.
    const QPointF centre(164, 150);
    QRadialGradient glass(centre, 54);
    glass.setColorAt(0, QColor(0xEE, 0xF7, 0xFA, 235));
    glass.setColorAt(1, QColor(0x8F, 0xE0, 0xE0, 200));
    p.setBrush(glass);
    p.setPen(QPen(Amber, 14));
    p.drawEllipse(centre, 48, 48);
    p.setPen(QPen(Amber, 22, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(200, 186), QPointF(226, 212));
    // What the lens shows: a chip with its pins.
    p.setPen(QPen(Ink, 5));
    p.setBrush(SteelDark);
    p.drawRect(QRectF(146, 132, 36, 36));
    for (int i = 0; i < 3; ++i) {
        const double o = 140 + i * 10;
        p.drawLine(QPointF(o, 124), QPointF(o, 132));
        p.drawLine(QPointF(o, 168), QPointF(o, 176));
        p.drawLine(QPointF(138, o), QPointF(146, o));
        p.drawLine(QPointF(182, o), QPointF(190, o));
    }
    p.end();
    return img;
}

// ------------------------------------------------------------------ icons
// Each icon is drawn on a 16 x 16 grid with half-pixel strokes so its lines
// fall on whole pixels.
using IconPainter = std::function<void(QPainter&)>;

QPen Line(const QColor& c = Ink, double w = 1) {
    QPen pen(c, w);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

QLinearGradient Vertical(double y0, double y1, const QColor& a, const QColor& b) {
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

void Box(QPainter& p, const QRectF& r, const QBrush& fill, const QColor& pen = Ink) {
    p.setPen(Line(pen));
    p.setBrush(fill);
    p.drawRect(r);
}

void Dot(QPainter& p, double x, double y, const QColor& c) {
    p.fillRect(QRectF(x, y, 1, 1), c);
}

void IconTower(QPainter& p) {   // 0 main system
    Box(p, QRectF(4.5, 0.5, 8, 15), Vertical(0, 16, Pale, SteelLight));
    p.fillRect(QRectF(6, 2, 5, 2), Steel);
    p.fillRect(QRectF(6, 5, 5, 1), Ink);
    p.fillRect(QRectF(6, 7, 5, 1), Ink);
    Dot(p, 10, 12, Teal);
    Dot(p, 9, 12, Teal);
    p.setPen(Line(Metal));
    p.drawLine(QPointF(6.5, 13.5), QPointF(7.5, 13.5));
}

void IconMonitor(QPainter& p) {   // 1 display
    Box(p, QRectF(0.5, 1.5, 15, 10), QColor(0x2D, 0x3E, 0x52));
    p.fillRect(QRectF(2, 3, 12, 7), Vertical(3, 10, TealLight, Teal));
    p.fillRect(QRectF(3, 4, 4, 1), QColor(255, 255, 255, 150));
    p.fillRect(QRectF(6, 12, 4, 2), Metal);
    p.setPen(Line());
    p.setBrush(SteelLight);
    p.drawRect(QRectF(3.5, 13.5, 9, 2));
}

void IconGraphicsCard(QPainter& p) {   // 2
    Box(p, QRectF(0.5, 3.5, 14, 8), Vertical(3, 12, Teal, QColor(0x17, 0x7E, 0x9A)));
    p.setPen(Line(Ink));
    p.setBrush(QColor(0x2D, 0x3E, 0x52));
    p.setRenderHint(QPainter::Antialiasing);
    p.drawEllipse(QPointF(9, 7.5), 3, 3);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int x = 2; x < 13; x += 2) p.fillRect(QRectF(x, 12, 1, 2), Amber);
    p.fillRect(QRectF(2, 5, 3, 2), Pale);
}

void IconSlot(QPainter& p) {   // 3 expansion slot
    p.fillRect(QRectF(0, 2, 2, 12), Metal);
    Box(p, QRectF(2.5, 2.5, 12, 8), Vertical(2, 11, Teal, QColor(0x17, 0x7E, 0x9A)));
    p.fillRect(QRectF(5, 4, 4, 3), Ink);
    p.fillRect(QRectF(10, 4, 3, 2), Pale);
    for (int x = 4; x < 14; x += 2) p.fillRect(QRectF(x, 11, 1, 3), Amber);
    p.fillRect(QRectF(3, 14, 12, 1), QColor(0x2D, 0x3E, 0x52));
}

void IconSound(QPainter& p) {   // 4 sound card
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath cone;
    cone.moveTo(1.5, 5.5);
    cone.lineTo(4.5, 5.5);
    cone.lineTo(8.5, 1.5);
    cone.lineTo(8.5, 14.5);
    cone.lineTo(4.5, 10.5);
    cone.lineTo(1.5, 10.5);
    cone.closeSubpath();
    p.setPen(Line());
    p.setBrush(Vertical(1, 15, SteelLight, Steel));
    p.drawPath(cone);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Teal, 1.3));
    p.drawArc(QRectF(7, 5, 5, 6), -60 * 16, 120 * 16);
    p.drawArc(QRectF(6, 2.5, 9, 11), -60 * 16, 120 * 16);
}

void IconJoystick(QPainter& p) {   // 5 game port
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Line());
    p.setBrush(Vertical(10, 15, SteelLight, Steel));
    p.drawRoundedRect(QRectF(1.5, 10.5, 13, 4), 2, 2);
    p.setPen(QPen(Ink, 2));
    p.drawLine(QPointF(8, 11), QPointF(8, 5));
    p.setPen(Line());
    QRadialGradient ball(QPointF(7, 3), 4);
    ball.setColorAt(0, AmberLight);
    ball.setColorAt(1, QColor(0xD9, 0x7A, 0x0B));
    p.setBrush(ball);
    p.drawEllipse(QPointF(8, 4), 3, 3);
    p.setBrush(Teal);
    p.drawEllipse(QPointF(3.5, 9.5), 1.5, 1.5);
}

void IconNote(QPainter& p) {   // 6 multimedia
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Line());
    p.setBrush(Teal);
    p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2);
    p.drawEllipse(QPointF(11.5, 10.5), 2.5, 2);
    p.setPen(QPen(Ink, 1.2));
    p.drawLine(QPointF(6.7, 12.3), QPointF(6.7, 3));
    p.drawLine(QPointF(13.7, 10.3), QPointF(13.7, 1));
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    QPainterPath beam;
    beam.moveTo(6.1, 2.5);
    beam.lineTo(14.3, 0.5);
    beam.lineTo(14.3, 3);
    beam.lineTo(6.1, 5);
    p.drawPath(beam);
}

void IconPrinter(QPainter& p) {   // 7 printer
    Box(p, QRectF(4.5, 0.5, 7, 5), White);
    p.fillRect(QRectF(6, 2, 4, 1), SteelLight);
    Box(p, QRectF(0.5, 5.5, 15, 6), Vertical(5, 12, Pale, SteelLight));
    Dot(p, 13, 7, Teal);
    Dot(p, 11, 7, Amber);
    Box(p, QRectF(3.5, 9.5, 9, 6), White);
    p.fillRect(QRectF(5, 11, 6, 1), Steel);
    p.fillRect(QRectF(5, 13, 4, 1), Steel);
}

void IconMemory(QPainter& p) {   // 8 memory
    Box(p, QRectF(0.5, 4.5, 15, 7), Vertical(4, 12, Teal, QColor(0x17, 0x7E, 0x9A)));
    for (int x = 2; x < 14; x += 3) p.fillRect(QRectF(x, 6, 2, 3), Ink);
    for (int x = 2; x < 15; x += 2) p.fillRect(QRectF(x, 12, 1, 2), Amber);
    p.fillRect(QRectF(7, 12, 1, 2), Qt::transparent);
}

void IconProcessor(QPainter& p) {   // 9 processor
    for (int i = 0; i < 4; ++i) {
        const int t = 4 + i * 2 + 1;
        p.fillRect(QRectF(t, 0, 1, 3), Metal);
        p.fillRect(QRectF(t, 13, 1, 3), Metal);
        p.fillRect(QRectF(0, t, 3, 1), Metal);
        p.fillRect(QRectF(13, t, 3, 1), Metal);
    }
    Box(p, QRectF(2.5, 2.5, 10, 10), Vertical(2, 13, QColor(0x2D, 0x4A, 0x6A), Navy));
    p.fillRect(QRectF(5, 5, 6, 6), Vertical(5, 11, TealLight, Teal));
    Dot(p, 4, 4, Amber);
}

void IconRom(QPainter& p) {   // 10 firmware
    for (int x = 3; x < 14; x += 2) {
        p.fillRect(QRectF(x, 1, 1, 3), Metal);
        p.fillRect(QRectF(x, 12, 1, 3), Metal);
    }
    Box(p, QRectF(1.5, 3.5, 13, 8), Vertical(3, 12, QColor(0x2D, 0x4A, 0x6A), Navy));
    p.fillRect(QRectF(4, 6, 8, 3), Pale);
    p.fillRect(QRectF(5, 7, 2, 1), Steel);
    p.fillRect(QRectF(8, 7, 3, 1), Steel);
    Dot(p, 2, 5, Amber);
}

void IconVoltage(QPainter& p) {   // 11 voltage
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bolt;
    bolt.moveTo(9.5, 0.5);
    bolt.lineTo(2.5, 9);
    bolt.lineTo(7, 9);
    bolt.lineTo(5.5, 15.5);
    bolt.lineTo(13.5, 6);
    bolt.lineTo(8.5, 6);
    bolt.closeSubpath();
    p.setPen(Line(QColor(0x7A, 0x45, 0x00)));
    p.setBrush(Vertical(0, 16, AmberLight, Amber));
    p.drawPath(bolt);
}

void IconInfo(QPainter& p) {   // 12 general fact
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Line(QColor(0x13, 0x6E, 0x80)));
    QRadialGradient ball(QPointF(6, 5), 10);
    ball.setColorAt(0, TealLight);
    ball.setColorAt(1, Teal);
    p.setBrush(ball);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(7, 3, 2, 2), White);
    p.fillRect(QRectF(7, 6, 2, 6), White);
    p.fillRect(QRectF(6, 6, 1, 1), White);
    p.fillRect(QRectF(6, 11, 4, 1), White);
}

void IconFrequency(QPainter& p) {   // 13 frequency
    Box(p, QRectF(0.5, 1.5, 15, 13), QColor(0x13, 0x2A, 0x40));
    p.setPen(QPen(QColor(0x2B, 0xB3, 0xB8, 70), 1));
    p.drawLine(QPointF(1.5, 8.5), QPointF(14.5, 8.5));
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath wave;
    for (int i = 0; i <= 26; ++i) {
        const double x = 2 + i * 0.46;
        const double y = 8 - 4 * std::sin(i * 3.14159 / 6.5);
        if (i == 0) wave.moveTo(x, y); else wave.lineTo(x, y);
    }
    p.setPen(QPen(TealLight, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

void IconSocket(QPainter& p) {   // 14 socket
    Box(p, QRectF(0.5, 1.5, 12, 12), Vertical(1, 14, Pale, SteelLight));
    for (int y = 3; y < 13; y += 2)
        for (int x = 2; x < 12; x += 2) p.fillRect(QRectF(x, y, 1, 1), Ink);
    p.fillRect(QRectF(5, 6, 3, 3), Pale);
    p.fillRect(QRectF(14, 1, 1, 13), Metal);
    p.fillRect(QRectF(13, 1, 3, 2), Amber);
}

void IconWindows(QPainter& p) {   // 15 Windows
    Box(p, QRectF(0.5, 1.5, 15, 13), White);
    p.fillRect(QRectF(1, 2, 15, 3), Vertical(2, 5, Steel, SteelDark));
    Dot(p, 13, 3, White);
    Dot(p, 11, 3, Pale);
    p.fillRect(QRectF(2, 6, 4, 7), Pale);
    p.fillRect(QRectF(7, 6, 7, 1), SteelLight);
    p.fillRect(QRectF(7, 8, 6, 1), SteelLight);
    p.fillRect(QRectF(7, 10, 7, 1), SteelLight);
    p.fillRect(QRectF(7, 12, 4, 1), Teal);
}

void IconUser(QPainter& p) {   // 16
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Line());
    p.setBrush(Vertical(8, 16, SteelLight, Steel));
    p.drawRoundedRect(QRectF(1.5, 9.5, 13, 7), 5, 5);
    p.setBrush(Vertical(1, 9, Pale, SteelLight));
    p.drawEllipse(QRectF(4.5, 1.5, 7, 7));
}

void IconNetworkCard(QPainter& p) {   // 17 network card
    p.fillRect(QRectF(0, 3, 2, 10), Metal);
    Box(p, QRectF(2.5, 3.5, 12, 7), Vertical(3, 11, Teal, QColor(0x17, 0x7E, 0x9A)));
    Box(p, QRectF(3.5, 5.5, 4, 4), QColor(0xE3, 0xE7, 0xEB));
    p.fillRect(QRectF(5, 8, 2, 1), Ink);
    Dot(p, 9, 5, Amber);
    Dot(p, 11, 5, TealLight);
    for (int x = 5; x < 14; x += 2) p.fillRect(QRectF(x, 11, 1, 2), Amber);
    p.setPen(Line(Steel));
    p.drawLine(QPointF(5.5, 13.5), QPointF(5.5, 15.5));
}

void IconFloppy(QPainter& p) {   // 18 floppy
    Box(p, QRectF(0.5, 0.5, 15, 15), Vertical(0, 16, Steel, SteelDark), Ink);
    p.fillRect(QRectF(4, 1, 8, 5), QColor(0xC7, 0xCD, 0xD3));
    p.fillRect(QRectF(9, 2, 2, 3), QColor(0x4A, 0x55, 0x60));
    p.fillRect(QRectF(3, 8, 10, 7), White);
    p.fillRect(QRectF(4, 10, 8, 1), SteelLight);
    p.fillRect(QRectF(4, 12, 6, 1), SteelLight);
    Dot(p, 1, 14, Ink);
}

void IconHardDisk(QPainter& p) {   // 19 hard disk
    Box(p, QRectF(0.5, 3.5, 15, 9), Vertical(3, 13, Pale, Metal));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Line(Steel));
    p.setBrush(QColor(0xEE, 0xF2, 0xF6));
    p.drawEllipse(QPointF(6, 8), 3.5, 3.5);
    p.setBrush(Steel);
    p.drawEllipse(QPointF(6, 8), 1, 1);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(11, 10, 3, 1), Teal);
    p.fillRect(QRectF(11, 5, 3, 1), Ink);
    p.fillRect(QRectF(1, 13, 15, 1), QColor(0x5A, 0x62, 0x6A));
}

void IconCdRom(QPainter& p) {   // 20 CD-ROM
    p.setRenderHint(QPainter::Antialiasing);
    QConicalGradient sheen(QPointF(8, 8), 30);
    sheen.setColorAt(0, QColor(0xE8, 0xF4, 0xFA));
    sheen.setColorAt(0.2, TealLight);
    sheen.setColorAt(0.45, QColor(0xE8, 0xF4, 0xFA));
    sheen.setColorAt(0.7, AmberLight);
    sheen.setColorAt(1, QColor(0xE8, 0xF4, 0xFA));
    p.setPen(Line(QColor(0x5A, 0x6E, 0x82)));
    p.setBrush(sheen);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setBrush(White);
    p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5A, 0x6E, 0x82));
    p.drawEllipse(QPointF(8, 8), 1, 1);
}

void IconTape(QPainter& p) {   // 21 tape
    Box(p, QRectF(0.5, 2.5, 15, 11), Vertical(2, 14, QColor(0x2D, 0x4A, 0x6A), Navy));
    p.fillRect(QRectF(3, 4, 10, 5), Pale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Line(Ink));
    p.setBrush(White);
    p.drawEllipse(QPointF(5.5, 6.5), 1.5, 1.5);
    p.drawEllipse(QPointF(10.5, 6.5), 1.5, 1.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(4, 11, 8, 2), Metal);
    Dot(p, 2, 12, Amber);
}

void IconKeyboard(QPainter& p) {   // 22 keyboard
    Box(p, QRectF(0.5, 4.5, 15, 8), Vertical(4, 13, Pale, SteelLight));
    for (int x = 2; x < 14; x += 2) p.fillRect(QRectF(x, 6, 1, 1), Ink);
    for (int x = 3; x < 14; x += 2) p.fillRect(QRectF(x, 8, 1, 1), Ink);
    p.fillRect(QRectF(2, 10, 2, 1), Ink);
    p.fillRect(QRectF(5, 10, 6, 1), Ink);
    p.fillRect(QRectF(12, 10, 2, 1), Ink);
    p.setPen(Line(Steel));
    p.drawLine(QPointF(8.5, 1.5), QPointF(8.5, 3.5));
}

void IconMouse(QPainter& p) {   // 23 mouse
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Line(Steel));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable(QPointF(8, 4));
    cable.cubicTo(8, 1, 12, 2, 13, 0);
    p.drawPath(cable);
    p.setPen(Line());
    p.setBrush(Vertical(4, 16, Pale, SteelLight));
    p.drawRoundedRect(QRectF(3.5, 3.5, 9, 12), 4.5, 4.5);
    p.drawLine(QPointF(3.5, 8.5), QPointF(12.5, 8.5));
    p.drawLine(QPointF(8, 3.5), QPointF(8, 8.5));
    p.setPen(Qt::NoPen);
    p.setBrush(Teal);
    p.drawRect(QRectF(4.5, 5, 3, 3));
}

void IconModem(QPainter& p) {   // 24 modem
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Line());
    p.setBrush(Vertical(5, 14, Pale, SteelLight));
    QPainterPath body;
    body.moveTo(1.5, 13.5);
    body.lineTo(2.5, 6.5);
    body.lineTo(13.5, 6.5);
    body.lineTo(14.5, 13.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor leds[] = {Teal, Teal, Amber, Teal, QColor(0x9A, 0xA7, 0xB3)};
    for (int i = 0; i < 5; ++i) p.fillRect(QRectF(4 + i * 2, 10, 1, 1), leds[i]);
    p.fillRect(QRectF(2, 14, 13, 1), QColor(0x5A, 0x62, 0x6A));
    p.setPen(Line(Ink));
    p.drawLine(QPointF(12.5, 6.5), QPointF(12.5, 1.5));
    p.fillRect(QRectF(12, 1, 2, 1), Amber);
}

void IconGlobe(QPainter& p) {   // 25
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sea(QPointF(6, 5), 11);
    sea.setColorAt(0, TealLight);
    sea.setColorAt(1, Steel);
    p.setPen(Line());
    p.setBrush(sea);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.drawEllipse(QRectF(4.5, 1, 7, 14));
    p.drawLine(QPointF(8, 1), QPointF(8, 15));
    p.drawLine(QPointF(1, 8), QPointF(15, 8));
    p.drawLine(QPointF(2.5, 4.5), QPointF(13.5, 4.5));
    p.drawLine(QPointF(2.5, 11.5), QPointF(13.5, 11.5));
}

void IconNetworkDrive(QPainter& p) {   // 26 network drive
    Box(p, QRectF(0.5, 1.5, 15, 8), Vertical(1, 10, Pale, Metal));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Line(Steel));
    p.setBrush(QColor(0xEE, 0xF2, 0xF6));
    p.drawEllipse(QPointF(5.5, 5.5), 2.5, 2.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(11, 7, 3, 1), Teal);
    p.fillRect(QRectF(7, 10, 2, 3), Ink);
    p.fillRect(QRectF(1, 13, 14, 1), Teal);
    Box(p, QRectF(5.5, 12.5, 5, 3), Amber, QColor(0x7A, 0x45, 0x00));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: torvex-art <output folder>\n");
        return 2;
    }
    const QString wine = QStringLiteral("/usr/share/wine/fonts/");
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma"))) {
        g_family = QStringLiteral("Tahoma");
    } else if (QFontDatabase::addApplicationFont(wine + "tahoma.ttf") >= 0 &&
               QFontDatabase::addApplicationFont(wine + "tahomabd.ttf") >= 0) {
        g_family = QStringLiteral("Tahoma");
    }
    std::fprintf(stderr, "torvex-art: captions in %s\n", qPrintable(g_family));

    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = out.mkpath("icons");
    ok = WriteJpeg(DrawHeader(), out.filePath("header.jpg"), 92) && ok;

    const std::vector<IconPainter> icons = {
        IconTower,       IconMonitor,   IconGraphicsCard, IconSlot,      IconSound,
        IconJoystick,    IconNote,      IconPrinter,      IconMemory,    IconProcessor,
        IconRom,         IconVoltage,   IconInfo,         IconFrequency, IconSocket,
        IconWindows,     IconUser,      IconNetworkCard,  IconFloppy,    IconHardDisk,
        IconCdRom,       IconTape,      IconKeyboard,     IconMouse,     IconModem,
        IconGlobe,       IconNetworkDrive};
    for (std::size_t i = 0; i < icons.size(); ++i) {
        QImage icon(16, 16, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        icons[i](p);
        p.end();
        ok = icon.save(out.filePath(QStringLiteral("icons/%1.png").arg(i, 2, 10, QLatin1Char('0')))) && ok;
    }

    out.mkpath("app");
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        ok = DrawProgramIcon(size).save(out.filePath(QStringLiteral("app/torvex-%1.png").arg(size))) && ok;
    }

    struct Edition {
        const char* folder;
        const char* captions[5];   // Programmer, Partitioner, Detaljer, Udskriv, Afslut
    };
    const Edition editions[] = {
        {"da", {"Programmer", "Partitioner", "Detaljer", "Udskriv", "Afslut"}},
        {"no", {"Programmer", "Partisjoner", "Detaljer", "Skriv ut", "Avslutt"}},
        {"sv", {"Program", "Partitioner", "Detaljer", "Skriv ut", "Avsluta"}},
        {"fi", {"Ohjelmat", "Osiot", "Lisätiedot", "Tulosta", "Lopeta"}},
    };
    const char* names[5] = {"Programmer", "Partitioner", "Detaljer", "Udskriv", "Afslut"};
    for (const Edition& e : editions) {
        out.mkpath(QStringLiteral("buttons/%1").arg(e.folder));
        for (int b = 0; b < 5; ++b) {
            const Face face{QString::fromUtf8(e.captions[b]), b < 3 ? 112 : 91, b < 3};
            for (bool down : {false, true}) {
                const QString file = QStringLiteral("buttons/%1/%2%3.png")
                                         .arg(e.folder, names[b], down ? "Nede" : "");
                ok = DrawButton(face, down).save(out.filePath(file)) && ok;
            }
        }
    }
    if (!ok) {
        std::fprintf(stderr, "torvex-art: could not write every picture to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
