// Composition root: builds the real services and shows the splash window.
#include "runtime/App.h"
#include "services/ClockRandom.h"
#include "runtime/CursorBlinkRest.h"
#include "web/EngineEnvironment.h"
#include "services/FilePictureLoader.h"
#include "web/LazyBrowserFactory.h"
#include "net/LazyTransfer.h"
#include "runtime/Look.h"
#include "services/QtMessages.h"
#include "services/QtFileDialogs.h"
#include "services/QtProcessEnd.h"
#include "sound/QtSoundPlayer.h"
#include "startup/WarmUp.h"
#include "startup/WindowIcon.h"
#include "shell/IntroFRM.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    EngineEnvironment::Prepare();
    QApplication application(argc, argv);
    // Made after the application, so its thread is joined before the application goes.
    WarmUp warmUp;
    // No organisation name: the data and cache folders are ~/.local/share/Nimbrel
    // and ~/.cache/Nimbrel, without the name twice.
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));
    QApplication::setDesktopFileName(QStringLiteral("nimbrel"));
    Look::installFontSubstitution();
    WindowIcon::SetOnFirstManagedWindow icon(QCoreApplication::applicationDirPath());
    CursorBlinkRest blinkRest;

    QtMessages messages;
    QtSoundPlayer sound(QCoreApplication::applicationDirPath() + QStringLiteral("/nimbrelsound"));
    FilePictureLoader pictures;
    LazyBrowserFactory browsers(QCoreApplication::applicationDirPath() + QStringLiteral("/nimbrelengine"),
                                messages);
    LazyTransfer transfer(QCoreApplication::applicationDirPath() + QStringLiteral("/nimbrelnetwork"));
    QtFileDialogs dialogs;
    QtProcessEnd process;
    ClockRandom random;
    const Services services{sound, pictures, browsers, transfer, dialogs, process, random, messages};

    int result = 0;
    {
        App app(services, QCoreApplication::applicationDirPath());
        app.forms().Show<IntroFRM>();
        QTimer::singleShot(0, &application, [&warmUp] { warmUp.AfterFirstWindow(); });
        result = QApplication::exec();
        // Leaving this block destroys every window without its unload handling
        // (the program has ended), then the engine shuts down with the factory.
    }
    return result;
}
