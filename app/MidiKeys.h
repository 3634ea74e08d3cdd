#pragma once

// Notes played on a MIDI keyboard, turned into clicks of the trainer's keys
// at the moments a typed key would be handled.
//
// A handler that sleeps (the exercises' playback) holds the user's input: it
// is handled after the handler returns, in the order it was made. Posted
// events are not held by the sleep, so notes that come meanwhile wait here
// and go in between the held keys and clicks by time: each input event that
// is handled after the wait first lets through the notes that came before
// it; the rest follow once the held input is through. While another window
// is modal (a message box, a dialog) the keys take no input, and neither do
// the notes.

#include <QObject>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

class QTimer;

class TMidiKeys : public QObject {
public:
    using TKeyClick = std::function<void(int semitone)>;

    // How many notes may wait for a handler to return; more are dropped.
    static constexpr std::size_t kHeldCapacity = 256;

    // click: runs the key of the semitone (the note sounds, then it answers).
    // window: the trainer's main window; notes count only while no other
    // window is modal.
    TMidiKeys(QObject* window, TKeyClick click);
    ~TMidiKeys() override;

    // A note from the MIDI input, on the user-interface thread.
    void Note(int semitone);
    // Lets through every waiting note, as the timer does once the held input
    // is through.
    void DeliverHeld();

    std::size_t Waiting() const { return held_.size(); }
    std::uint64_t Dropped() const { return dropped_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct HeldNote {
        int semitone;
        std::uint32_t at;  // tick count when it came
    };
    bool InsideHandler() const;
    bool OtherWindowModal() const;
    void Tick();
    void DeliverBefore(std::uint32_t inputTime);

    QObject* window_;
    TKeyClick click_;
    std::deque<HeldNote> held_;
    std::uint64_t dropped_ = 0;
    QTimer* timer_;
    bool handlerReturned_ = false;
    // Input event time + offset = tick count; learnt from input handled
    // while no note waits, when it is handled as soon as it is made.
    std::optional<std::int32_t> inputClockOffset_;
};
