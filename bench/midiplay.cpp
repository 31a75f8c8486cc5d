// A MIDI control surface played from stdin, for the scripts that draw and measure the panel
// with one: an output and an input named NAME on JACK (or ALSA's sequencer with --alsa), and
// each line of stdin, hexadecimal bytes ("b0 01 64"), sent as one event. It says "ready" on
// stdout once its ports are up, and keeps them until stdin ends.
//
//   bench_midi_play NAME [--alsa]

#include "support/midisender.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: bench_midi_play NAME [--alsa]\n");
        return 2;
    }
    MidiSender surface(arguments[1], arguments.value(2) == QLatin1String("--alsa")
                                         ? MidiSender::System::Alsa
                                         : MidiSender::System::Jack);
    if (!surface.isOpen()) {
        std::fprintf(stderr, "bench_midi_play: %s\n", qPrintable(surface.errorString()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
        const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(line));
        if (!bytes.isEmpty())
            surface.send(bytes);
    }
    return 0;
}
