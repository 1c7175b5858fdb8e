#pragma once

#include "runtime/FormRegistry.h"
#include "runtime/MainBrowser.h"
#include "ports/Services.h"

#include <QString>

// The running program: its directory, its services, its windows and the
// main browser that the other windows read and navigate.
class App {
public:
    App(const Services& services, const QString& programDir);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    const Services& services() const { return m_services; }
    FormRegistry& forms() { return m_forms; }
    MainBrowser& mainBrowser() { return m_mainBrowser; }
    const QString& programDir() const { return m_programDir; }

    // The program directory followed, unchanged, by a name that begins with "/".
    QString AssetPath(const QString& name) const;
    void PlayWave(const QString& path);

    // Ends the program at once. Every handler that may be on the stack when this
    // happens checks ended() after it lets events run, and stops.
    void EndProgram();
    bool ended() const { return m_ended; }

private:
    Services m_services;
    QString m_programDir;
    bool m_ended = false;
    MainBrowser m_mainBrowser;
    FormRegistry m_forms;
};
