// midi-peer: a MIDI keyboard and a MIDI listener on a JACK server, for the
// end-to-end tests of the trainer's MIDI input and output.
//
//   midi-peer NAME
//
// makes the JACK ports NAME:out (it plays) and NAME-listen:in (it listens),
// prints "ready", then reads commands on standard input, one a line:
//   wait-connected         until something reads NAME:out; prints "connected"
//   note N                 sends the note-on 90 N 7F
//   raw HH HH ...          sends those bytes as one message
//   flood RATE SECONDS     sends RATE note-ons a second for SECONDS; prints "flooded"
//   quit
// Each message NAME-listen:in gets is printed as "in HH HH HH".

#include <RtMidi.h>
#include <jack/jack.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex outputMutex;

void Say(const std::string& line)
{
    std::lock_guard lock(outputMutex);
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void Heard(double, std::vector<unsigned char>* message, void*)
{
    std::string line = "in";
    char hex[4];
    for (unsigned char b : *message) {
        std::snprintf(hex, sizeof hex, " %02X", b);
        line += hex;
    }
    Say(line);
}

bool Connected(jack_client_t* client, const std::string& port)
{
    jack_port_t* p = jack_port_by_name(client, port.c_str());
    return p && jack_port_connected(p) > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: midi-peer NAME\n");
        return 2;
    }
    const std::string name = argv[1];
    try {
        RtMidiOut out(RtMidi::UNIX_JACK, name);
        out.openVirtualPort("out");
        RtMidiIn in(RtMidi::UNIX_JACK, name + "-listen");
        in.ignoreTypes(false, false, false);
        in.setCallback(Heard);
        in.openVirtualPort("in");
        jack_client_t* watch = jack_client_open((name + "-watch").c_str(), JackNoStartServer, nullptr);
        if (!watch) {
            std::fprintf(stderr, "midi-peer: no JACK server\n");
            return 1;
        }
        Say("ready");
        std::string line;
        while (std::getline(std::cin, line)) {
            std::istringstream words(line);
            std::string command;
            words >> command;
            if (command == "wait-connected") {
                while (!Connected(watch, name + ":out"))
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                Say("connected");
            } else if (command == "note") {
                int note = 0;
                words >> note;
                const unsigned char m[3] = {0x90, static_cast<unsigned char>(note), 0x7F};
                out.sendMessage(m, 3);
            } else if (command == "raw") {
                std::vector<unsigned char> bytes;
                unsigned b;
                while (words >> std::hex >> b)
                    bytes.push_back(static_cast<unsigned char>(b));
                if (!bytes.empty())
                    out.sendMessage(&bytes);
            } else if (command == "flood") {
                int rate = 0, seconds = 0;
                words >> rate >> seconds;
                const auto step = std::chrono::nanoseconds(1'000'000'000 / std::max(rate, 1));
                auto next = std::chrono::steady_clock::now();
                for (long i = 0; i < long(rate) * seconds; ++i) {
                    const unsigned char m[3] = {0x90, static_cast<unsigned char>(48 + i % 12), 0x7F};
                    out.sendMessage(m, 3);
                    next += step;
                    std::this_thread::sleep_until(next);
                }
                Say("flooded");
            } else if (command == "quit") {
                break;
            }
        }
        jack_client_close(watch);
    } catch (const RtMidiError& e) {
        std::fprintf(stderr, "midi-peer: %s\n", e.getMessage().c_str());
        return 1;
    }
    return 0;
}
