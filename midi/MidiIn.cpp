#include "midi/MidiIn.h"

#include <QCoreApplication>
#include <QEvent>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace {

const QEvent::Type kNotesWaiting = QEvent::Type(QEvent::registerEventType());

// At most this many notes are handled per posted event, so a flood leaves
// room for painting and the user's input between batches.
constexpr std::size_t kBatch = 64;

}  // namespace

// What the ports' threads share with the inbox. The ports hold it too, so a
// message that comes in while the inbox is going away finds it still there
// (with no one to post to).
struct TMidiNoteInbox::Shared {
    std::mutex mutex;
    QObject* target = nullptr;
    std::deque<int> notes;
    std::size_t capacity = 0;
    bool posted = false;
    std::atomic<std::uint64_t> dropped{0};

    void Add(int semitone)
    {
        std::lock_guard lock(mutex);
        if (!target)
            return;
        if (notes.size() >= capacity) {
            ++dropped;
            return;
        }
        notes.push_back(semitone);
        if (!posted) {
            posted = true;
            QCoreApplication::postEvent(target, new QEvent(kNotesWaiting));
        }
    }
};

TMidiNoteInbox::TMidiNoteInbox(IMidiPorts& ports, TNoteHandler onNote, std::size_t capacity)
    : ports_(ports), onNote_(std::move(onNote)), shared_(std::make_shared<Shared>())
{
    shared_->target = this;
    shared_->capacity = capacity;
}

TMidiNoteInbox::~TMidiNoteInbox()
{
    {
        std::lock_guard lock(shared_->mutex);
        shared_->target = nullptr;
    }
    DisconnectAll();
    if (const std::uint64_t dropped = Dropped())
        std::fprintf(stderr, "ladoton: %llu MIDI input notes were dropped: they came faster than they could be played\n",
                     static_cast<unsigned long long>(dropped));
}

void TMidiNoteInbox::OpenFromEnvironment()
{
    const char* value = std::getenv(kMidiInVariable);
    const TMidiInChoice choice = ParseMidiInChoice(value ? std::optional<std::string_view>(value) : std::nullopt);
    if (!choice.Valid()) {
        std::fprintf(stderr, "ladoton: %s\n", choice.error.c_str());
        return;
    }
    Open(choice);
}

void TMidiNoteInbox::Open(const TMidiInChoice& choice)
{
    const std::vector<std::string> names = PortsForChoice(choice, ports_);
    if (choice.kind == mikPort && names.empty())
        std::fprintf(stderr, "ladoton: no MIDI input port name contains \"%s\"\n", choice.argument.c_str());
    for (const std::string& name : names)
        Connect(name);
}

bool TMidiNoteInbox::Connect(const std::string& name)
{
    if (Connected(name))
        return true;
    std::string reason;
    std::unique_ptr<TMidiInputPort> port =
        ports_.OpenInput(name,
                         [shared = shared_](const unsigned char* bytes, std::size_t size) {
                             const int semitone = NoteOnSemitone(bytes, size);
                             if (semitone >= 0)
                                 shared->Add(semitone);
                         },
                         reason);
    if (!port) {
        std::fprintf(stderr, "ladoton: %s\n", reason.c_str());
        return false;
    }
    open_[name] = std::move(port);
    return true;
}

void TMidiNoteInbox::Disconnect(const std::string& name)
{
    open_.erase(name);
}

void TMidiNoteInbox::DisconnectAll()
{
    // Each port stops its thread as it closes.
    open_.clear();
}

bool TMidiNoteInbox::Connected(const std::string& name) const
{
    return open_.count(name) != 0;
}

std::vector<std::string> TMidiNoteInbox::ConnectedPorts() const
{
    std::vector<std::string> names;
    for (const auto& [name, port] : open_)
        names.push_back(name);
    return names;
}

void TMidiNoteInbox::Receive(const unsigned char* bytes, std::size_t size)
{
    const int semitone = NoteOnSemitone(bytes, size);
    if (semitone >= 0)
        shared_->Add(semitone);
}

std::uint64_t TMidiNoteInbox::Dropped() const
{
    return shared_->dropped.load();
}

void TMidiNoteInbox::DeliverWaiting()
{
    std::vector<int> batch;
    {
        std::lock_guard lock(shared_->mutex);
        while (!shared_->notes.empty() && batch.size() < kBatch) {
            batch.push_back(shared_->notes.front());
            shared_->notes.pop_front();
        }
        // The rest goes in a later event, after what else is waiting.
        if (shared_->notes.empty())
            shared_->posted = false;
        else
            QCoreApplication::postEvent(this, new QEvent(kNotesWaiting));
    }
    for (int semitone : batch)
        if (onNote_)
            onNote_(semitone);
}

bool TMidiNoteInbox::event(QEvent* e)
{
    if (e->type() != kNotesWaiting)
        return QObject::event(e);
    DeliverWaiting();
    return true;
}

namespace {
IMidiPorts* g_ports = nullptr;
}

IMidiPorts& MidiPorts()
{
    return g_ports ? *g_ports : SystemMidiPorts();
}

IMidiPorts* SetMidiPorts(IMidiPorts* ports)
{
    IMidiPorts* previous = g_ports;
    g_ports = ports;
    return previous;
}
