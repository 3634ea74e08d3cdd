#include <gtest/gtest.h>

#include "platform/ui/Forms.h"

#include <QApplication>

namespace {

// A message box nobody expected fails the running test instead of blocking
// it; tests that expect boxes install a TMessageBoxRecorder over this.
class UnexpectedMessageBoxes : public IMessageBoxService {
public:
    int Show(const TMessageBoxRequest& r) override
    {
        ADD_FAILURE() << "unexpected message box \"" << r.caption.toStdString() << "\": " << r.text.toStdString();
        return IDOK;
    }
};

}  // namespace

// Every test program runs with the framework's application object (the Qt
// application with the event dispatch that catches handler exceptions) so
// widgets and fonts work; the platform is offscreen unless the environment
// says otherwise.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                   : qgetenv("QT_QPA_PLATFORM"));
    TApplication app(argc, argv);
    app.SetExitHandler([](int code) { ADD_FAILURE() << "the program asked to end with exit code " << code; });
    UnexpectedMessageBoxes boxes;
    SetMessageBoxService(&boxes);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    SetMessageBoxService(nullptr);
    return result;
}
