#include "cmd/command_options.h"

#include "core/paths.h"

namespace kelvra {

bool SwitchPresent(const std::vector<std::string>& arguments, std::string_view switchText)
{
    const std::string key = LowerTrim(switchText);
    for (const std::string& argument : arguments) {
        if (LowerTrim(argument).starts_with(key))
            return true;
    }
    return false;
}

std::string SwitchValue(const std::vector<std::string>& arguments, std::string_view switchText)
{
    const std::string key = LowerTrim(switchText);
    for (const std::string& argument : arguments) {
        if (argument.size() >= 2 && LowerTrim(std::string_view(argument).substr(0, 2)) == key)
            return argument.substr(2);
    }
    return {};
}

ConsoleOptions ReadConsoleOptions(const std::vector<std::string>& arguments)
{
    ConsoleOptions options;
    const auto take = [&arguments](std::string_view switchText, std::string& value) {
        if (SwitchPresent(arguments, switchText))
            value = SwitchValue(arguments, switchText);
    };
    take(LoopCountSwitch, options.loopCount);
    take(VerboseLevelSwitch, options.verboseLevel);
    take(PixelWidthSwitch, options.pixelWidth);
    take(PixelHeightSwitch, options.pixelHeight);
    return options;
}

} // namespace kelvra
