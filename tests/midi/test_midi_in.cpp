#include "midi/MidiIn.h"
#include "tests/midi/FakeMidiPorts.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <thread>

namespace {

using Bytes = std::vector<unsigned char>;

TEST(NoteOnSemitone, OnlyNoteOnsWithVelocityCount)
{
    struct Case {
        const char* what;
        Bytes bytes;
        int semitone;
    } cases[] = {
        {"note-on, channel 1", {0x90, 48, 100}, 0},
        {"note-on, channel 16, velocity 1", {0x9F, 61, 1}, 1},
        {"highest note", {0x90, 127, 127}, 7},
        {"velocity 0 is a note-off", {0x90, 48, 0}, -1},
        {"note-off", {0x80, 48, 64}, -1},
        {"controller", {0xB0, 7, 100}, -1},
        {"program change", {0xC0, 5}, -1},
        {"system exclusive", {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, -1},
        {"running status", {48, 100}, -1},
        {"cut short", {0x90, 48}, -1},
        {"status byte as note", {0x90, 0x90, 100}, -1},
        {"status byte as velocity", {0x90, 48, 0x80}, -1},
        {"one byte too many", {0x90, 48, 100, 1}, -1},
        {"empty", {}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NoteOnSemitone(c.bytes.data(), c.bytes.size()), c.semitone) << c.what;
}

TEST(MidiInChoice, ParsesEveryForm)
{
    struct Case {
        std::optional<std::string_view> value;
        TMidiInKind kind;
        std::string argument;
        bool valid;
    } cases[] = {
        {std::nullopt, mikAuto, "", true}, {"", mikAuto, "", true},          {"auto", mikAuto, "", true},
        {"AUTO", mikAuto, "", true},       {"none", mikNone, "", true},       {"port:USB MIDI", mikPort, "USB MIDI", true},
        {"port:a:b", mikPort, "a:b", true}, {"port:", mikPort, "", false},    {"auto:x", mikAuto, "", false},
        {"keyboard", mikNone, "", false},
    };
    for (const Case& c : cases) {
        const TMidiInChoice choice = ParseMidiInChoice(c.value);
        const std::string shown(c.value.value_or("(unset)"));
        EXPECT_EQ(choice.Valid(), c.valid) << shown;
        if (!c.valid) {
            EXPECT_NE(choice.error.find(kMidiInVariable), std::string::npos) << shown;
            continue;
        }
        EXPECT_EQ(choice.kind, c.kind) << shown;
        EXPECT_EQ(choice.argument, c.argument) << shown;
    }
}

TEST(MidiInChoice, ChoosesPorts)
{
    FakeMidiPorts ports;
    using V = std::vector<std::string>;
    EXPECT_EQ(PortsForChoice(ParseMidiInChoice(std::nullopt), ports), V{"Keys A"});
    EXPECT_EQ(PortsForChoice(ParseMidiInChoice("port:Keys"), ports), V{"Keys A"});
    EXPECT_EQ(PortsForChoice(ParseMidiInChoice("port:keys b"), ports), V{"Keys B"});
    EXPECT_EQ(PortsForChoice(ParseMidiInChoice("port:nothing"), ports), V{});
    EXPECT_EQ(PortsForChoice(ParseMidiInChoice("none"), ports), V{});
    EXPECT_EQ(PortsForChoice(ParseMidiInChoice("bad"), ports), V{});
    ports.hardware.clear();
    EXPECT_EQ(PortsForChoice(ParseMidiInChoice("auto"), ports), V{});
}

class InboxTest : public ::testing::Test {
protected:
    FakeMidiPorts ports;
    std::vector<int> heard;
    std::unique_ptr<TMidiNoteInbox> inbox =
        std::make_unique<TMidiNoteInbox>(ports, [this](int s) { heard.push_back(s); }, 100);

    // Handles what was posted, as the event loop would.
    static void Pump()
    {
        for (int i = 0; i < 200; ++i)
            QCoreApplication::sendPostedEvents();
    }
};

TEST_F(InboxTest, NotesFromAnotherThreadArriveInOrderOnThisOne)
{
    ASSERT_TRUE(inbox->Connect("Keys A"));
    std::thread port([this] {
        for (unsigned char n : {60, 62, 64, 65, 67})
            ports.Send("Keys A", {0x90, n, 100});
    });
    port.join();
    EXPECT_TRUE(heard.empty()) << "handled on the port's thread";
    Pump();
    EXPECT_EQ(heard, (std::vector<int>{0, 2, 4, 5, 7}));
}

TEST_F(InboxTest, EverythingButNoteOnsChangesNothing)
{
    ASSERT_TRUE(inbox->Connect("Keys A"));
    for (const Bytes& b : {Bytes{0x90, 60, 0}, Bytes{0x80, 60, 64}, Bytes{0xB0, 64, 127}, Bytes{0xF0, 1, 2, 0xF7},
                           Bytes{60, 100}, Bytes{0xE0, 0, 64}, Bytes{0xFE}, Bytes{}})
        ports.Send("Keys A", b);
    Pump();
    EXPECT_TRUE(heard.empty());
}

TEST_F(InboxTest, ConnectsAndDisconnectsPorts)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(inbox->Connect("Broken keys"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "ladoton: cannot connect to MIDI input port Broken keys\n");
    ASSERT_TRUE(inbox->Connect("Keys A"));
    ASSERT_TRUE(inbox->Connect("Keys B"));
    EXPECT_EQ(inbox->ConnectedPorts(), (std::vector<std::string>{"Keys A", "Keys B"}));
    inbox->Disconnect("Keys A");
    EXPECT_FALSE(ports.IsOpen("Keys A"));
    EXPECT_FALSE(ports.Send("Keys A", {0x90, 60, 1}));
    ports.Send("Keys B", {0x90, 61, 1});
    Pump();
    EXPECT_EQ(heard, std::vector<int>{1});
    inbox.reset();
    EXPECT_FALSE(ports.IsOpen("Keys B")) << "closing the inbox closes its ports";
}

TEST_F(InboxTest, AFloodIsBoundedAndCounted)
{
    ASSERT_TRUE(inbox->Connect("Keys A"));
    for (int i = 0; i < 1000; ++i)
        ports.Send("Keys A", {0x90, 60, 100});
    EXPECT_EQ(inbox->Dropped(), 900u);
    Pump();
    EXPECT_EQ(heard.size(), 100u);
    // Room again once the notes were handled.
    ports.Send("Keys A", {0x90, 61, 100});
    Pump();
    EXPECT_EQ(heard.back(), 1);
}

TEST_F(InboxTest, APortStillSendingWhileTheInboxGoesAwayDoesNoHarm)
{
    ASSERT_TRUE(inbox->Connect("Keys A"));
    std::atomic<bool> stop{false};
    std::thread port([&] {
        while (!stop)
            ports.Send("Keys A", {0x90, 60, 100});
    });
    Pump();
    inbox.reset();
    stop = true;
    port.join();
    Pump();
    SUCCEED();
}

}  // namespace
