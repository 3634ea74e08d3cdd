#include "platform/midi/JackServer.h"

#include "platform/midi/MidiDiagnostics.h"

#include <jack/jack.h>

#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

bool IsSocket(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

bool IsFolder(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

const char* NonEmpty(const char* value)
{
    return value && *value ? value : nullptr;
}

}  // namespace

TJackPlaces JackPlacesFromEnvironment()
{
    TJackPlaces places;
    if (const char* name = NonEmpty(std::getenv("JACK_DEFAULT_SERVER")))
        places.serverName = name;
    places.uid = unsigned(::getuid());
    const char* runtime = NonEmpty(std::getenv("PIPEWIRE_RUNTIME_DIR"));
    if (!runtime)
        runtime = NonEmpty(std::getenv("XDG_RUNTIME_DIR"));
    if (runtime) {
        const char* remote = NonEmpty(std::getenv("PIPEWIRE_REMOTE"));
        places.pipewireSocket = std::string(runtime) + "/" + (remote ? remote : "pipewire-0");
    }
    return places;
}

bool JackServerMayRun(const TJackPlaces& places)
{
    const std::string jack2 = places.shmDir + "/jack_" + places.serverName + "_";
    return IsSocket(jack2 + std::to_string(places.uid) + "_0") || IsSocket(jack2 + "0")
           || IsFolder(places.shmDir + "/jack-" + std::to_string(places.uid))
           || (!places.pipewireSocket.empty() && IsSocket(places.pipewireSocket));
}
