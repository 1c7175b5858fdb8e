#include "SkinArt.h"

#include "runtime/Twips.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace {

// The red of the address boxes, and the dark steel of the button faces.
const QColor kRed(192, 0, 0);
const QColor kRedDeep(96, 0, 0);
const QColor kRedLit(236, 42, 36);
const QColor kSteelTop(62, 64, 72);
const QColor kSteelBottom(22, 23, 27);
const QColor kInk(8, 8, 10);
const QColor kWhite(255, 255, 255);

// Rounded like the windows round twips, so 1105 twips make 74 pixels.
QSize fromTwips(double width, double height)
{
    return QSize(static_cast<int>(std::lround(width / Twips::kPerPixel)),
                 static_cast<int>(std::lround(height / Twips::kPerPixel)));
}

// A canvas `scale` times the logical size; painters work in logical pixels.
QImage blank(QSize size, int scale)
{
    QImage image(size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(kInk);
    return image;
}

QSize logicalSize(const QImage& image)
{
    return (QSizeF(image.size()) / image.devicePixelRatio()).toSize();
}

QRect logicalRect(const QImage& image)
{
    return QRect(QPoint(0, 0), logicalSize(image));
}

// A fixed pseudo-random sequence, so the grain of the background is the same
// on every run and on every machine.
class Grain {
public:
    int next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<int>((m_state >> 24) & 0xff);
    }

private:
    quint32 m_state = 0x4e696d62u;
};

// Softens an alpha mask with three box passes (close to a Gaussian); used for
// the glow behind the splash title.
QImage blurred(const QImage& mask, int radius)
{
    QImage out = mask.convertToFormat(QImage::Format_Alpha8);
    const int w = out.width();
    const int h = out.height();
    std::vector<int> line;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            uchar* row = out.scanLine(y);
            line.assign(row, row + w);
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    sum += line[static_cast<size_t>(std::clamp(x + k, 0, w - 1))];
                row[x] = static_cast<uchar>(sum / (2 * radius + 1));
            }
        }
        line.resize(static_cast<size_t>(h));
        for (int x = 0; x < w; ++x) {
            for (int y = 0; y < h; ++y)
                line[static_cast<size_t>(y)] = out.scanLine(y)[x];
            for (int y = 0; y < h; ++y) {
                int sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    sum += line[static_cast<size_t>(std::clamp(y + k, 0, h - 1))];
                out.scanLine(y)[x] = static_cast<uchar>(sum / (2 * radius + 1));
            }
        }
    }
    return out;
}

}  // namespace

SkinArt::SkinArt(QString family, int scale) : m_family(std::move(family)), m_scale(scale) {}

QSize SkinArt::mainButtonSize() { return fromTwips(1105, 255); }
QSize SkinArt::listButtonSize() { return fromTwips(855, 375); }
QSize SkinArt::introSize() { return fromTwips(6735, 2175); }
QSize SkinArt::backgroundSize() { return QSize(480, 360); }

