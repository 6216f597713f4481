#pragma once

// The four options of kelvracmd and how they are found among the arguments.
// Switches are looked for in every argument, the two file names included:
// names and options are told apart only by their position in the checks.

#include <string>
#include <string_view>
#include <vector>

namespace kelvra {

inline constexpr std::string_view LoopCountSwitch = "-L";
inline constexpr std::string_view VerboseLevelSwitch = "-V";
inline constexpr std::string_view PixelWidthSwitch = "-X";
inline constexpr std::string_view PixelHeightSwitch = "-Y";

/// The option values, all kept as text as they were written.
struct ConsoleOptions {
    std::string loopCount = "0";
    std::string verboseLevel = "1";
    std::string pixelWidth = "0";
    std::string pixelHeight = "0";
};

/// True when LowerTrim of some argument begins with LowerTrim(switchText).
bool SwitchPresent(const std::vector<std::string>& arguments, std::string_view switchText);

/// The rest (from the third character, exactly as written) of the first
/// argument whose first two characters, through LowerTrim, equal
/// LowerTrim(switchText); empty when none matches.
std::string SwitchValue(const std::vector<std::string>& arguments, std::string_view switchText);

/// Defaults, replaced by SwitchValue for every switch SwitchPresent finds.
ConsoleOptions ReadConsoleOptions(const std::vector<std::string>& arguments);

} // namespace kelvra
