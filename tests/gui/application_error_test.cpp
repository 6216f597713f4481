// An error that leaves an event handler of kelvra is shown in the standard
// error box, and the program goes on handling events.

#include "gui/kelvra_application.h"
#include "tests/gui/recording_message_boxes.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace kelvra {
namespace {

KelvraApplication* g_app = nullptr;

TEST(KelvraApplicationTest, AHandlerErrorIsShownAndTheLoopGoesOn)
{
    test::RecordingMessageBoxes boxes;
    g_app->SetErrorReport(&boxes);
    bool laterRan = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("List index out of bounds (5)"); });
    QTimer::singleShot(0, [&] { laterRan = true; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "List index out of bounds (5)");
    EXPECT_EQ(boxes.boxes[0].caption, "Kelvra Converter");
    EXPECT_EQ(boxes.boxes[0].flags, kMbOk | kMbIconError);
    EXPECT_TRUE(laterRan);
    g_app->SetErrorReport(nullptr);
}

} // namespace
} // namespace kelvra

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    kelvra::KelvraApplication app(argc, argv);
    kelvra::g_app = &app;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