QFont SkinArt::lettering(int pixelSize, bool bold) const
{
    QFont font(m_family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleHint(QFont::TypeWriter);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage SkinArt::button(const QString& caption, QSize size, bool pressed) const
{
    QImage image = blank(size, m_scale);
    if (pressed)
        paintPressedFace(image);
    else
        paintRestFace(image);
    paintCaption(image, caption, pressed);
    return image;
}

void SkinArt::paintRestFace(QImage& image) const
{
    // Raised dark steel: lit from above, a red rule along the foot.
    const int w = logicalSize(image).width();
    const int h = logicalSize(image).height();
    QPainter p(&image);
    QLinearGradient face(0, 0, 0, h);
    face.setColorAt(0.0, kSteelTop);
    face.setColorAt(0.5, QColor(38, 39, 45));
    face.setColorAt(1.0, kSteelBottom);
    p.fillRect(logicalRect(image), face);
    p.setPen(QColor(255, 255, 255, 70));
    p.drawLine(1, 1, w - 2, 1);
    p.drawLine(1, 1, 1, h - 3);
    p.setPen(QColor(0, 0, 0, 110));
    p.drawLine(w - 2, 2, w - 2, h - 3);
    p.setPen(kRed);
    p.drawLine(1, h - 2, w - 2, h - 2);
    p.setPen(QColor(0, 0, 0));
    p.drawRect(0, 0, w - 1, h - 1);
}

void SkinArt::paintPressedFace(QImage& image) const
{
    // Sunk and lit: the face turns the address-box red, darker at the top
    // where the rim shades it.
    const int w = logicalSize(image).width();
    const int h = logicalSize(image).height();
    QPainter p(&image);
    QLinearGradient face(0, 0, 0, h);
    face.setColorAt(0.0, kRedDeep);
    face.setColorAt(0.45, kRed);
    face.setColorAt(1.0, kRedLit);
    p.fillRect(logicalRect(image), face);
    p.setPen(QColor(0, 0, 0, 150));
    p.drawLine(1, 1, w - 2, 1);
    p.drawLine(1, 1, 1, h - 2);
    p.setPen(QColor(0, 0, 0, 70));
    p.drawLine(2, 2, w - 2, 2);
    p.setPen(QColor(255, 160, 150, 90));
    p.drawLine(2, h - 2, w - 2, h - 2);
    p.setPen(QColor(0, 0, 0));
    p.drawRect(0, 0, w - 1, h - 1);
}

void SkinArt::paintCaption(QImage& image, const QString& caption, bool pressed) const
{
    // The caption sits a pixel lower and to the right when pressed, as if the
    // face had moved into the window.
    const int pixelSize = std::max(9, logicalSize(image).height() * 2 / 3);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(lettering(pixelSize));
    const QRect area = logicalRect(image).adjusted(1, 0, -1, -1).translated(pressed ? 1 : 0, pressed ? 1 : 0);
    p.setPen(QColor(0, 0, 0, pressed ? 120 : 170));
    p.drawText(area.translated(1, 1), Qt::AlignCenter, caption);
    p.setPen(kWhite);
    p.drawText(area, Qt::AlignCenter, caption);
}

QImage SkinArt::background() const
{
    // Near-black with a deep red glow from the top edge where the buttons sit,
    // and a faint grain that keeps the gradient from banding when stretched.
    QImage image = blank(backgroundSize(), m_scale);
    const int w = logicalSize(image).width();
    const int h = logicalSize(image).height();
    {
        QPainter p(&image);
        QLinearGradient base(0, 0, 0, h);
        base.setColorAt(0.0, QColor(30, 30, 35));
        base.setColorAt(0.55, QColor(17, 17, 20));
        base.setColorAt(1.0, QColor(9, 9, 11));
        p.fillRect(logicalRect(image), base);
        QRadialGradient glow(w * 0.5, -h * 0.25, w * 0.75);
        glow.setColorAt(0.0, QColor(150, 0, 0, 70));
        glow.setColorAt(0.6, QColor(90, 0, 0, 25));
        glow.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.fillRect(logicalRect(image), glow);
        QRadialGradient vignette(w * 0.5, h * 0.5, std::hypot(w, h) * 0.6);
        vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
        vignette.setColorAt(1.0, QColor(0, 0, 0, 90));
        p.fillRect(logicalRect(image), vignette);
    }
    Grain grain;
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int d = (grain.next() % 5) - 2;
            row[x] = qRgb(std::clamp(qRed(row[x]) + d, 0, 255), std::clamp(qGreen(row[x]) + d, 0, 255),
                          std::clamp(qBlue(row[x]) + d, 0, 255));
        }
    }
    return image;
}

QImage SkinArt::intro() const
{
    QImage image = blank(introSize(), m_scale);
    paintIntroBackdrop(image);
    paintIntroTitle(image);
    paintIntroTagline(image);
    return image;
}

void SkinArt::paintIntroBackdrop(QImage& image) const
{
    const int w = logicalSize(image).width();
    const int h = logicalSize(image).height();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient base(0, 0, 0, h);
    base.setColorAt(0.0, QColor(24, 24, 28));
    base.setColorAt(1.0, QColor(6, 6, 8));
    p.fillRect(logicalRect(image), base);
    QRadialGradient glow(w * 0.5, h * 0.42, w * 0.55);
    glow.setColorAt(0.0, QColor(140, 0, 0, 120));
    glow.setColorAt(0.5, QColor(80, 0, 0, 50));
    glow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(logicalRect(image), glow);
    // A thin red frame inset from the edge, like the address boxes' colour.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(192, 0, 0, 170));
    p.drawRect(3, 3, w - 7, h - 7);
    p.setPen(QColor(0, 0, 0));
    p.drawRect(0, 0, w - 1, h - 1);
}

