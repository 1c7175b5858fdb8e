#pragma once

#include "runtime/App.h"
#include "support/Doubles.h"

#include <QTemporaryDir>
#include <memory>

// A program with every service replaced by a double and a fresh temporary
// program directory. Destroying it destroys the windows without unload.
struct TestApp {
    // `engine`, when given, replaces the scripted browsers (it must outlive this).
    explicit TestApp(BrowserFactory* engine = nullptr);
    ~TestApp();

    QString dir() const { return tempDir.path(); }
    QString File(const QString& name) const { return tempDir.path() + name; }
    // The scripted browser created for `owner` (the n-th browser that window made).
    ScriptedBrowser* BrowserOf(QObject* owner, int n = 0) const;

    QTemporaryDir tempDir;
    EventLog log;
    RecordingSound sound;
    RecordingPictures pictures;
    ScriptedBrowserFactory browsers;
    ScriptedTransfer transfer;
    ScriptedDialogs dialogs;
    RecordingProcessEnd process;
    FixedRandom random;
    RecordingMessages messages;
    std::unique_ptr<App> app;
};
