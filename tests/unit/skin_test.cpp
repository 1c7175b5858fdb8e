// The skin beside the program: every catalogue file under its exact name,
// button faces of the size the windows rely on, valid short wave files, and a
// generator that writes the same bytes on every run.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kProgramDir = QStringLiteral(NIMBREL_PROGRAM_DIR);

const QStringList kMainButtons = {"Back", "Forward", "Go", "Refresh", "Stop", "Menu"};
const QStringList kListButtons = {"Add", "Del"};

QStringList catalogue()
{
    QStringList names = {"Intro.BMP", "Main.BMP"};
    for (const QString& b : kMainButtons + kListButtons)
        names << b + "UP.BMP" << b + "DOWN.BMP";
    names << "Intro.WAV" << "Click.WAV" << "OpenWin.WAV" << "CloseWin.WAV";
    return names;
}

QImage loadBitmap(const QString& name)
{
    QImageReader reader(kProgramDir + "/" + name);
    EXPECT_EQ(reader.format(), QByteArray("bmp")) << name.toStdString();
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// Share of pixels whose colour differs clearly between two faces of one size.
double changedShare(const QImage& a, const QImage& b)
{
    int changed = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 60)
                ++changed;
        }
    return double(changed) / (a.width() * a.height());
}

double meanLightness(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    return sum / (image.width() * image.height());
}

struct Wave {
    QString error;
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int> samples;
    double seconds() const { return rate ? double(samples.size()) / rate : 0; }
};

// Reads a RIFF wave file chunk by chunk, checking the sizes it declares.
Wave readWave(const QString& name)
{
    Wave w;
    QFile f(kProgramDir + "/" + name);
    if (!f.open(QIODevice::ReadOnly))
        return w.error = "cannot open", w;
    const QByteArray b = f.readAll();
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    if (b.size() < 12 || b.left(4) != "RIFF" || b.mid(8, 4) != "WAVE")
        return w.error = "no RIFF/WAVE header", w;
    if (u32(4) != quint32(b.size() - 8))
        return w.error = "RIFF size does not match the file", w;
    bool haveData = false;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = u32(at + 4);
        if (at + 8 + qsizetype(size) > b.size())
            return w.error = "chunk " + QString::fromLatin1(id) + " runs past the end", w;
        if (id == "fmt " && size >= 16) {
            w.format = u16(at + 8);
            w.channels = u16(at + 10);
            w.rate = int(u32(at + 12));
            w.bits = u16(at + 22);
        } else if (id == "data") {
            haveData = true;
            for (quint32 i = 0; i + 1 < size; i += 2)
                w.samples.push_back(qint16(u16(at + 8 + i)));
        }
        at += 8 + size + (size & 1);
    }
    if (!haveData)
        w.error = "no data chunk";
    return w;
}

