#include "app/Entry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// X11 is asked for only when the session offers both and the user chose
// nothing; a choice of the user's, or a session of one kind, is left alone.
struct PlatformRow {
    const char* qpa;
    const char* wayland;
    const char* display;
    const char* expected;  // nullptr: left to Qt
};
const PlatformRow kPlatformRows[] = {
    {nullptr, "wayland-0", ":0", "xcb"},
    {"", "wayland-0", ":0", "xcb"},
    {"wayland", "wayland-0", ":0", nullptr},
    {"xcb", "wayland-0", ":0", nullptr},
    {"offscreen", "wayland-0", ":0", nullptr},
    {nullptr, "wayland-0", nullptr, nullptr},
    {nullptr, "wayland-0", "", nullptr},
    {nullptr, nullptr, ":0", nullptr},
    {nullptr, "", ":0", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
};

TEST(PreferredQtPlatform, X11WhenBothAreOfferedAndNoneIsChosen)
{
    for (const PlatformRow& row : kPlatformRows) {
        const char* got = PreferredQtPlatform(row.qpa, row.wayland, row.display);
        const std::string where = std::string("qpa=") + (row.qpa ? row.qpa : "(unset)") +
                                  " wayland=" + (row.wayland ? row.wayland : "(unset)") +
                                  " display=" + (row.display ? row.display : "(unset)");
        if (row.expected)
            EXPECT_STREQ(got, row.expected) << where;
        else
            EXPECT_EQ(got, nullptr) << where;
    }
}

}  // namespace
