#include "app/Entry.h"

#include "app/Accessibility.h"
#include "app/AppIcon.h"
#include "app/MainForm.h"
#include "app/Unit2.h"
#include "app/Unit3.h"

#include "platform/midi/SynthEngine.h"
#include "platform/ui/Forms.h"

#include <cstdlib>
#include <malloc.h>

namespace {

bool IsSet(const char* value)
{
    return value && *value;
}

}  // namespace

const char* PreferredQtPlatform(const char* qpaPlatform, const char* waylandDisplay, const char* display)
{
    // Under X11 the borderless windows stand where they are put (centred, the
    // answer dialog at the main window's top) and keep above one another as
    // modal windows should; Wayland lets a client place none of its windows.
    if (!IsSet(qpaPlatform) && IsSet(waylandDisplay) && IsSet(display))
        return "xcb";
    return nullptr;
}

int RunLadoton(int argc, char** argv)
{
    // Before the application object exists: it picks its platform then.
    if (const char* platform = PreferredQtPlatform(std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"),
                                                   std::getenv("DISPLAY")))
        setenv("QT_QPA_PLATFORM", platform, 1);
    // The SoundFont loads on a thread of its own while the windows are built;
    // the main window's MIDI opening takes it from there.
    const std::unique_ptr<TSynthPreload> preload = PreloadMidiOutput();
    TApplication application(argc, argv);
    application.SetTitle(QStringLiteral("Ладотон"));
    application.SetIcon(AppIcon());
    InstallAccessibility();
    // The main window first: it becomes the application's main window and
    // runs its whole start-up (instructions, MIDI, octave, selector) here,
    // before anything is shown. Then the two windows it opens later, hidden.
    auto* main = application.CreateForm<TForm1>();
    application.CreateForm<TForm2>();
    main->SetAboutWindow(application.CreateForm<TForm3>());
    // Building the windows and loading the SoundFont leave freed memory
    // behind; hand it back before the long wait for the user.
    malloc_trim(0);
    return application.Run();
}
