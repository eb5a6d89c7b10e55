// tone-files: writes the embosser's tone files.
//   tone-files ROOT
// writes ROOT/usr/share/embosser/tones/tone400.raw, tone800.raw, tone1000.raw, tone1200.raw (sine
// tones of that many hertz) and noise.raw: raw signed 16-bit little-endian mono samples at
// 16000 Hz, 200 ms each, with 5 ms fades so that they start and end without a click.

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QTextStream>
#include <QtEndian>

#include <cmath>

namespace {

constexpr int kSampleRate = 16000;
constexpr int kSamples = kSampleRate / 5;
constexpr int kFadeSamples = kSampleRate / 200;
constexpr double kAmplitude = 0.5 * 32767;

double fade(int i)
{
    return std::min({ 1.0, double(i) / kFadeSamples, double(kSamples - 1 - i) / kFadeSamples });
}

// frequency 0: white noise from a fixed-seed generator, the same bytes on every run.
QByteArray samples(int frequency)
{
    QByteArray out(kSamples * 2, '\0');
    quint32 state = 0x2545f491;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < kSamples; ++i) {
        double value;
        if (frequency > 0) {
            value = std::sin(2 * pi * frequency * i / kSampleRate);
        } else {
            state = state * 1664525u + 1013904223u;
            value = double(state >> 8) / double(1u << 23) - 1.0;
        }
        qToLittleEndian(qint16(std::lround(kAmplitude * fade(i) * value)), out.data() + 2 * i);
    }
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2 || arguments.at(1).startsWith(QLatin1Char('-'))) {
        err << "usage: tone-files ROOT\n";
        return 2;
    }
    const QDir dir(QDir(arguments.at(1)).filePath(QStringLiteral("usr/share/embosser/tones")));
    if (!dir.mkpath(QStringLiteral("."))) {
        err << "tone-files: cannot create " << dir.path() << '\n';
        return 1;
    }
    const std::pair<const char*, int> tones[] = { { "tone400.raw", 400 }, { "tone800.raw", 800 },
        { "tone1000.raw", 1000 }, { "tone1200.raw", 1200 }, { "noise.raw", 0 } };
    for (const auto& tone : tones) {
        QSaveFile file(dir.filePath(QLatin1String(tone.first)));
        if (!file.open(QIODevice::WriteOnly) || file.write(samples(tone.second)) < 0 || !file.commit()) {
            err << "tone-files: cannot write " << file.fileName() << '\n';
            return 1;
        }
    }
    return 0;
}
