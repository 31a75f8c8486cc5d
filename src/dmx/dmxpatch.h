#pragma once

#include <QCoreApplication>
#include <QString>

#include <optional>

// Where the board's eight channels sit on the lighting network: a universe, and the first of
// eight slots in it. sACN numbers its universes 1..63999; Art-Net its 15-bit port-addresses
// 0..32767, also written NET:SUB:UNI. Slots count from 1, as consoles show them.
struct DmxPatch
{
    Q_DECLARE_TR_FUNCTIONS(DmxPatch)

public:
    enum class Protocol : std::uint8_t { Sacn, ArtNet };

    static constexpr int SlotCount = 512;
    // The last start that leaves room for all eight channels.
    static constexpr int LastStart = 505;
    static constexpr int FirstSacnUniverse = 1;
    static constexpr int LastSacnUniverse = 63999;
    static constexpr int LastPortAddress = 32767;

    Protocol protocol = Protocol::Sacn;
    int universe = 1;
    int start = 1;

    bool operator==(const DmxPatch &) const = default;

    // "UNIVERSE[/START]"; for Art-Net UNIVERSE may be NET:SUB:UNI. None, with why, when the
    // text is not one.
    static std::optional<DmxPatch> parse(Protocol protocol, const QString &text, QString *problem);
    // "sACN 1", "Art-Net 0:0:1", with "/START" when the start is not 1.
    QString toString() const;
    // The universe alone, as the protocol writes it.
    QString universeText() const;
};
