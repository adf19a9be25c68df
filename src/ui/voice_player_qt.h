#pragma once
// Plays a voice call's WAV image from memory through the desktop's audio output, without holding
// up the window: a new clip replaces the one playing. Without an audio output nothing is played
// and nothing is said.

#include <memory>

#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include "store/bytes.h"

class QAudioSink;

namespace tarvo::gui {

class VoicePlayer : public QObject {
    Q_OBJECT
public:
    explicit VoicePlayer(QObject* parent = nullptr);
    ~VoicePlayer() override;

    // Starts playing a 16-bit PCM WAV image; false when it is no such image or there is no
    // audio output to play it on.
    bool play(ByteSpan wav);
    void stop();

private:
    std::unique_ptr<QAudioSink> m_sink;
    QByteArray m_samples;
    QBuffer m_buffer;
};

}  // namespace tarvo::gui
