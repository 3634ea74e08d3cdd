#include "midi/MidiOutTesting.h"

namespace {

class TRecordingDevice : public TMidiDevice {
public:
    using Record = std::function<void(DWORD)>;
    explicit TRecordingDevice(Record record) : record_(std::move(record)) {}
    void Send(std::uint32_t message) override { record_(message); }

private:
    Record record_;
};

}  // namespace

TMidiOutRecorder::TMidiOutRecorder(MMRESULT openResult) : log_(std::make_shared<Log>())
{
    // The devices share the log, so one that outlives the recorder still works.
    previous_ = SetMidiOutFactory([log = log_, openResult]() -> TMidiOutOpening {
        {
            std::lock_guard lock(log->mutex);
            ++log->opens;
        }
        if (openResult != MMSYSERR_NOERROR)
            return {nullptr, openResult};
        return {std::make_unique<TRecordingDevice>([log](DWORD message) {
                    std::lock_guard lock(log->mutex);
                    log->messages.push_back(message);
                }),
                MMSYSERR_NOERROR};
    });
}

TMidiOutRecorder::~TMidiOutRecorder()
{
    SetMidiOutFactory(std::move(previous_));
}

std::vector<DWORD> TMidiOutRecorder::Messages() const
{
    std::lock_guard lock(log_->mutex);
    return log_->messages;
}

int TMidiOutRecorder::Opens() const
{
    std::lock_guard lock(log_->mutex);
    return log_->opens;
}

void TMidiOutRecorder::Clear()
{
    std::lock_guard lock(log_->mutex);
    log_->messages.clear();
    log_->opens = 0;
}
