#pragma once

namespace kelvra {

/// How a path string is split into folder, name and extension.
/// Windows: "\" and ":" delimit. Posix: "/" alone delimits; "\" and ":" are
/// ordinary characters.
enum class PathStyle { Windows, Posix };

/// The style of the system the program runs on, chosen by the build.
inline constexpr PathStyle kHostPathStyle = PathStyle::KELVRA_HOST_PATH_STYLE;

} // namespace kelvra
