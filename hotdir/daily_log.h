#pragma once

// The hot folder's daily log: the file name for a day, the texts of its
// entries, and the append that writes them. Every line ends with CR LF; the
// text is written byte for byte as given (8-bit, no byte-order mark).

#include <string>
#include <string_view>

namespace kelvra {

/// "Start: [" + time + "]" CR LF "Excute File: " + input path.
std::string StartLogEntry(std::string_view time, std::string_view inputPath);

/// "Save to: " + nominal output + " [Success]" or " [Failed]" CR LF
/// "Finish: [" + time + "]".
std::string ResultLogEntry(std::string_view nominalOutputPath, bool success, std::string_view time);

/// AddTrailingBackslash(logFolder) + date ("yy-mm-dd") + ".log".
std::string DailyLogPath(std::string_view logFolder, std::string_view date);

/// Appends `text` and CR LF to the file at `path`, creating the file (not its
/// folder) when missing. When the file does not end with a line break, its
/// lines are first rewritten with CR LF endings (atomically), so that the
/// text starts on a line of its own. Throws std::runtime_error naming the file
/// when it cannot be written. Each append costs the same however long the
/// file already is.
void AppendLogText(std::string_view text, const std::string& path);

} // namespace kelvra
