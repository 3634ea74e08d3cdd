#include "app/MidiKeys.h"

#include "platform/runtime/Clock.h"
#include "platform/ui/Forms.h"

#include <QApplication>
#include <QInputEvent>
#include <QTimer>
#include <QWidget>

namespace {

// How often waiting notes look whether the handler has returned.
constexpr int kTickMs = 10;

// Signed distance from b to a on the wrapping 32-bit millisecond clock.
std::int32_t Since(std::uint32_t a, std::uint32_t b)
{
    return std::int32_t(a - b);
}

}  // namespace

TMidiKeys::TMidiKeys(QObject* window, TKeyClick click)
    : window_(window), click_(std::move(click)), timer_(new QTimer(this))
{
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
    qApp->installEventFilter(this);
}

TMidiKeys::~TMidiKeys()
{
    qApp->removeEventFilter(this);
}

bool TMidiKeys::InsideHandler() const
{
    // The event being handled now is one level; more means it came inside
    // another handler (a sleep or a modal loop).
    return Application && Application->DispatchDepth() > 1;
}

bool TMidiKeys::OtherWindowModal() const
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != window_;
}

void TMidiKeys::Note(int semitone)
{
    if (OtherWindowModal())
        return;
    if (InsideHandler()) {
        if (held_.size() >= kHeldCapacity) {
            ++dropped_;
            return;
        }
        held_.push_back({semitone, GetTickCount()});
        handlerReturned_ = false;
        if (!timer_->isActive())
            timer_->start();
        return;
    }
    // Notes that waited came first.
    DeliverHeld();
    click_(semitone);
}

void TMidiKeys::DeliverHeld()
{
    DeliverBefore(GetTickCount() + 1);
    held_.clear();
    timer_->stop();
}

void TMidiKeys::DeliverBefore(std::uint32_t inputTime)
{
    // A note's click may open a box (the result) whose loop brings more
    // notes: take each off the queue before it runs.
    while (!held_.empty() && Since(held_.front().at, inputTime) < 0) {
        if (OtherWindowModal() || InsideHandler())
            return;
        const int semitone = held_.front().semitone;
        held_.pop_front();
        click_(semitone);
    }
}

void TMidiKeys::Tick()
{
    // Notes made while another window took the input (the interval dialog,
    // a box) would have been clicks on a blocked window.
    if (held_.empty() || OtherWindowModal()) {
        held_.clear();
        timer_->stop();
        return;
    }
    if (InsideHandler()) {
        handlerReturned_ = false;
        return;
    }
    // One more tick after the handler returns: the input it held is
    // handled first, each event letting through the notes older than it.
    if (!handlerReturned_) {
        handlerReturned_ = true;
        return;
    }
    DeliverHeld();
}

bool TMidiKeys::eventFilter(QObject*, QEvent* e)
{
    if (!e->isInputEvent() || InsideHandler())
        return false;
    const auto* input = static_cast<const QInputEvent*>(e);
    const std::uint32_t made = std::uint32_t(input->timestamp());
    const std::uint32_t now = GetTickCount();
    if (held_.empty()) {
        inputClockOffset_ = Since(now, made);
        return false;
    }
    // Unknown offset: take the event as made now, after every waiting note.
    const std::uint32_t madeHere = inputClockOffset_ ? made + std::uint32_t(*inputClockOffset_) : now;
    DeliverBefore(madeHere);
    return false;
}
