// The questions and errors the settings windows ask, as an English-speaking
// player reads them.
#pragma once

namespace MessageTexts {

struct Message {
    const wchar_t* title;
    const wchar_t* text;
};

inline constexpr Message SaveQuestion{L"Accept", L"Save these settings?"};
inline constexpr Message DiscardQuestion{L"Accept", L"Exit without saving changes?"};
inline constexpr Message InvalidPort{L"Error", L"Invalid port."};
inline constexpr Message GamepadNotDetected{L"Error", L"Gamepad not detected."};
inline constexpr Message NotSaved{L"Error", L"The settings could not be saved."};

} // namespace MessageTexts
