#include "runtime/App.h"

#include "ports/ProcessEnd.h"
#include "ports/SoundPlayer.h"

App::App(const Services& services, const QString& programDir)
    : m_services(services), m_programDir(programDir), m_forms(*this)
{
}

App::~App() = default;

QString App::AssetPath(const QString& name) const
{
    return m_programDir + name;
}

void App::PlayWave(const QString& path)
{
    if (m_ended)
        return;
    m_services.sound.PlayWave(path);
}

void App::EndProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    m_forms.HideAll();
    m_services.process.EndNow();
}
