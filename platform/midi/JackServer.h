#pragma once

// A JACK client whose server has gone away must not be touched again:
// libjack crashes when such a client is closed. A watch on the running
// server tells the ports made on it whether it still lives.

#include <atomic>
#include <memory>
#include <string>

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

// Where this user's JACK servers leave their sockets.
struct TJackPlaces {
    std::string shmDir = "/dev/shm";
    std::string serverName = "default";
    unsigned uid = 0;
    std::string pipewireSocket;  // empty without a runtime folder
};
// From JACK_DEFAULT_SERVER, the user id, PIPEWIRE_RUNTIME_DIR or
// XDG_RUNTIME_DIR, and PIPEWIRE_REMOTE.
TJackPlaces JackPlacesFromEnvironment();

// Whether a JACK server may answer: JACK 2's socket (with or without the
// user id), JACK 1's folder, or PipeWire's socket (whose JACK library
// answers JACK clients). Asking JACK's own library instead costs, when no
// server runs, some milliseconds and two megabytes that stay with the
// process (it opens a database for every client it tries to make).
bool JackServerMayRun(const TJackPlaces& places);
