// The Listen buttons heard: the test starts its own sound server (PulseAudio with a null sink at
// the clips' rate, in a private runtime folder), presses Listen1 and Listen2 on the Looks page,
// records the sink's monitor and finds each clip, as the core decodes it, in the recording
// (aligned, at least 30 dB above the difference). A press while a clip plays replaces it. Where no
// sound server can be started the tests are skipped with the reason.

#include <cmath>
#include <span>

#include "player/ui/player_editor_window.h"
#include "player/voice_clip.h"
#include "sample/sample_voice.h"
#include "support/loaded_sample_qt.h"
#include "voice/wav.h"

using namespace tarvo;

namespace {

constexpr std::uint16_t kCall = 15833;  // a call whose two entries hold clips on the sample disc
constexpr int kRate = sample::kVoiceSampleRate;
constexpr double kMinDb = 30;

std::vector<std::int16_t> samplesOf(const std::optional<Bytes>& wav) {
    std::vector<std::int16_t> out;
    const auto pcm = wav ? wavPcmOf(*wav) : std::nullopt;
    if (!pcm) return out;
    for (std::size_t i = 0; i + 1 < pcm->dataSize; i += 2)
        out.push_back(static_cast<std::int16_t>(*readU16LE(*wav, pcm->dataOffset + i)));
    return out;
}

// Where in `recording` (starting between `from` and `to`) `clip` fits best, judged on 256
// samples from the clip's first loud one; and the ratio, in dB, of the clip's power to that of the
// difference over the whole clip there.
struct Found {
    std::size_t at = 0;
    double db = -1000;
};
Found findClip(const std::vector<std::int16_t>& recording, std::span<const std::int16_t> clip, std::size_t from,
               std::size_t to) {
    std::size_t loud = 0;
    while (loud < clip.size() && std::abs(clip[loud]) < 500) ++loud;
    const std::size_t probeEnd = std::min(clip.size(), loud + 256);
    Found best;
    double bestError = 1e300;
    for (std::size_t at = from; at < to && at + clip.size() <= recording.size(); ++at) {
        double error = 0;
        for (std::size_t i = loud; i < probeEnd && error < bestError; ++i) {
            const double d = double(recording[at + i]) - clip[i];
            error += d * d;
        }
        if (error < bestError) bestError = error, best.at = at;
    }
    if (bestError == 1e300) return best;
    double signal = 0, noise = 0;
    for (std::size_t i = 0; i < clip.size(); ++i) {
        signal += double(clip[i]) * clip[i];
        const double d = double(recording[best.at + i]) - clip[i];
        noise += d * d;
    }
    best.db = noise == 0 ? 1000 : 10 * std::log10(signal / noise);
    return best;
}

QString dbText(const char* what, double db) { return QStringLiteral("%1: %2 dB").arg(what).arg(db); }

}  // namespace

class VoicePlaybackTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        m_recorder = QStandardPaths::findExecutable(QStringLiteral("parec"));
        if (server.isEmpty() || m_recorder.isEmpty()) {
            m_skip = "pulseaudio and parec are not installed (Debian: pulseaudio, pulseaudio-utils)";
            return;
        }
        // Everything of the server (socket, state, its home) stays in the test's own folder; no
        // session bus is needed, and as root it runs too (with a warning).
        const QString dir = m_dir.path();
        const QString socket = dir + QStringLiteral("/native");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH", "HOME"}) env.insert(name, dir);
        m_server.setProcessEnvironment(env);
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(server, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                                QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm=yes"),
                                QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket,
                                QStringLiteral("--load=module-null-sink sink_name=tarvo_test format=s16le "
                                               "channels=1 rate=") +
                                    QString::number(kRate)});
        for (int i = 0; i < 100 && !QFile::exists(socket) && m_server.state() != QProcess::NotRunning; ++i)
            QTest::qWait(50);
        if (!QFile::exists(socket)) {
            m_skip = "the sound server did not start: " + m_server.readAll().toStdString();
            return;
        }
        // Every sound client of this process (the player's audio output) talks to this server.
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
    }
    void cleanupTestCase() {
        if (m_server.state() == QProcess::NotRunning) return;
        m_server.terminate();
        m_server.waitForFinished(3000);
    }

    // Each button's clip comes out of the sound device as decoded, one after the other.
    void listenButtonsAreHeard() {
        if (!m_skip.empty()) QSKIP(m_skip.c_str());
        test::LoadedSample sample(SourceMode::CdImage);
        const auto clip1 = samplesOf(readVoiceClip(sample.store.archive(), 1, kCall));
        const auto clip2 = samplesOf(readVoiceClip(sample.store.archive(), 2, kCall));
        QVERIFY(!clip1.empty() && !clip2.empty());
        auto window = openOnCall(sample);
        startRecording();
        click(window.get(), "Listen1", clip1.size() + kRate / 2);
        click(window.get(), "Listen2", clip2.size() + kRate / 2);
        const auto recording = stopRecording();
        const Found first = findClip(recording, clip1, 0, recording.size());
        QVERIFY2(first.db >= kMinDb, qPrintable(dbText("Listen1", first.db)));
        const Found second = findClip(recording, clip2, first.at + clip1.size(), recording.size());
        QVERIFY2(second.db >= kMinDb, qPrintable(dbText("Listen2", second.db)));
    }

    // A press while a clip plays stops it: the first clip's start is heard, then the second clip
    // whole, before the first could have ended and with nothing of the first mixed in.
    void aNewPressReplacesThePlayingClip() {
        if (!m_skip.empty()) QSKIP(m_skip.c_str());
        test::LoadedSample sample(SourceMode::CdImage);
        const auto clip1 = samplesOf(readVoiceClip(sample.store.archive(), 1, kCall));
        const auto clip2 = samplesOf(readVoiceClip(sample.store.archive(), 2, kCall));
        QVERIFY(clip1.size() > std::size_t{kRate} / 2 && !clip2.empty());
        auto window = openOnCall(sample);
        startRecording();
        click(window.get(), "Listen1", kRate / 4);
        click(window.get(), "Listen2", clip2.size() + kRate / 2);
        const auto recording = stopRecording();
        const Found second = findClip(recording, clip2, 0, recording.size());
        QVERIFY2(second.db >= kMinDb, qPrintable(dbText("Listen2", second.db)));
        const Found start = findClip(recording, std::span(clip1).first(kRate / 10), 0, second.at);
        QVERIFY2(start.db >= kMinDb, qPrintable(dbText("the start of Listen1", start.db)));
        QVERIFY2(start.at + clip1.size() > second.at, "the first clip was heard to its end");
    }

private:
    std::unique_ptr<gui::PlayerEditorWindow> openOnCall(test::LoadedSample& sample) {
        writeCallNumber(sample.blocks(), 12, kCall);
        auto window = std::make_unique<gui::PlayerEditorWindow>(sample.context, 12);
        window->show();
        return window;
    }
    // Presses the button, then lets `samples` sample times of sound go by.
    static void click(QWidget* window, const char* button, std::size_t samples) {
        test::click(window, button);
        QTest::qWait(static_cast<int>(samples * 1000 / kRate));
    }
    // The recorder asks for short fragments: with its default (seconds of sound held back) the
    // end of a recording is lost when it is stopped.
    void startRecording() {
        const QString file = m_dir.filePath(QStringLiteral("recording.raw"));
        m_recording.setStandardOutputFile(file);
        m_recording.start(m_recorder,
                          {QStringLiteral("--device=tarvo_test.monitor"), QStringLiteral("--latency-msec=20"),
                           QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                           QStringLiteral("--rate=") + QString::number(kRate)});
        QVERIFY(m_recording.waitForStarted());
        // The monitor sends silence while nothing plays: once 100 ms of it arrived, it records.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() >= 2 * kRate / 10, 5000);
    }
    std::vector<std::int16_t> stopRecording() {
        m_recording.terminate();
        m_recording.waitForFinished(3000);
        const Bytes raw = test::readFile(m_dir.filePath(QStringLiteral("recording.raw")).toStdString());
        std::vector<std::int16_t> out(raw.size() / 2);
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<std::int16_t>(*readU16LE(raw, 2 * i));
        return out;
    }

    QTemporaryDir m_dir;
    QProcess m_server, m_recording;
    QString m_recorder;
    std::string m_skip;
};

QTEST_MAIN(VoicePlaybackTest)
#include "voice_playback_gui_test.moc"
