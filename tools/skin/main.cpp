// skingen: draws every skin bitmap and synthesises every wave file, and writes
// them under their catalogue names into the directory given on the command
// line. Output depends only on this program, so every run writes the same bytes.
#include "SkinArt.h"
#include "SkinSound.h"

#include "sound/WaveSynth.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

namespace {

const QString kOcrFontFile = QStringLiteral("/usr/share/fonts/truetype/ocr-a/OCRA.ttf");

// The OCR-A family (Debian's fonts-ocr-a), or a monospace font without it.
QString letteringFamily()
{
    if (QFontDatabase::families().contains(QStringLiteral("OCRA")))
        return QStringLiteral("OCRA");
    const int id = QFontDatabase::addApplicationFont(kOcrFontFile);
    const QStringList added = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    if (!added.isEmpty())
        return added.first();
    std::fprintf(stderr, "skingen: OCR-A font not found, using a monospace font\n");
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "skingen: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

bool writeBitmap(const QDir& dir, const QString& name, const QImage& image)
{
    const QString path = dir.filePath(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "BMP") || !file.commit()) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writeWave(const QDir& dir, const QString& name, const std::vector<float>& samples)
{
    return writeBytes(dir.filePath(name), WaveSynth::WaveFile(samples));
}

struct ButtonFace {
    const char* file;  // the stem before UP.BMP / DOWN.BMP
    const char* caption;
};

bool writeButtons(const SkinArt& art, const QDir& dir, const QString& suffix)
{
    static const ButtonFace mainButtons[] = {
        {"Back", "Back"}, {"Forward", "Forward"}, {"Go", "Go"},
        {"Refresh", "Refresh"}, {"Stop", "Stop"}, {"Menu", "Menu"},
    };
    static const ButtonFace listButtons[] = {{"Add", "Add"}, {"Del", "Del"}};
    bool ok = true;
    auto writePair = [&](const ButtonFace& face, QSize size) {
        const QString stem = QString::fromLatin1(face.file);
        const QString caption = QString::fromLatin1(face.caption);
        ok = writeBitmap(dir, stem + QStringLiteral("UP") + suffix, art.button(caption, size, false)) && ok;
        ok = writeBitmap(dir, stem + QStringLiteral("DOWN") + suffix, art.button(caption, size, true)) && ok;
    };
    for (const ButtonFace& face : mainButtons)
        writePair(face, SkinArt::mainButtonSize());
    for (const ButtonFace& face : listButtons)
        writePair(face, SkinArt::listButtonSize());
    return ok;
}

// Every bitmap of the skin, drawn by `art` and named with `suffix` (".BMP" or "@2x.BMP").
bool writeBitmaps(const SkinArt& art, const QDir& dir, const QString& suffix)
{
    bool ok = true;
    ok = writeBitmap(dir, QStringLiteral("Intro") + suffix, art.intro()) && ok;
    ok = writeBitmap(dir, QStringLiteral("Main") + suffix, art.background()) && ok;
    ok = writeButtons(art, dir, suffix) && ok;
    return ok;
}

// The program's icon in a freedesktop icon theme tree: a PNG per size and a scalable SVG.
bool writeIcons(const SkinArt& art, const QDir& themeDir)
{
    bool ok = true;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString sub = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = themeDir.filePath(sub + QStringLiteral("/nimbrel.png"));
        QSaveFile file(path);
        if (!themeDir.mkpath(sub) || !file.open(QIODevice::WriteOnly) || !art.icon(size).save(&file, "PNG")
            || !file.commit()) {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    ok = themeDir.mkpath(QStringLiteral("scalable/apps"))
         && writeBytes(themeDir.filePath(QStringLiteral("scalable/apps/nimbrel.svg")), SkinArt::iconSvg()) && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 && args.size() != 3) {
        std::fprintf(stderr, "usage: skingen <output directory> [<icon theme directory>]\n");
        return 2;
    }
    QDir dir(args.at(1));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(args.at(1)));
        return 1;
    }

    const QString family = letteringFamily();
    const SkinArt art(family);
    const SkinArt art2x(family, 2);
    bool ok = true;
    ok = writeBitmaps(art, dir, QStringLiteral(".BMP")) && ok;
    ok = writeBitmaps(art2x, dir, QStringLiteral("@2x.BMP")) && ok;
    if (args.size() == 3)
        ok = writeIcons(art, QDir(args.at(2))) && ok;
    ok = writeWave(dir, QStringLiteral("Intro.WAV"), SkinSound::intro()) && ok;
    ok = writeWave(dir, QStringLiteral("Click.WAV"), SkinSound::click()) && ok;
    ok = writeWave(dir, QStringLiteral("OpenWin.WAV"), SkinSound::openWindow()) && ok;
    ok = writeWave(dir, QStringLiteral("CloseWin.WAV"), SkinSound::closeWindow()) && ok;
    return ok ? 0 : 1;
}