void SkinArt::paintIntroTitle(QImage& image) const
{
    const int w = logicalSize(image).width();
    const QString name = QStringLiteral("Nimbrel");
    const QFont font = lettering(68);
    const QFontMetrics metrics(font);
    const int textWidth = metrics.horizontalAdvance(name);
    const QPointF origin((w - textWidth) / 2.0, 78.0);
    QPainterPath path;
    path.addText(origin, font, name);

    // Glow: the letters' shape, softened, in the address-box red.
    QImage mask(image.size(), QImage::Format_ARGB32_Premultiplied);
    mask.setDevicePixelRatio(m_scale);
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        m.setRenderHint(QPainter::Antialiasing);
        m.fillPath(path, QColor(0, 0, 0, 255));
    }
    QImage halo = blurred(mask, 5 * m_scale);
    halo.setDevicePixelRatio(m_scale);
    QImage redHalo(image.size(), QImage::Format_ARGB32_Premultiplied);
    redHalo.setDevicePixelRatio(m_scale);
    redHalo.fill(kRedLit);
    {
        QPainter r(&redHalo);
        r.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        r.drawImage(0, 0, halo);
    }

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(0, 0, redHalo);
    p.drawImage(0, 0, redHalo);
    p.fillPath(path.translated(2, 3), QColor(0, 0, 0, 150));
    QLinearGradient fill(0, origin.y() - metrics.ascent(), 0, origin.y());
    fill.setColorAt(0.0, kWhite);
    fill.setColorAt(1.0, QColor(214, 214, 222));
    p.fillPath(path, fill);
}

void SkinArt::paintIntroTagline(QImage& image) const
{
    const int w = logicalSize(image).width();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A red rule under the name that fades out towards both ends.
    QLinearGradient rule(60, 0, w - 60, 0);
    rule.setColorAt(0.0, QColor(192, 0, 0, 0));
    rule.setColorAt(0.5, kRed);
    rule.setColorAt(1.0, QColor(192, 0, 0, 0));
    p.fillRect(QRectF(60, 94, w - 120, 2), rule);

    QFont font = lettering(11);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(font);
    p.setPen(QColor(200, 200, 206));
    p.drawText(QRect(0, 102, w, 18), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("WEB BROWSER"));
}

QImage SkinArt::icon(int size) const
{
    // Drawn on a 256-unit square, the same shapes as iconSvg().
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient steel(0, 8, 0, 248);
    steel.setColorAt(0.0, kSteelTop);
    steel.setColorAt(1.0, kSteelBottom);
    p.setPen(QPen(QColor(0, 0, 0), 6));
    p.setBrush(steel);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    QLinearGradient red(0, 40, 0, 216);
    red.setColorAt(0.0, kRedLit);
    red.setColorAt(1.0, kRedDeep);
    p.setPen(QPen(QBrush(red), 16));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(128, 128), 86, 86);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPolygon(iconLetter());
    return image;
}

QPolygonF SkinArt::iconLetter()
{
    // A block letter N: two uprights and the diagonal between them.
    return QPolygonF({{84, 184}, {84, 72}, {112, 72}, {146, 138}, {146, 72}, {172, 72},
                      {172, 184}, {144, 184}, {110, 118}, {110, 184}});
}

QByteArray SkinArt::iconSvg()
{
    QByteArray letter;
    const QPolygonF n = iconLetter();
    for (int i = 0; i < n.size(); ++i)
        letter += (i == 0 ? "M" : "L") + QByteArray::number(n[i].x()) + ' ' + QByteArray::number(n[i].y()) + ' ';
    letter += 'Z';
    auto hex = [](const QColor& c) { return c.name().toLatin1(); };
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
           "  <defs>\n"
           "    <linearGradient id=\"steel\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"8\" x2=\"0\" y2=\"248\">\n"
           "      <stop offset=\"0\" stop-color=\"" + hex(kSteelTop) + "\"/>\n"
           "      <stop offset=\"1\" stop-color=\"" + hex(kSteelBottom) + "\"/>\n"
           "    </linearGradient>\n"
           "    <linearGradient id=\"red\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"40\" x2=\"0\" y2=\"216\">\n"
           "      <stop offset=\"0\" stop-color=\"" + hex(kRedLit) + "\"/>\n"
           "      <stop offset=\"1\" stop-color=\"" + hex(kRedDeep) + "\"/>\n"
           "    </linearGradient>\n"
           "  </defs>\n"
           "  <rect x=\"8\" y=\"8\" width=\"240\" height=\"240\" rx=\"44\" fill=\"url(#steel)\" stroke=\"#000000\" stroke-width=\"6\"/>\n"
           "  <circle cx=\"128\" cy=\"128\" r=\"86\" fill=\"none\" stroke=\"url(#red)\" stroke-width=\"16\"/>\n"
           "  <path d=\"" + letter + "\" fill=\"#ffffff\"/>\n"
           "</svg>\n";
}