int zeroCrossings(const std::vector<int>& s, size_t from, size_t to)
{
    int n = 0;
    for (size_t i = from + 1; i < to; ++i)
        if ((s[i - 1] < 0) != (s[i] < 0))
            ++n;
    return n;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(Skin, EveryCatalogueFileLiesBesideTheProgramUnderItsExactName)
{
    const QStringList present = QDir(kProgramDir).entryList(QDir::Files);
    for (const QString& name : catalogue()) {
        EXPECT_TRUE(present.contains(name, Qt::CaseSensitive)) << name.toStdString();
        EXPECT_GT(QFileInfo(kProgramDir + "/" + name).size(), 44) << name.toStdString();
    }
}

TEST(Skin, ButtonFacesHaveTheirSizeAndAVisiblyPressedFace)
{
    QList<QImage> restFaces;
    for (const QString& b : kMainButtons + kListButtons) {
        SCOPED_TRACE(b.toStdString());
        const QImage up = loadBitmap(b + "UP.BMP");
        const QImage down = loadBitmap(b + "DOWN.BMP");
        ASSERT_FALSE(up.isNull());
        ASSERT_FALSE(down.isNull());
        // The main window's buttons take the bitmap's size: 1105 x 255 twips.
        // Add and Del are stretched into 855 x 375 twips, so any multiple fits.
        if (kMainButtons.contains(b)) {
            EXPECT_EQ(up.size(), QSize(74, 17));
        } else {
            EXPECT_EQ(up.width() % 57, 0);
            EXPECT_EQ(up.width() / 57 * 25, up.height());
        }
        EXPECT_EQ(down.size(), up.size());
        EXPECT_GT(changedShare(up, down), 0.3) << "pressed face hardly differs from the rest face";
        for (const QImage& other : restFaces) {
            if (other.size() == up.size()) {
                EXPECT_GT(changedShare(up, other), 0.02) << "two buttons share one face";
            }
        }
        restFaces << up;
    }
}

TEST(Skin, EveryBitmapHasADoubleSizeCompanionWithTheSameDrawing)
{
    for (const QString& name : catalogue()) {
        if (!name.endsWith(".BMP"))
            continue;
        SCOPED_TRACE(name.toStdString());
        const QString sharpName = name.left(name.size() - 4) + "@2x.BMP";
        const QImage plain = loadBitmap(name);
        const QImage sharp = loadBitmap(sharpName);
        ASSERT_FALSE(sharp.isNull());
        EXPECT_EQ(sharp.size(), plain.size() * 2);
        // Seen from afar (both shrunk to a quarter, which blurs away the
        // finer lettering), the sharp picture is the plain one.
        const QSize far = plain.size() / 4;
        const QImage a = plain.scaled(far, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage b = sharp.scaled(far, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(changedShare(a, b), 0.1);
    }
}

TEST(Skin, IconComesInEveryThemeSizeAndAsSvg)
{
    const QString theme = kProgramDir + "/../icons/hicolor";
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QImage icon(theme + QStringLiteral("/%1x%1/apps/nimbrel.png").arg(size));
        ASSERT_FALSE(icon.isNull()) << size;
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);  // rounded corners stay clear
        EXPECT_EQ(icon.pixelColor(size / 2, size / 2).alpha(), 255);
    }
    const QByteArray svg = readAll(theme + "/scalable/apps/nimbrel.svg");
    EXPECT_TRUE(svg.contains("<svg") && svg.contains("viewBox=\"0 0 256 256\"") && svg.trimmed().endsWith("</svg>"));
}

TEST(Skin, SplashAndBackgroundFitTheirControlsAndKeepTheDarkLook)
{
    const QImage intro = loadBitmap("Intro.BMP");
    EXPECT_TRUE(intro.size() == QSize(449, 145) || intro.size() == QSize(898, 290)) << intro.width() << "x" << intro.height();
    const QImage main = loadBitmap("Main.BMP");
    EXPECT_GE(main.width(), 400);
    EXPECT_GE(main.height(), 300);
    EXPECT_LT(meanLightness(main), 60.0);
    EXPECT_LT(meanLightness(intro), 90.0);
    // The splash carries lettering: a good share of its pixels is near white.
    int light = 0;
    for (int y = 0; y < intro.height(); ++y)
        for (int x = 0; x < intro.width(); ++x)
            light += qGray(intro.pixel(x, y)) > 200;
    EXPECT_GT(light, intro.width() * intro.height() / 50);
}

TEST(Skin, SoundsAreShortCleanMonoPcm)
{
    struct Expect {
        const char* name;
        double minSeconds, maxSeconds;
    };
    for (const Expect& e : {Expect{"Click.WAV", 0.04, 0.08}, Expect{"OpenWin.WAV", 0.2, 0.3},
                            Expect{"CloseWin.WAV", 0.2, 0.3}, Expect{"Intro.WAV", 1.0, 2.0}}) {
        SCOPED_TRACE(e.name);
        const Wave w = readWave(e.name);
        ASSERT_TRUE(w.error.isEmpty()) << w.error.toStdString();
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.rate, 22050);
        EXPECT_EQ(w.bits, 16);
        EXPECT_GE(w.seconds(), e.minSeconds);
        EXPECT_LE(w.seconds(), e.maxSeconds);
        int peak = 0;
        for (int s : w.samples)
            peak = std::max(peak, std::abs(s));
        EXPECT_GT(peak, 32767 / 5) << "too quiet";
        EXPECT_LT(peak, 32767 * 9 / 10) << "clipped or harsh";
        // Starting and ending at silence: cutting one sound off with the next does not pop.
        ASSERT_GE(w.samples.size(), 2u);
        EXPECT_LT(std::abs(w.samples.front()), 330);
        EXPECT_LT(std::abs(w.samples.back()), 330);
    }
}

TEST(Skin, OpeningSoundRisesAndClosingSoundFalls)
{
    for (const char* name : {"OpenWin.WAV", "CloseWin.WAV"}) {
        SCOPED_TRACE(name);
        const Wave w = readWave(name);
        ASSERT_TRUE(w.error.isEmpty()) << w.error.toStdString();
        const size_t q = w.samples.size() / 4;
        const int early = zeroCrossings(w.samples, q / 2, q * 3 / 2);
        const int late = zeroCrossings(w.samples, q * 2, q * 3);
        if (QByteArray(name) == "OpenWin.WAV") {
            EXPECT_GT(late, early * 5 / 4);
        } else {
            EXPECT_GT(early, late * 5 / 4);
        }
    }
}

#ifdef NIMBREL_SKINGEN
TEST(Skin, GeneratorWritesTheSameBytesOnEveryRun)
{
    QTemporaryDir first, second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // The generator is not what is under test here: no leak report, and the
    // test's own preloads do not apply to it.
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    env.remove("LD_PRELOAD");
    for (const QTemporaryDir* dir : {&first, &second}) {
        QProcess gen;
        gen.setProcessEnvironment(env);
        gen.start(QStringLiteral(NIMBREL_SKINGEN), {dir->path()});
        ASSERT_TRUE(gen.waitForFinished(60000));
        ASSERT_EQ(gen.exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    }
    EXPECT_EQ(QDir(first.path()).entryList(QDir::Files, QDir::Name),
              QDir(second.path()).entryList(QDir::Files, QDir::Name));
    for (const QString& name : catalogue()) {
        const QByteArray a = readAll(first.path() + "/" + name);
        EXPECT_FALSE(a.isEmpty()) << name.toStdString();
        EXPECT_TRUE(a == readAll(second.path() + "/" + name)) << name.toStdString() << " differs between runs";
    }
}

TEST(Skin, GeneratorFailsWithoutAnOutputDirectory)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // The generator is not what is under test here: no leak report, and the
    // test's own preloads do not apply to it.
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    env.remove("LD_PRELOAD");
    QProcess gen;
    gen.setProcessEnvironment(env);
    gen.start(QStringLiteral(NIMBREL_SKINGEN), {});
    ASSERT_TRUE(gen.waitForFinished(60000));
    EXPECT_NE(gen.exitCode(), 0);
}
#endif
