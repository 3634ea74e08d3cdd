#pragma once

// A JACK client whose server has gone away must not be touched again:
// libjack crashes when such a client is closed. A watch on the running
// server tells the ports made on it whether it still lives.

#include <atomic>
#include <memory>

// True once the server it was taken from has gone.
using TJackServerGone = std::shared_ptr<const std::atomic<bool>>;

// The watch on the JACK server that runs now; null when none runs.
TJackServerGone WatchJackServer();

// Destroys a client-owning RtMidi object, or lets it go (its memory stays
// taken) when its server has gone.
template <class T>
void CloseJackObject(std::unique_ptr<T>& object, const TJackServerGone& gone)
{
    if (gone && gone->load())
        (void)object.release();
    else
        object.reset();
}
