#include "platform/midi/MidiDiagnostics.h"

#include <fluidsynth.h>
#include <glib.h>
#include <jack/jack.h>

#include <cstdarg>
// Some ALSA releases declare snd_lib_error_set_local outside the header's
// extern "C" block.
extern "C" {
#include <alsa/error.h>
}

#include <cctype>
#include <iostream>
#include <mutex>

namespace {

thread_local TFluidErrorCapture* activeCapture = nullptr;

void QuietAlsaHandler(const char*, int, const char*, int, const char*, va_list) {}

}  // namespace

void CaptureFluidMessage(int level, const char* message, void*)
{
    TFluidErrorCapture* capture = activeCapture;
    if (capture && message && (level == FLUID_PANIC || level == FLUID_ERR))
        capture->last_ = message;
}

TFluidErrorCapture::TFluidErrorCapture() : outer_(activeCapture)
{
    // FluidSynth's log goes to our function for the whole run: outside a
    // capture it says nothing, since the program keeps no log.
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, CaptureFluidMessage, nullptr);
    });
    activeCapture = this;
}

TFluidErrorCapture::~TFluidErrorCapture()
{
    activeCapture = outer_;
}

TQuietAlsa::TQuietAlsa()
    : previous_(snd_lib_error_set_local(QuietAlsaHandler))
{
}

TQuietAlsa::~TQuietAlsa()
{
    snd_lib_error_set_local(previous_);
}

TQuietGlib::TQuietGlib()
    : previous_(reinterpret_cast<Handler>(
        g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr)))
{
}

TQuietGlib::~TQuietGlib()
{
    g_log_set_default_handler(reinterpret_cast<GLogFunc>(previous_), nullptr);
}

TCerrCapture::TCerrCapture() : previous_(std::cerr.rdbuf(text_.rdbuf())) {}

TCerrCapture::~TCerrCapture()
{
    std::cerr.rdbuf(previous_);
}

std::string OneLine(const std::string& text)
{
    std::string line;
    bool blank = false;
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            blank = !line.empty();
            continue;
        }
        if (blank)
            line += ' ';
        blank = false;
        line += c;
    }
    return line;
}

void QuietJackLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        jack_set_error_function([](const char*) {});
        jack_set_info_function([](const char*) {});
    });
}
