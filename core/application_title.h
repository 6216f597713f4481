#pragma once

// The program title, the caption of the main window and of every message box
// the window and its dialogs show. Kept here, below both the window and the
// settings dialog, so that both use the same words.

namespace kelvra {

inline constexpr char kApplicationTitle[] = "Kelvra Converter";

} // namespace kelvra
