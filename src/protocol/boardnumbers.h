#pragma once

// The numbers of the dimmer board: how many channels, scenes and modes it has, and the
// range of a level. Every other place takes them from here.
namespace Board {

inline constexpr int ChannelCount = 8;
inline constexpr int SceneCount = 12;
inline constexpr int ModeCount = 12;

// A level runs from off to full on.
inline constexpr int Off = 0;
inline constexpr int FullOn = 99;

} // namespace Board
