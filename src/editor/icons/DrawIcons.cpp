// Draws the editor's tool bar pictures into PNG files (16 and 32 pixels square), the ones the
// resource file bundles. Run it again after changing a picture:
//   cmake --build <build> --target editor_draw_icons && <build>/bin/editor_draw_icons src/editor/icons
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace {

const QColor kInk(0x20, 0x20, 0x20);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kBlue(0x2A, 0x5C, 0xAA);
const QColor kYellow(0xE8, 0xB9, 0x3A);

void page(QPainter &p, QRectF r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(kPaper);
    p.setPen(QPen(kInk, 0.8));
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() + 3));
    p.drawLine(QPointF(r.right() - 3, r.top() + 3), QPointF(r.right(), r.top() + 3));
}

void letter(QPainter &p, const QString &text, bool bold, bool italic, QRectF r = QRectF(0, 0, 16, 16))
{
    QFont font(u"DejaVu Serif"_s);
    font.setPixelSize(13);
    font.setBold(bold);
    font.setItalic(italic);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(r, Qt::AlignCenter, text);
}

void lines(QPainter &p, Qt::Alignment align)
{
    p.setPen(QPen(kInk, 1.2));
    const double widths[] = {12, 8, 12, 6, 12};
    for (int i = 0; i < 5; ++i) {
        const double y = 2.5 + i * 2.8;
        const double w = widths[i];
        double x = 2;
        if (align == Qt::AlignHCenter)
            x = 8 - w / 2;
        else if (align == Qt::AlignRight)
            x = 14 - w;
        p.drawLine(QPointF(x, y), QPointF(x + w, y));
    }
}

void indent(QPainter &p, bool more)
{
    p.setPen(QPen(kInk, 1.2));
    for (int i = 0; i < 5; ++i) {
        const double y = 2.5 + i * 2.8;
        const double x = (i == 0 || i == 4) ? 2 : 8;
        p.drawLine(QPointF(x, y), QPointF(14, y));
    }
    QPainterPath arrow;
    if (more) {
        arrow.moveTo(2, 5.5);
        arrow.lineTo(6, 8.3);
        arrow.lineTo(2, 11);
    } else {
        arrow.moveTo(6, 5.5);
        arrow.lineTo(2, 8.3);
        arrow.lineTo(6, 11);
    }
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPath(arrow);
}

// Undo: an arrow turning back to the left; redo is its mirror image.
void turn(QPainter &p, bool back)
{
    p.save();
    if (!back) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath shaft;
    shaft.moveTo(5, 6);
    shaft.lineTo(9.5, 6);
    shaft.cubicTo(QPointF(12.5, 6), QPointF(14.5, 8), QPointF(14.5, 10));
    shaft.cubicTo(QPointF(14.5, 12.2), QPointF(12.5, 14), QPointF(9.5, 14));
    shaft.lineTo(6, 14);
    p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shaft);
    QPainterPath head;
    head.moveTo(1, 6);
    head.lineTo(6, 1.5);
    head.lineTo(6, 10.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPath(head);
    p.restore();
}

