#include "ui/voice_player_qt.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include "voice/wav.h"

namespace tarvo::gui {

VoicePlayer::VoicePlayer(QObject* parent) : QObject(parent) {}

VoicePlayer::~VoicePlayer() { stop(); }

bool VoicePlayer::play(ByteSpan wav) {
    stop();
    const auto pcm = wavPcmOf(wav);
    if (!pcm) return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return false;

    QAudioFormat format;
    format.setSampleRate(static_cast<int>(pcm->sampleRate));
    format.setChannelCount(pcm->channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return false;

    m_samples =
        QByteArray(reinterpret_cast<const char*>(wav.data() + pcm->dataOffset), static_cast<qsizetype>(pcm->dataSize));
    m_buffer.setData(m_samples);
    if (!m_buffer.open(QIODevice::ReadOnly)) return false;
    m_sink = std::make_unique<QAudioSink>(device, format);
    m_sink->start(&m_buffer);
    return m_sink->error() == QAudio::NoError;
}

void VoicePlayer::stop() {
    if (m_sink) {
        m_sink->stop();
        m_sink.reset();
    }
    if (m_buffer.isOpen()) m_buffer.close();
}

}  // namespace tarvo::gui
