#include "app/Entry.h"

#include "app/AppIcon.h"
#include "app/Unit3.h"

#include "platform/ui/Forms.h"

namespace {

// Until the trainer's windows exist: the borderless main window, centred.
class TPlaceholderForm : public TForm {
public:
    explicit TPlaceholderForm(TComponent* owner) : TForm(owner)
    {
        SetClientSize(657, 523);
        SetColor(clBlue);
        SetPosition(poDesktopCenter);
        SetKeyPreview(true);
        SetDragBySurface(true);
    }
};

}  // namespace

int RunLadoton(int argc, char** argv)
{
    TApplication application(argc, argv);
    application.SetTitle(QStringLiteral("Ладотон"));
    application.SetIcon(AppIcon());
    application.CreateForm<TPlaceholderForm>();
    Form3 = application.CreateForm<TForm3>();
    return application.Run();
}
