#include "platform/midi/JackServer.h"

#include "platform/midi/MidiDiagnostics.h"

#include <jack/jack.h>

#include <mutex>

namespace {

struct TWatch {
    std::mutex mutex;
    std::shared_ptr<std::atomic<bool>> gone;
};

TWatch& Watch()
{
    static TWatch watch;
    return watch;
}

void ServerGone(void* flag)
{
    static_cast<std::atomic<bool>*>(flag)->store(true);
}

}  // namespace

TJackServerGone WatchJackServer()
{
    TWatch& w = Watch();
    std::lock_guard lock(w.mutex);
    if (w.gone && !w.gone->load())
        return w.gone;
    // The last watch's server has gone (its client is let go with it), or
    // there was none: watch the one that runs now.
    QuietJackLibrary();
    jack_client_t* client = jack_client_open("ladoton-watch", JackNoStartServer, nullptr);
    if (!client)
        return nullptr;
    auto gone = std::make_shared<std::atomic<bool>>(false);
    jack_on_shutdown(client, ServerGone, gone.get());
    if (jack_activate(client) != 0) {
        jack_client_close(client);
        return nullptr;
    }
    w.gone = gone;
    return gone;
}
