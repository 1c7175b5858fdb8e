#pragma once

#include "sound/WaveDecoder.h"

#include <QByteArray>
#include <QHash>
#include <QString>

// The sounds an output plays, each decoded once into the output's format and
// kept by path. A file that cannot be read or is not a wave this program
// understands gives the built-in default sound, and is not kept: a file that
// appears later is played then.
class WaveCache {
public:
    explicit WaveCache(const WaveDecoder::Format& format);

    const QByteArray& Get(const QString& path);
    // The output's format changed: every sound is decoded again when asked for.
    void SetFormat(const WaveDecoder::Format& format);

private:
    WaveDecoder::Format m_format;
    QHash<QString, QByteArray> m_waves;
    QByteArray m_default;
};
