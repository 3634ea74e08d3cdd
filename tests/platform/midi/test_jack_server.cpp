#include "platform/midi/JackServer.h"
#include "tests/platform/midi/MidiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A socket file at path, as a server leaves it.
void MakeSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    ::close(fd);
}

}  // namespace

TEST(JackServer, AskedOnlyWhenAServerLeftItsSocket)
{
    struct Case {
        const char* what;
        const char* socket;  // under the folder, or nullptr
        const char* folder;  // likewise
        const char* file;    // likewise
        bool mayRun;
    };
    const Case table[] = {
        {"nothing there", nullptr, nullptr, nullptr, false},
        {"JACK 2", "jack_studio_1000_0", nullptr, nullptr, true},
        {"JACK 2 open to every user", "jack_studio_0", nullptr, nullptr, true},
        {"JACK 2, another user", "jack_studio_1001_0", nullptr, nullptr, false},
        {"JACK 2, another server", "jack_default_1000_0", nullptr, nullptr, false},
        {"a plain file by the socket's name", nullptr, nullptr, "jack_studio_1000_0", false},
        {"JACK 1", nullptr, "jack-1000", nullptr, true},
        {"PipeWire", "run/pipewire-0", nullptr, nullptr, true},
        {"PipeWire's name as a plain file", nullptr, nullptr, "run/pipewire-0", false},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.what);
        TTestDir dir;
        ASSERT_EQ(::mkdir(dir.File("run").c_str(), 0700), 0);
        if (c.socket)
            MakeSocket(dir.File(c.socket));
        if (c.folder) {
            ASSERT_EQ(::mkdir(dir.File(c.folder).c_str(), 0700), 0);
        }
        if (c.file)
            WriteFile(dir.File(c.file), "");
        const TJackPlaces places{dir.Path(), "studio", 1000, dir.File("run/pipewire-0")};
        EXPECT_EQ(JackServerMayRun(places), c.mayRun);
    }
}

TEST(JackServer, PlacesComeFromTheEnvironment)
{
    {
        const TScopedEnv server("JACK_DEFAULT_SERVER", std::nullopt);
        const TScopedEnv pipewireDir("PIPEWIRE_RUNTIME_DIR", std::nullopt);
        TScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
        const TJackPlaces places = JackPlacesFromEnvironment();
        EXPECT_EQ(places.serverName, "default");
        EXPECT_EQ(places.uid, unsigned(::getuid()));
        EXPECT_EQ(places.pipewireSocket, "");
    }
    TScopedEnv server("JACK_DEFAULT_SERVER", "studio");
    TScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/7");
    TScopedEnv remote("PIPEWIRE_REMOTE", std::nullopt);
    {
        TScopedEnv pipewireDir("PIPEWIRE_RUNTIME_DIR", std::nullopt);
        EXPECT_EQ(JackPlacesFromEnvironment().serverName, "studio");
        EXPECT_EQ(JackPlacesFromEnvironment().pipewireSocket, "/run/user/7/pipewire-0");
    }
    TScopedEnv pipewireDir("PIPEWIRE_RUNTIME_DIR", "/run/pw");
    TScopedEnv named("PIPEWIRE_REMOTE", "pipewire-1");
    EXPECT_EQ(JackPlacesFromEnvironment().pipewireSocket, "/run/pw/pipewire-1");
}