void draw(QPainter &p, int image)
{
    switch (image) {
    case 1: // new letter
        page(p, QRectF(3, 1, 10, 14));
        break;
    case 2: { // open: a folder
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(kYellow);
        QPainterPath back;
        back.moveTo(1, 3);
        back.lineTo(6, 3);
        back.lineTo(7, 4.5);
        back.lineTo(14, 4.5);
        back.lineTo(14, 13);
        back.lineTo(1, 13);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(kYellow.lighter(120));
        QPolygonF front({QPointF(1, 13), QPointF(3.5, 7), QPointF(15.5, 7), QPointF(14, 13)});
        p.drawPolygon(front);
        break;
    }
    case 3: // save: a diskette
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
        p.setBrush(kPaper);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.setBrush(QColor(0xC8, 0xC8, 0xC8));
        p.drawRect(QRectF(4, 9.5, 8, 5));
        break;
    case 4: // preview: a page and a magnifying glass
        page(p, QRectF(1.5, 1, 9, 12));
        p.setPen(QPen(kInk, 1.6));
        p.drawLine(QPointF(11, 11), QPointF(15, 15));
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(0xD8, 0xE8, 0xF8));
        p.drawEllipse(QPointF(9, 9), 3.2, 3.2);
        break;
    case 5: // print: a printer
        page(p, QRectF(4, 1, 8, 6));
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(QColor(0xB0, 0xB0, 0xB0));
        p.drawRoundedRect(QRectF(1, 6, 14, 6), 1, 1);
        p.setBrush(kPaper);
        p.drawRect(QRectF(4, 10, 8, 5));
        p.setBrush(QColor(0x30, 0xB0, 0x30));
        p.drawEllipse(QPointF(12.5, 8), 0.8, 0.8);
        break;
    case 6: // cut: scissors
        p.setPen(QPen(kInk, 1.2));
        p.drawLine(QPointF(4, 1), QPointF(10.5, 11));
        p.drawLine(QPointF(12, 1), QPointF(5.5, 11));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(4.5, 12.5), 2.2, 2.2);
        p.drawEllipse(QPointF(11.5, 12.5), 2.2, 2.2);
        break;
    case 7: // bold ("Gras")
        letter(p, u"G"_s, true, false);
        break;
    case 8: // italic
        letter(p, u"I"_s, false, true);
        break;
    case 9: // underline ("Souligné")
        letter(p, u"S"_s, false, false, QRectF(0, -1, 16, 16));
        p.setPen(QPen(kInk, 1.2));
        p.drawLine(QPointF(4, 14.5), QPointF(12, 14.5));
        break;
    case 10: // strike-through
        letter(p, u"ab"_s, false, false);
        p.setPen(QPen(QColor(0xC0, 0x20, 0x20), 1.2));
        p.drawLine(QPointF(1.5, 9), QPointF(14.5, 9));
        break;
    case 11:
        lines(p, Qt::AlignLeft);
        break;
    case 12:
        lines(p, Qt::AlignHCenter);
        break;
    case 13:
        lines(p, Qt::AlignRight);
        break;
    case 14: // bulleted list
        for (int i = 0; i < 3; ++i) {
            const double y = 3 + i * 5;
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawEllipse(QPointF(3, y), 1.4, 1.4);
            p.setPen(QPen(kInk, 1.2));
            p.drawLine(QPointF(6, y), QPointF(14.5, y));
        }
        break;
    case 15:
        indent(p, false);
        break;
    case 16:
        indent(p, true);
        break;
    case 17: // font
        letter(p, u"A"_s, false, false, QRectF(-3, 0, 16, 16));
        {
            QFont small(u"DejaVu Serif"_s);
            small.setPixelSize(9);
            p.setFont(small);
            p.drawText(QRectF(8, 4, 8, 12), Qt::AlignCenter, u"a"_s);
        }
        break;
    case 18: // text colour
        letter(p, u"A"_s, true, false, QRectF(0, -2, 16, 16));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD0, 0x20, 0x20));
        p.drawRect(QRectF(2, 12.5, 12, 3));
        break;
    case 19: // picture: a landscape
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(QColor(0xD8, 0xEC, 0xFF));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(kYellow);
        p.drawEllipse(QPointF(11, 5.5), 1.6, 1.6);
        p.setBrush(QColor(0x3C, 0x90, 0x3C));
        p.drawPolygon(QPolygonF({QPointF(2, 13), QPointF(6, 7), QPointF(9, 11), QPointF(11, 9), QPointF(14, 13)}));
        break;
    case 20: // date: a calendar leaf
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 13, 12));
        p.setBrush(QColor(0xC0, 0x30, 0x30));
        p.drawRect(QRectF(1.5, 2.5, 13, 3));
        p.setPen(QPen(kInk, 1));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                p.drawPoint(QPointF(3.5 + col * 3, 7.5 + row * 2.5));
        break;
    case 21: // time: a clock
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.setPen(QPen(kInk, 1.3));
        p.drawLine(QPointF(8, 8), QPointF(8, 3.5));
        p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
        break;
    case 22: // close the editor: a door left open
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(QColor(0x9A, 0x6A, 0x3A));
        p.drawRect(QRectF(3, 1.5, 9, 13));
        p.setBrush(QColor(0x30, 0x30, 0x30));
        p.drawRect(QRectF(4.5, 3, 6, 10));
        p.setBrush(QColor(0xC8, 0x8A, 0x4A));
        p.drawPolygon(QPolygonF({QPointF(4.5, 3), QPointF(9, 1.5), QPointF(9, 15), QPointF(4.5, 13)}));
        break;
    case 23: // undo
        turn(p, true);
        break;
    case 24: // redo
        turn(p, false);
        break;
    default:
        break;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"."_s;
    for (const int size : {16, 32}) {
        for (int image = 1; image <= 24; ++image) {
            QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
            picture.fill(Qt::transparent);
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.scale(size / 16.0, size / 16.0);
            draw(painter, image);
            painter.end();
            picture.save(u"%1/ico%2_%3.png"_s.arg(folder).arg(size).arg(image, 2, 10, QLatin1Char('0')));
        }
    }
    return 0;
}
