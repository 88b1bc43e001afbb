// Draws the program's own images into framework/widgets/images (PNG): the ten
// toolbar icons, the list's ticked and unticked marks, the rights list's group
// and entry marks and the program icon. Every image is painted here from lines
// and shapes; run it again after changing a drawing:
//
//   g++ -std=c++20 -fPIC scripts/draw_images.cpp -o /tmp/draw_images \
//       $(pkg-config --cflags --libs Qt6Gui) && \
//   QT_QPA_PLATFORM=offscreen /tmp/draw_images framework/widgets/images

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

using Drawing = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 90, 200);
const QColor kYellow(250, 200, 30);
const QColor kGreen(40, 160, 60);
const QColor kRed(210, 50, 40);
const QColor kCard(235, 240, 250);

// Everything is drawn on a 16 x 16 grid and scaled to the image size.
QImage Render(int size, const Drawing& draw, const QColor& ground = Qt::transparent)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    return image;
}

QPen Pen(const QColor& colour, qreal width = 1.0)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Bolt(QPainter& p, const QPointF& at, qreal scale)
{
    QPainterPath bolt;
    bolt.moveTo(at + QPointF(2.0, 0) * scale);
    bolt.lineTo(at + QPointF(-1.5, 4.5) * scale);
    bolt.lineTo(at + QPointF(0.5, 4.5) * scale);
    bolt.lineTo(at + QPointF(-1.5, 9.0) * scale);
    bolt.lineTo(at + QPointF(3.0, 3.5) * scale);
    bolt.lineTo(at + QPointF(1.0, 3.5) * scale);
    bolt.closeSubpath();
    p.setPen(Pen(QColor(150, 100, 0), 0.6));
    p.setBrush(kYellow);
    p.drawPath(bolt);
}

// A prepaid card with its chip.
void Card(QPainter& p, const QRectF& r)
{
    p.setPen(Pen(kBlue, 0.8));
    p.setBrush(kCard);
    p.drawRoundedRect(r, 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 170, 60));
    p.drawRect(QRectF(r.left() + 1.5, r.top() + 1.8, 2.6, 2.0));
}

// An electricity meter: a box with a round dial and a needle.
void Meter(QPainter& p, const QRectF& r)
{
    p.setPen(Pen(kInk, 0.8));
    p.setBrush(QColor(225, 225, 225));
    p.drawRoundedRect(r, 1.0, 1.0);
    const QPointF centre(r.center().x(), r.top() + r.height() * 0.42);
    const qreal radius = r.width() * 0.3;
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius, radius);
    p.setPen(Pen(kRed, 0.8));
    p.drawLine(centre, centre + QPointF(radius * 0.7, -radius * 0.6));
    p.setPen(Pen(kInk, 0.6));
    p.drawLine(QPointF(r.left() + 2, r.bottom() - 1.6), QPointF(r.right() - 2, r.bottom() - 1.6));
}

void Magnifier(QPainter& p, const QPointF& centre)
{
    p.setPen(Pen(kInk, 1.4));
    p.drawLine(centre + QPointF(2.0, 2.0), centre + QPointF(4.5, 4.5));
    p.setPen(Pen(kInk, 1.0));
    p.setBrush(QColor(200, 230, 255, 220));
    p.drawEllipse(centre, 2.8, 2.8);
}

void Bars(QPainter& p, const QColor& colour)
{
    p.setPen(Pen(kInk, 0.8));
    p.drawLine(QPointF(1.5, 1.5), QPointF(1.5, 14.5));
    p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
    p.setPen(Pen(colour.darker(140), 0.5));
    p.setBrush(colour);
    p.drawRect(QRectF(3.5, 9, 2.6, 5));
    p.drawRect(QRectF(7.2, 5, 2.6, 9));
    p.drawRect(QRectF(10.9, 7, 2.6, 7));
}

void Plus(QPainter& p, const QPointF& centre)
{
    p.setPen(Pen(Qt::white, 0.6));
    p.setBrush(kGreen);
    p.drawEllipse(centre, 3.3, 3.3);
    p.setPen(Pen(Qt::white, 1.3));
    p.drawLine(centre - QPointF(1.8, 0), centre + QPointF(1.8, 0));
    p.drawLine(centre - QPointF(0, 1.8), centre + QPointF(0, 1.8));
}

// The marks of the lists are combined with the cell (AND): white around them.
void CheckBox(QPainter& p, bool ticked)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(90, 90, 90), 0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 12, 12));
    if (!ticked)
        return;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Pen(Qt::black, 1.8));
    QPainterPath tick;
    tick.moveTo(4.2, 7.6);
    tick.lineTo(6.6, 10.2);
    tick.lineTo(11.2, 4.6);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

struct Image
{
    const char* name;
    Drawing draw;
    QColor ground;
    std::vector<int> sizes;
};

