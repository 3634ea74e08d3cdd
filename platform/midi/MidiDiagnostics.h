#pragma once

#include <cstdarg>
#include <iosfwd>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>

// The libraries behind the MIDI devices talk on standard error (FluidSynth's
// log, ALSA's error handler, RtMidi's std::cerr). The program says one line
// of its own when a device cannot open, so while a device opens these
// helpers collect what the libraries say instead of letting it through.

// Collects FluidSynth's error messages logged on this thread while alive.
// Messages of other threads and lower levels are dropped.
class TFluidErrorCapture {
public:
    TFluidErrorCapture();
    ~TFluidErrorCapture();
    TFluidErrorCapture(const TFluidErrorCapture&) = delete;
    TFluidErrorCapture& operator=(const TFluidErrorCapture&) = delete;

    // The last error message, empty when there was none.
    const std::string& LastError() const { return last_; }
    void Clear() { last_.clear(); }

private:
    friend void CaptureFluidMessage(int level, const char* message, void* data);
    TFluidErrorCapture* outer_;
    std::string last_;
};

// Silences ALSA's library error messages on this thread while alive.
class TQuietAlsa {
public:
    TQuietAlsa();
    ~TQuietAlsa();
    TQuietAlsa(const TQuietAlsa&) = delete;
    TQuietAlsa& operator=(const TQuietAlsa&) = delete;

private:
    using Handler = void (*)(const char*, int, const char*, int, const char*, va_list);
    Handler previous_;
};

// Silences GLib's log messages while alive (the SoundFont loaders of
// FluidSynth report damaged files through it). The handler is the process's,
// so keep the object's life short and on one thread.
class TQuietGlib {
public:
    TQuietGlib();
    ~TQuietGlib();
    TQuietGlib(const TQuietGlib&) = delete;
    TQuietGlib& operator=(const TQuietGlib&) = delete;

private:
    using Handler = void (*)(const char*, int, const char*, void*);
    Handler previous_;  // GLib keeps no data for it but null
};

// Takes what is written to std::cerr while alive.
class TCerrCapture {
public:
    TCerrCapture();
    ~TCerrCapture();
    TCerrCapture(const TCerrCapture&) = delete;
    TCerrCapture& operator=(const TCerrCapture&) = delete;

    std::string Text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* previous_;
};

// The text with line breaks and runs of blanks folded into single blanks and
// trimmed, so a library's message fits a one-line reason.
std::string OneLine(const std::string& text);

// Keeps libjack quiet for the whole run: it prints to standard error when no
// JACK server runs, which is the normal case on most desktops.
void QuietJackLibrary();
