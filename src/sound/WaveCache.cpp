#include "sound/WaveCache.h"

#include "sound/WaveSynth.h"

#include <QFile>
#include <optional>

WaveCache::WaveCache(const WaveDecoder::Format& format) : m_format(format)
{
    if (const std::optional<QByteArray> wave = WaveDecoder::Decode(WaveSynth::DefaultSound(), m_format))
        m_default = *wave;
}

const QByteArray& WaveCache::Get(const QString& path)
{
    if (const auto found = m_waves.constFind(path); found != m_waves.constEnd())
        return found.value();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        if (std::optional<QByteArray> wave = WaveDecoder::Decode(file.readAll(), m_format))
            return m_waves.insert(path, *wave).value();
    }
    return m_default;
}

void WaveCache::SetFormat(const WaveDecoder::Format& format)
{
    if (format == m_format)
        return;
    *this = WaveCache(format);
}