std::vector<Image> Images()
{
    const QColor none = Qt::transparent;
    return {
        // 售电服务: a card being charged.
        {"148",
         [](QPainter& p) {
             Card(p, QRectF(0.8, 3.5, 11, 8));
             Bolt(p, QPointF(11, 4.5), 1.25);
         },
         none,
         {16}},
        // 售电查询: the charged card looked up.
        {"147",
         [](QPainter& p) {
             Card(p, QRectF(0.8, 1.5, 11, 8));
             Magnifier(p, QPointF(9.5, 9.5));
         },
         none,
         {16}},
        // 售电统计: bars.
        {"149", [](QPainter& p) { Bars(p, kYellow); }, none, {16}},
        // 附收查询: a sheet of readings looked up.
        {"153",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 0.8));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(1.5, 0.8, 9.5, 12.5));
             p.setPen(Pen(kBlue, 0.9));
             for (qreal y : {3.5, 6.0, 8.5})
                 p.drawLine(QPointF(3.2, y), QPointF(9.2, y));
             Magnifier(p, QPointF(10.2, 10.2));
         },
         none,
         {16}},
        // 附收统计: a line over bars.
        {"154",
         [](QPainter& p) {
             Bars(p, QColor(120, 180, 240));
             p.setPen(Pen(kRed, 1.2));
             p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(7, 4), QPointF(10, 6.5), QPointF(14, 2.5)}));
         },
         none,
         {16}},
        // 新表开户: a new meter.
        {"151",
         [](QPainter& p) {
             Meter(p, QRectF(1, 1, 10, 13));
             Plus(p, QPointF(11.8, 11.8));
         },
         none,
         {16}},
        // 电表查询: a meter looked up.
        {"145",
         [](QPainter& p) {
             Meter(p, QRectF(1, 1, 10, 13));
             Magnifier(p, QPointF(10.5, 10.5));
         },
         none,
         {16}},
        // 数据备份: a database with an arrow into it.
        {"143",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 0.8));
             p.setBrush(QColor(170, 200, 240));
             p.drawRect(QRectF(2, 4, 9, 9));
             p.drawEllipse(QRectF(2, 11, 9, 3.5));
             p.drawEllipse(QRectF(2, 2.5, 9, 3.5));
             p.setPen(Pen(kGreen, 1.6));
             p.drawLine(QPointF(13.5, 2), QPointF(13.5, 11));
             p.drawLine(QPointF(11, 8.5), QPointF(13.5, 11.2));
             p.drawLine(QPointF(16, 8.5), QPointF(13.5, 11.2));
         },
         none,
         {16}},
        // 系统帮助: a question mark.
        {"152",
         [](QPainter& p) {
             p.setPen(Pen(kBlue.darker(130), 0.8));
             p.setBrush(kBlue);
             p.drawEllipse(QRectF(1, 1, 14, 14));
             p.setPen(Pen(Qt::white, 1.8));
             QPainterPath hook;
             hook.moveTo(5.6, 5.8);
             hook.cubicTo(5.6, 3.2, 10.6, 3.2, 10.4, 6.0);
             hook.cubicTo(10.3, 7.8, 8.0, 8.0, 8.0, 10.0);
             p.setBrush(Qt::NoBrush);
             p.drawPath(hook);
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::white);
             p.drawEllipse(QPointF(8.0, 12.6), 1.1, 1.1);
         },
         none,
         {16}},
        // 退出系统: the power switch.
        {"150",
         [](QPainter& p) {
             p.setPen(Pen(kRed, 2.0));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(2.5, 2.8, 11, 11), 120 * 16, 300 * 16);
             p.drawLine(QPointF(8, 1.5), QPointF(8, 8));
         },
         none,
         {16}},
        // The list's marks, ticked (158) and unticked (159), on white.
        {"158", [](QPainter& p) { CheckBox(p, true); }, Qt::white, {16}},
        {"159", [](QPainter& p) { CheckBox(p, false); }, Qt::white, {16}},
        // The rights list: a group is a folder (156), an entry a bullet arrow (155), on white.
        {"156",
         [](QPainter& p) {
             p.setPen(Pen(QColor(150, 110, 20), 0.8));
             p.setBrush(QColor(245, 205, 90));
             QPainterPath folder;
             folder.moveTo(1.5, 4);
             folder.lineTo(6, 4);
             folder.lineTo(7.5, 5.5);
             folder.lineTo(14.5, 5.5);
             folder.lineTo(14.5, 13.5);
             folder.lineTo(1.5, 13.5);
             folder.closeSubpath();
             p.drawPath(folder);
         },
         Qt::white,
         {16}},
        {"155",
         [](QPainter& p) {
             p.setPen(Pen(kBlue.darker(120), 0.6));
             p.setBrush(kBlue);
             p.drawPolygon(QPolygonF({QPointF(5, 3.5), QPointF(12, 8), QPointF(5, 12.5)}));
         },
         Qt::white,
         {16}},
        // The program: a bolt on a meter's blue face.
        {"quillmer",
         [](QPainter& p) {
             p.setPen(Pen(kBlue.darker(150), 0.6));
             p.setBrush(kBlue);
             p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
             p.setPen(Pen(Qt::white, 0.9));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
             Bolt(p, QPointF(7.6, 3.3), 1.05);
         },
         none,
         {16, 32, 48, 256}},
    };
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    for (const Image& image : Images()) {
        for (int size : image.sizes) {
            const QString name = image.sizes.size() == 1 ? QStringLiteral("%1.png").arg(image.name)
                                                         : QStringLiteral("%1-%2.png").arg(image.name).arg(size);
            if (!Render(size, image.draw, image.ground).save(folder.filePath(name)))
                return 1;
        }
    }
    return 0;
}
