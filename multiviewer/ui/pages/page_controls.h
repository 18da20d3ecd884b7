#pragma once

namespace brenvik::page_control {

// Controls of the setting pages that unit reports touch, by their dialog-template numbers, and the
// pictures of their bitmap buttons.

// LAYOUT page: the source list of window n (1..16).
constexpr int LayoutSourceList(int window) {
    return 1028 + window - 1;
}

// SWITCHER page: the source list of loop output n; outputs 9..16 continue at 1083.
constexpr int SwitcherOutputList(int output) {
    return output <= 8 ? 1074 + output - 1 : 1083 + output - 9;
}

// UMD OVERLAY page.
inline constexpr int kAllUmdButton = 1115;
inline constexpr int kAllUmdPictureOff = 201;
inline constexpr int kAllUmdPictureOn = 202;
constexpr int UmdWindowButton(int window) {
    return 1127 + window - 1;
}
constexpr int UmdWindowPicture(int window, bool on) {
    return (on ? 399 : 398) + 2 * (window - 1);
}

// COLORS page.
inline constexpr int kColourInputList = 1032;
inline constexpr int kUmdTextColourList = 1033;
inline constexpr int kUmdBackColourList = 1034;
inline constexpr int kColourWindowList = 1035;
inline constexpr int kFormatTextColourList = 1036;
inline constexpr int kFormatBackColourList = 1037;
inline constexpr int kBorderList = 1074;
inline constexpr int kTimecodeTextColourList = 1075;
inline constexpr int kTimecodeBackColourList = 1076;

// CONTROLS page.
inline constexpr int kOutputFormatList = 1051;
inline constexpr int kFormatStatusButton = 1116;
inline constexpr int kFormatStatusPictureOff = 205;
inline constexpr int kFormatStatusPictureOn = 206;
inline constexpr int kAudioAlarmButton = 1117;
inline constexpr int kAudioAlarmPictureOff = 203;
inline constexpr int kAudioAlarmPictureOn = 204;
inline constexpr int kTimecodeButton = 1118;
inline constexpr int kTimecodePictureOff = 282;
inline constexpr int kTimecodePictureOn = 283;

// AUDIO page.
inline constexpr int kAudioSourceList = 1074;
inline constexpr int kMeterWindowList = 1075;
inline constexpr int kMeterChannelList = 1077;
inline constexpr int kMeterOnRadio = 1141;
inline constexpr int kMeterOffRadio = 1142;
inline constexpr int kAllMetersButton = 1146;
inline constexpr int kAllMetersPictureOff = 452;
inline constexpr int kAllMetersPictureOn = 453;

} // namespace brenvik::page_control
