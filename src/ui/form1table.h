#pragma once

#include "protocol/boardnumbers.h"
#include "ui/twips.h"

#include <array>

// The controls of the panel window, in twips, with their texts and tab indexes.
// Controls inside a frame are placed from the frame's top-left corner. The labels and
// frames take no focus, so their tab indexes (28..34, 39, 40 and 45, 59) go unused.
namespace Form1Table {

// A caption for each channel and one for the master.
inline constexpr int LabelCount = Board::ChannelCount + 1;
// Each frame holds a button for every scene, or for every mode.
inline constexpr int OptionCount = Board::SceneCount;
static_assert(Board::SceneCount == Board::ModeCount);

inline constexpr int ClientWidth = 12525;  // 835 pixels
inline constexpr int ClientHeight = 10215; // 681 pixels

// Left edge of channel column i; the master column stands at 9960.
constexpr int X(int i) { return 840 + 1080 * i; }
inline constexpr int MasterX = 9960;

// Label1(0..7) head the channel columns, Label1(8) the master column.
inline constexpr std::array<const char *, LabelCount> Label1Text = {
    "調光一", "調光二", "調光三", "調光四", "調光五", "調光六", "調光七", "調光八", "調光全"};
inline constexpr std::array<int, LabelCount> Label1Left = {840,  1920, 3120, 4200,   5280,
                                                           6240, 7440, 8400, MasterX};
constexpr Twips Label1(int i) { return {Label1Left[i], 360, i == 0 ? 855 : 615, 375}; }
constexpr double Label1PointSize(int i) { return i == 0 ? 9.75 : 9.0; }

//                                                 ch 0   1   2   3   4   5   6   7
inline constexpr std::array<int, Board::ChannelCount> VScroll1Tab = {0, 2, 4, 6, 8, 10, 24, 35};
inline constexpr std::array<int, Board::ChannelCount> Text1Tab = {1, 3, 5, 7, 9, 11, 25, 36};
inline constexpr std::array<int, Board::ChannelCount> Command1Tab = {12, 14, 16, 18,
                                                                     20, 22, 26, 37};
inline constexpr std::array<int, Board::ChannelCount> Command2Tab = {13, 15, 17, 19,
                                                                     21, 23, 27, 38};

constexpr Twips VScroll1(int i) { return {X(i), 840, 615, 3015}; }
constexpr Twips Text1(int i) { return {X(i), 4080, 615, 495}; }
constexpr Twips Command1(int i) { return {X(i), 5040, 615, 615}; }
constexpr Twips Command2(int i) { return {X(i), 5880, 615, 615}; }

inline constexpr Twips VScroll2 = {MasterX, 840, 615, 3015};
inline constexpr Twips Text2 = {MasterX, 4080, 615, 495};
inline constexpr Twips Command3 = {MasterX, 5040, 735, 615};
inline constexpr Twips Command4 = {MasterX, 5880, 735, 615};
inline constexpr Twips Command5 = {11280, 3600, 735, 615};
inline constexpr Twips Image2 = {11160, 5040, 885, 675};
inline constexpr Twips Frame1 = {840, 6960, 10575, 1215};
inline constexpr Twips Frame2 = {840, 8520, 10575, 1095};
constexpr Twips OptionButton(int i) { return {360 + 840 * i, 360, 735, 615}; }

inline constexpr int VScroll2Tab = 41;
inline constexpr int Text2Tab = 42;
inline constexpr int Command3Tab = 43;
inline constexpr int Command4Tab = 44;
constexpr int Option1Tab(int i) { return 46 + i; }
inline constexpr int Command5Tab = 58;
constexpr int Option2Tab(int i) { return 60 + i; }

// Beyond the board's original panel, in its free space: the column right of the master
// above the send-settings button, and the strip under the mode row. Their tab stops come
// after all the others.
inline constexpr Twips Blackout = {11160, 840, 885, 855};
inline constexpr Twips SendAll = {11280, 2760, 735, 615};
inline constexpr Twips FadeLabel = {11160, 1800, 885, 285};
inline constexpr Twips FadeTime = {11160, 2100, 885, 450};
inline constexpr Twips LineState = {840, 9690, 5700, 405};
inline constexpr Twips Undo = {6660, 9690, 840, 405};
inline constexpr Twips Redo = {7560, 9690, 840, 405};
inline constexpr Twips BlackoutNotice = {8520, 9690, 2895, 405};
inline constexpr int BlackoutTab = 72;
inline constexpr int SendAllTab = 73;
inline constexpr int FadeTimeTab = 74;
inline constexpr int UndoTab = 75;
inline constexpr int RedoTab = 76;
inline constexpr const char *BlackoutText = "全暗";
inline constexpr const char *SendAllText = "全部重送";
inline constexpr const char *BlackoutNoticeText = "全暗中";
inline constexpr const char *FadeLabelText = "淡變秒數";
inline constexpr const char *UndoText = "復原";
inline constexpr const char *RedoText = "重做";

inline constexpr const char *FullOnText = "全開";
inline constexpr const char *OffText = "全關";
inline constexpr const char *Command5Text = "傳送設定";
inline constexpr const char *Frame1Text = "傳送資料";
inline constexpr const char *Frame2Text = "模式選擇";
inline constexpr const char *Image2ToolTip = "存入巨集";
inline constexpr const char *ReadOutInitialText = "0";

inline constexpr const char *CaptionFont = "新細明體";
inline constexpr double ReadOutPointSize = 15.75;

// Channel sliders: an arrow click moves one level, a click in the track five.
// The master moves one level either way.
inline constexpr int ChannelArrowStep = 1;
inline constexpr int ChannelTrackStep = 5;
inline constexpr int MasterArrowStep = 1;
inline constexpr int MasterTrackStep = 1;

// The button that shows how a phone joins the web remote, in the free column right of the
// master between the send-settings button and the picture; there only with --web.
inline constexpr Twips WebRemote = {11280, 4320, 735, 615};
inline constexpr int WebRemoteTab = 77;
inline constexpr const char *WebRemoteText = "手機遙控";

// The button that opens the cue list, in the same column below the picture.
inline constexpr Twips CueList = {11280, 5880, 735, 615};
inline constexpr int CueListTab = 78;
inline constexpr const char *CueListText = "序列";

// What a console on the network sends, beside the line's strip: the narrow column right of the
// scene and mode rows, a few short lines; there only with --sacn or --artnet.
inline constexpr Twips NetworkState = {11475, 6960, 990, 2655};
inline constexpr double NetworkStatePointSize = 8.0;

// With a MIDI surface: beside each read-out (the eight channels, then the master), in the
// gap before the next column, a mark while its fader waits for pickup; and the learn button
// in the corner under the mode row.
constexpr Twips PickupMark(int i)
{
    return {(i < Board::ChannelCount ? X(i) : MasterX) + 660, 4080, 180, 495};
}
inline constexpr Twips MidiLearn = {11475, 9690, 735, 405};
inline constexpr const char *MidiLearnText = "學習";

} // namespace Form1Table
