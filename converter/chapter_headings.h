#pragma once

// Recognises the lines of a plain text that head a chapter ("Chapter 12",
// "CHAPTER XII.", "Part One: The Road", "Prologue") and the lines that only
// mark a break ("* * *"). Used by the text reader and for RTF paragraphs
// without heading styles.

#include <optional>
#include <string_view>

namespace kelvra {

/// How high a heading stands: a part (or book, volume) holds chapters.
enum class HeadingRank { Part = 1, Chapter = 2 };

/// The rank of `line` when it is a chapter heading; nullopt otherwise. Only
/// short lines qualify: a keyword (English and a few other languages, any
/// letter case), a number in digits, Roman numerals or words, and optionally
/// a separator and a title; or a lone "Prologue", "Epilogue" and the like.
std::optional<HeadingRank> ChapterHeadingRank(std::string_view line);

/// True for a line made only of "*", "#", "~", "-", "=" or "_" marks (and
/// blanks) that separates scenes: "* * *", "***", "#", "-----".
bool IsSceneBreak(std::string_view line);

} // namespace kelvra
