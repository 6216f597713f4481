// The sample book demo.azw3 that the build puts beside the programs: it is
// what the writer makes of DemoBook, and our reader finds in it the chapters,
// the section, the picture, the cover and the metadata it was written with.

#include "converter/mobi_reader.h"
#include "converter/source_file.h"
#include "tests/converter/converter_test_support.h"
#include "tools/demo_book/demo_book.h"
#include "tools/demo_book/mobi_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvra::test {
namespace {

TEST(DemoBook, TheShippedFileIsTheWrittenDemoBook)
{
    EXPECT_EQ(ReadFile(KELVRA_DEMO_BOOK), WriteAzw3Book(DemoBook()));
}

TEST(DemoBook, ReadsBackWithChaptersPictureCoverAndMetadata)
{
    const Book book = ReadMobiBook(LoadSourceFile(KELVRA_DEMO_BOOK));
    const Book source = DemoBook();

    EXPECT_EQ(book.metadata.title, source.metadata.title);
    EXPECT_EQ(book.metadata.authors, source.metadata.authors);
    EXPECT_EQ(book.metadata.language, "en");
    EXPECT_EQ(book.metadata.publisher, source.metadata.publisher);

    ASSERT_EQ(book.chapters.size(), source.chapters.size());
    for (size_t i = 0; i < source.chapters.size(); ++i) {
        SCOPED_TRACE(source.chapters[i].title);
        EXPECT_EQ(book.chapters[i].title, source.chapters[i].title);
        EXPECT_EQ(book.chapters[i].level, source.chapters[i].level);
        EXPECT_EQ(BlockTexts(Book{{}, {book.chapters[i]}, {}, {}}), BlockTexts(Book{{}, {source.chapters[i]}, {}, {}}));
    }

    ASSERT_FALSE(book.coverImageId.empty());
    const auto cover = std::find_if(book.images.begin(), book.images.end(),
                                    [&](const Image& image) { return image.id == book.coverImageId; });
    ASSERT_NE(cover, book.images.end());
    EXPECT_EQ(cover->data, source.images[0].data);
    EXPECT_EQ(book.images.size(), 2u);
}

} // namespace
} // namespace kelvra::test
