#pragma once

// The book model every reader produces and the EPUB writer consumes: metadata,
// chapters made of blocks (headings, paragraphs, breaks, images) whose text is
// a list of styled inline runs, the images with their media types, an optional
// cover, and the table of contents. Plain values, owned by whoever holds the
// Book; no thread affinity. All text is UTF-8.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvra {

/// Character styles of an inline run; combined as bit flags.
enum InlineStyle : std::uint32_t {
    StylePlain = 0,
    StyleBold = 1u << 0,
    StyleItalic = 1u << 1,
    StyleUnderline = 1u << 2,
    StyleStrike = 1u << 3,
    StyleSuperscript = 1u << 4,
    StyleSubscript = 1u << 5,
    StyleCode = 1u << 6,
};

/// A piece of text with one set of styles. A run whose text is "\n" alone is a
/// line break inside its block. `link` is either "#anchor" (an anchor of this
/// book) or an absolute web address; empty means no link. `imageId` makes the
/// run an inline image (its text is then the alternative text).
struct InlineRun {
    std::string text;
    std::uint32_t styles = StylePlain;
    std::string link;
    std::string imageId;
    std::string anchor; ///< an anchor placed at the start of this run
};

enum class BlockKind {
    Paragraph,
    Heading,     ///< `level` 1 (top) and deeper
    SceneBreak,  ///< "* * *" and the like
    EmptyLine,
    Image,       ///< `imageId` names an entry of Book::images; runs hold the alternative text
};

/// How a paragraph is set apart from body text.
enum class BlockRole {
    Body,
    Subtitle,
    Epigraph,
    Verse,
    Cite,
    TextAuthor,
    Annotation,
    Note,
};

struct Block {
    BlockKind kind = BlockKind::Paragraph;
    BlockRole role = BlockRole::Body;
    int level = 1;
    std::vector<InlineRun> runs;
    std::string imageId;
    std::string anchor; ///< the id this block can be linked to; empty when none
};

/// One XHTML file of the book. `title` non-empty means the chapter has an
/// entry at depth `level` (1 = top) in the table of contents.
struct Chapter {
    std::string title;
    int level = 1;
    std::string anchor; ///< the id of the chapter itself, for links to it
    std::vector<Block> blocks;
};

struct Image {
    std::string id;        ///< the reader's name for it, unique within the book
    std::string mediaType; ///< as the reader was told; the writer checks the bytes
    std::string data;      ///< the file's bytes
};

struct Metadata {
    std::string title;
    std::vector<std::string> authors;
    std::string language;    ///< a BCP 47 tag; the writer guesses one when empty
    std::string identifier;  ///< the writer derives a stable one when empty
    std::string description;
    std::string publisher;
    std::string date;        ///< YYYY, YYYY-MM or YYYY-MM-DD; anything else is dropped
};

struct Book {
    Metadata metadata;
    std::vector<Chapter> chapters;
    std::vector<Image> images;
    std::string coverImageId; ///< empty: the book has no cover, and none is made up
};

/// Plain text of a run list, line breaks as blanks.
std::string RunsText(const std::vector<InlineRun>& runs);

/// A paragraph block holding one plain run.
Block TextBlock(std::string text, BlockKind kind = BlockKind::Paragraph, BlockRole role = BlockRole::Body);

} // namespace kelvra
