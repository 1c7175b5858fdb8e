#include "platform/QtSoundPlayer.h"

#include "platform/WaveSynth.h"

#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::PlayWave(const QString& path)
{
    m_pending = path;
    if (m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, &QtSoundPlayer::StartPending);
}

void QtSoundPlayer::StartPending()
{
    m_scheduled = false;
    const QFileInfo info(m_pending);
    if (info.isFile() && info.isReadable() && info.size() > 44)
        Start(m_pending, false);
    else
        Start(DefaultSoundFile(), true);
}

void QtSoundPlayer::Start(const QString& file, bool isDefault)
{
    if (file.isEmpty())
        return;
    if (m_current)
        m_current->stop();
    QSoundEffect* effect = EffectFor(file);
    m_current = effect;
    if (!isDefault && effect->status() == QSoundEffect::Error) {
        Start(DefaultSoundFile(), true);
        return;
    }
    effect->play();
}

QSoundEffect* QtSoundPlayer::EffectFor(const QString& file)
{
    if (QSoundEffect* existing = m_effects.value(file))
        return existing;
    auto* effect = new QSoundEffect(this);
    effect->setSource(QUrl::fromLocalFile(file));
    m_effects.insert(file, effect);
    // A file that turns out not to be a playable wave gets the default sound.
    connect(effect, &QSoundEffect::statusChanged, this, [this, effect, file] {
        if (effect->status() == QSoundEffect::Error && effect == m_current && file != m_defaultFile)
            Start(DefaultSoundFile(), true);
    });
    return effect;
}

QString QtSoundPlayer::DefaultSoundFile()
{
    if (!m_defaultFile.isEmpty())
        return m_defaultFile;
    if (!m_defaultDir.isValid())
        return {};
    const QString file = m_defaultDir.filePath(QStringLiteral("default.wav"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(WaveSynth::DefaultSound()) < 0)
        return {};
    out.close();
    m_defaultFile = file;
    return m_defaultFile;
}
