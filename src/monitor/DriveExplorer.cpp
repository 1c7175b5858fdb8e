#include "monitor/DriveExplorer.h"

#include "runtime/App.h"
#include "ports/BrowserControl.h"
#include "runtime/Twips.h"

DriveExplorer::DriveExplorer(App& app) : Form(app)
{
    // Fixed single border: title bar and close box, no minimise or maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    SetCaption(Title());
    Twips::resizeClient(this, 5895, 4470);
    setFixedSize(size());

    DriveExplorerWindow = app.services().browsers.Create(this);
    Twips::place(DriveExplorerWindow->widget(), 0, 0, 5895, 4455);
}

QString DriveExplorer::Title()
{
    return QStringLiteral("C: Explorer") + QString(27, QLatin1Char(' ')) + QStringLiteral("NB");
}

QString DriveExplorer::RootFolder()
{
    return QStringLiteral("C:\\");
}

void DriveExplorer::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    DriveExplorerWindow->Navigate(RootFolder());
}

void DriveExplorer::Form_Unload()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
}
