// A small program for the end-to-end tests: one form whose behaviour the
// scripts check from outside, without the trainer around it.
//
//   e2e-probe LOG_FILE
//
// The form (title "e2e-probe", 300 x 200, dragged by its surface) holds a
// "Sleep" button that sleeps 1500 ms through the real clock (a typed "s"
// does the same), and a status label on the surface. Every event is appended to LOG_FILE as one line
// "<milliseconds since start> <event>", flushed at once:
//   ready                  the form is up
//   sleep-start / sleep-end around the sleep
//   key <c>                a typed character (the form previews every key)
//   moved <x> <y>          the window's position after a move
#include "platform/runtime/Clock.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {

class TProbeLog {
public:
    explicit TProbeLog(const char* path) : file_(std::fopen(path, "w")) { clock_.start(); }
    ~TProbeLog()
    {
        if (file_)
            std::fclose(file_);
    }
    void Write(const QString& event)
    {
        if (!file_)
            return;
        std::fprintf(file_, "%lld %s\n", static_cast<long long>(clock_.elapsed()), event.toUtf8().constData());
        std::fflush(file_);
    }

private:
    std::FILE* file_;
    QElapsedTimer clock_;
};

class TProbeForm : public TForm {
public:
    TProbeForm(TComponent* owner, TProbeLog* log) : TForm(owner), log_(log)
    {
        SetClientSize(300, 200);
        SetColor(clBlue);
        SetPosition(poDesigned);
        SetBounds(100, 100, 300, 200);
        SetKeyPreview(true);
        SetDragBySurface(true);

        auto* status = new TLabel(this);
        status->SetParent(this);
        status->SetAutoSize(false);
        status->SetBounds(0, 185, 300, 15);
        status->SetColor(clBtnFace);
        status->SetCaption(QStringLiteral("status"));

        auto* sleep = new TButton(this);
        sleep->SetParent(this);
        sleep->SetBounds(20, 20, 100, 30);
        sleep->SetCaption(QStringLiteral("Sleep"));
        sleep->SetTabStop(false);
        sleep->OnClick = [this](TComponent*) {
            log_->Write(QStringLiteral("sleep-start"));
            Sleep(1500);
            log_->Write(QStringLiteral("sleep-end"));
        };
        // A typed "s" sleeps too: a handler after which nothing repaints, so
        // only the sleep itself can get the held input going again.
        OnKeyPress = [this](TComponent*, QChar& c) {
            log_->Write(QStringLiteral("key ") + c);
            if (c == QLatin1Char('s')) {
                log_->Write(QStringLiteral("sleep-start"));
                Sleep(1500);
                log_->Write(QStringLiteral("sleep-end"));
            }
        };
    }

protected:
    void moveEvent(QMoveEvent* e) override
    {
        TForm::moveEvent(e);
        log_->Write(QStringLiteral("moved %1 %2").arg(x()).arg(y()));
    }

private:
    TProbeLog* log_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: e2e-probe LOG_FILE\n");
        return 2;
    }
    TProbeLog log(argv[1]);
    TApplication application(argc, argv);
    application.SetTitle(QStringLiteral("e2e-probe"));
    application.CreateForm<TProbeForm>(&log);
    QTimer::singleShot(0, [&log] { log.Write(QStringLiteral("ready")); });
    return application.Run();
}
