#pragma once

// Ports that exist only in the test: inputs that open (or refuse to) and
// take messages the test sends, and output names for the menu.

#include "platform/midi/MidiInput.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class FakeMidiPorts : public IMidiPorts {
public:
    std::vector<std::string> inputs{"Keys A", "Keys B", "Broken keys"};
    std::vector<std::string> hardware{"Keys A"};
    std::vector<std::string> outputs{"Out A", "Out B", "Broken out"};
    std::set<std::string> failing{"Broken keys"};

    std::vector<std::string> InputPorts() override { return inputs; }
    std::vector<std::string> HardwareInputPorts() override { return hardware; }
    std::vector<std::string> OutputPorts() override { return outputs; }

    std::unique_ptr<TMidiInputPort> OpenInput(const std::string& name, TMidiInputHandler handler,
                                              std::string& reason) override
    {
        if (failing.count(name)) {
            reason = "cannot connect to MIDI input port " + name;
            return nullptr;
        }
        std::lock_guard lock(mutex_);
        open_[name] = std::move(handler);
        return std::make_unique<Port>(this, name);
    }

    bool IsOpen(const std::string& name) const
    {
        std::lock_guard lock(mutex_);
        return open_.count(name) != 0;
    }

    // A message as the port would deliver it (false when the port is closed).
    bool Send(const std::string& name, std::vector<unsigned char> bytes)
    {
        TMidiInputHandler handler;
        {
            std::lock_guard lock(mutex_);
            auto it = open_.find(name);
            if (it == open_.end())
                return false;
            handler = it->second;
        }
        handler(bytes.data(), bytes.size());
        return true;
    }

private:
    struct Port : TMidiInputPort {
        Port(FakeMidiPorts* owner, std::string name) : owner_(owner), name_(std::move(name)) {}
        ~Port() override
        {
            std::lock_guard lock(owner_->mutex_);
            owner_->open_.erase(name_);
        }
        FakeMidiPorts* owner_;
        std::string name_;
    };

    mutable std::mutex mutex_;
    std::map<std::string, TMidiInputHandler> open_;
};
