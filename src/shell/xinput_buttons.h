// The button bits of an XInput controller's state (XINPUT_GAMEPAD's
// wButtons), for the code that reads controllers and the code that lets one
// drive the windows.
#pragma once

#include <cstdint>

namespace XInputButton {
inline constexpr std::uint16_t DPadUp = 0x0001;
inline constexpr std::uint16_t DPadDown = 0x0002;
inline constexpr std::uint16_t DPadLeft = 0x0004;
inline constexpr std::uint16_t DPadRight = 0x0008;
inline constexpr std::uint16_t Start = 0x0010;
inline constexpr std::uint16_t Back = 0x0020;
inline constexpr std::uint16_t LeftThumb = 0x0040;
inline constexpr std::uint16_t RightThumb = 0x0080;
inline constexpr std::uint16_t LeftShoulder = 0x0100;
inline constexpr std::uint16_t RightShoulder = 0x0200;
inline constexpr std::uint16_t A = 0x1000;
inline constexpr std::uint16_t B = 0x2000;
inline constexpr std::uint16_t X = 0x4000;
inline constexpr std::uint16_t Y = 0x8000;
} // namespace XInputButton
