// Personal data: the notepad's write-through of the whole text on each change
// at 1 KB, 100 KB and 1 MB of text (target: at most 5 ms per change at 1 MB),
// against a plain QFile write of the same bytes; and opening the favourites
// window on 10 000 entries (target: under 300 ms), against a plain read of
// the same file. Each figure is the median of several rounds. The atomic write
// of the same bytes alone (QSaveFile: temporary file, sync, rename) shows how
// much of a change is the crash-safe replacement itself.
#include "personal/FavoritePlacesFRM.h"
#include "personal/NotePadFRM.h"
#include "personal/AtomicWrite.h"
#include "runtime/App.h"
#include "ports/BrowserControl.h"
#include "services/ClockRandom.h"
#include "ports/FileDialogs.h"
#include "services/FilePictureLoader.h"
#include "runtime/Look.h"
#include "ports/ProcessEnd.h"
#include "ports/Services.h"
#include "ports/SoundPlayer.h"
#include "ports/Transfer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "QuietServices.h"
#include "support/WindowAccess.h"

namespace {

using namespace bench;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

void plainWrite(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

// A text of about `size` bytes in lines of 64 characters.
QString notesText(int size)
{
    const QString line = QString(63, QLatin1Char('n')) + QLatin1Char('\n');
    return line.repeated(size / line.size());
}

void benchNotepad(App& app, const QString& dir)
{
    constexpr int kChanges = 25;
    std::printf("Notepad write-through per change (median of %d changes)\n", kChanges);
    std::printf("  %-8s %12s %16s %8s %18s %10s\n", "text", "per change", "plain write", "ratio",
                "atomic write alone", "target");
    for (const int size : {1024, 100 * 1024, 1024 * 1024}) {
        auto* pad = app.forms().Get<NotePadFRM>();
        ui(pad).Data->setPlainText(notesText(size));
        QTextCursor cursor(ui(pad).Data->document());
        cursor.movePosition(QTextCursor::End);

        std::vector<double> changes;
        for (int i = 0; i < kChanges; ++i) {
            QElapsedTimer timer;
            timer.start();
            cursor.insertText(QStringLiteral("x"));  // one change, one write of the whole text
            changes.push_back(msSince(timer));
        }

        QFile written(dir + QStringLiteral("/Notes.TXT"));
        written.open(QIODevice::ReadOnly);
        const QByteArray bytes = written.readAll();
        written.close();
        std::vector<double> plain;
        std::vector<double> atomic;
        for (int i = 0; i < kChanges; ++i) {
            QElapsedTimer timer;
            timer.start();
            plainWrite(dir + QStringLiteral("/Plain.TXT"), bytes);
            plain.push_back(msSince(timer));
            timer.restart();
            ravel32::WriteFileAtomically(dir + QStringLiteral("/Atomic.TXT"), bytes);
            atomic.push_back(msSince(timer));
        }
        const double change = median(changes);
        const double base = median(plain);
        const QString label = size >= 1024 * 1024 ? QStringLiteral("1 MB") : QStringLiteral("%1 KB").arg(size / 1024);
        std::printf("  %-8s %9.3f ms %13.3f ms %7.1fx %15.3f ms %10s\n", qPrintable(label), change, base,
                    change / base, median(atomic), size == 1024 * 1024 ? "<= 5 ms" : "-");
        pad->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void benchFavourites(App& app, const QString& dir)
{
    constexpr int kEntries = 10000;
    constexpr int kRounds = 7;
    const QString path = dir + QStringLiteral("/FavPlaces.TXT");
    QByteArray bytes;
    for (int i = 0; i < kEntries; ++i)
        bytes += "http://www.favourite-place-" + QByteArray::number(i) + ".example.org/\r\n";
    plainWrite(path, bytes);

    std::vector<double> opens;
    std::vector<double> reads;
    int count = 0;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        auto* form = app.forms().Show<FavoritePlacesFRM>();
        opens.push_back(msSince(timer));
        count = ui(form).ListBox->count();
        form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        timer.restart();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QList<QByteArray> lines = file.readAll().split('\n');
        reads.push_back(msSince(timer));
        if (lines.size() != kEntries + 1)
            std::printf("  unexpected line count %lld\n", static_cast<long long>(lines.size()));
    }
    const double open = median(opens);
    const double read = median(reads);
    std::printf("Opening the favourites window on %d entries (median of %d, %d entries shown)\n", kEntries,
                kRounds, count);
    std::printf("  window %9.3f ms   plain read and split %9.3f ms   ratio %7.1fx   target < 300 ms\n", open,
                read, open / read);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    Look::installFontSubstitution();
    QTemporaryDir dir;
    QuietDoubles quiet;
    FilePictureLoader pictures;
    ClockRandom random;
    const Services services{quiet.sound,  pictures,      quiet.browsers, quiet.transfer,
                            quiet.dialogs, quiet.process, random,         quiet.messages};
    // The favourites window loads its skin as it opens: bring the real one.
    for (const char* name : {"/Main.BMP", "/AddUP.BMP", "/DelUP.BMP"})
        QFile::copy(QStringLiteral(NIMBREL_PROGRAM_DIR) + QLatin1String(name), dir.path() + QLatin1String(name));
    App app(services, dir.path());
    std::printf("Platform: %s\n", qPrintable(QGuiApplication::platformName()));
    benchNotepad(app, dir.path());
    benchFavourites(app, dir.path());
    return 0;
}
