#include "app/Accessibility.h"

#include "app/MainForm.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "controls/flat/FlatAccessible.h"
#include "controls/shaped/fcAccessible.h"
#include "platform/ui/Accessible.h"

namespace {

const char* const kLampProperty = "ladotonAnswerLamp";

const QString kTitleDescriptionMain =
    QStringLiteral("Тренажёр слуха: клавиши одной октавы, выбор упражнения, настройки и ответы");
const QString kTitleDescriptionDialog = QStringLiteral("Сколько полутонов между двумя нотами?");
const QString kTitleDescriptionAbout = QStringLiteral("О программе");

// A shape; an answer lamp is read as its number and what its colour says.
// Qt may make a shape's interface before the shape becomes a lamp (showing
// a widget makes one even with accessibility off), so it asks each time.
class TShapeAccessible : public QAccessibleWidget {
public:
    explicit TShapeAccessible(TShape* s) : QAccessibleWidget(s, QAccessible::Graphic) {}

    QAccessible::Role role() const override { return IsLamp() ? QAccessible::StaticText : QAccessible::Graphic; }
    QString text(QAccessible::Text t) const override
    {
        if (IsLamp() && (t == QAccessible::Description || t == QAccessible::Value))
            if (auto* s = dynamic_cast<TShape*>(widget()))
                return QString::fromUtf8(AnswerStateText(AnswerStateOf(*s)));
        return QAccessibleWidget::text(t);
    }

private:
    bool IsLamp() const { return widget()->property(kLampProperty).toBool(); }
};

QAccessibleInterface* LadotonAccessibleFactory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (auto* s = dynamic_cast<TShape*>(object))
        return new TShapeAccessible(s);
    if (QAccessibleInterface* i = FlatAccessibleInterface(object))
        return i;
    if (QAccessibleInterface* i = ShapedAccessibleInterface(object))
        return i;
    return PlatformAccessibleInterface(object);
}

void MakeAnswerLamp(TShape& lamp, int number)
{
    lamp.setAccessibleName(QStringLiteral("Ответ %1").arg(number));
    lamp.setProperty(kLampProperty, true);
    // The colour is the answer: a new colour is a new description.
    lamp.Brush().OnChange = [&lamp, repaint = lamp.Brush().OnChange] {
        if (repaint)
            repaint();
        AnnounceAccessibleEvent(&lamp, QAccessible::DescriptionChanged);
    };
}

void NameEdit(TCustomEdit& edit, const QString& name)
{
    edit.setAccessibleName(name);
    // The focus lies in the inner editor: it is read by the same name.
    if (QWidget* e = edit.Editor())
        e->setAccessibleName(name);
}

// A spin edit is named by the label of its panel, without the colon.
void NameAfterLabel(TCustomEdit& edit, const TLabel& label)
{
    QString name = label.Caption().trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    NameEdit(edit, name.trimmed());
}

}  // namespace

void InstallAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(&LadotonAccessibleFactory);
}

TAnswerState AnswerStateOf(TShape& lamp)
{
    // The colours the notes exercise gives its lamps.
    const TColor c = lamp.Brush().Color();
    if (c == clGreen)
        return TAnswerState::Right;
    if (c == clRed)
        return TAnswerState::Wrong;
    return TAnswerState::None;
}

const char* AnswerStateText(TAnswerState s)
{
    switch (s) {
    case TAnswerState::Right:
        return "верно";
    case TAnswerState::Wrong:
        return "неверно";
    case TAnswerState::None:
        break;
    }
    return "нет ответа";
}

void DescribeMainWindow(TForm1& form)
{
    form.setAccessibleDescription(kTitleDescriptionMain);
    form.FlatSpeedButton1->setAccessibleDescription(QStringLiteral("Выход"));
    form.FlatSpeedButton2->setAccessibleDescription(QStringLiteral("О программе"));
    NameEdit(*form.FlatMemo1, QStringLiteral("Инструкция"));
    NameAfterLabel(*form.FlatSpinEditInteger1, *form.Label3);
    NameAfterLabel(*form.FlatSpinEditInteger2, *form.Label4);
    for (std::size_t i = 0; i < form.Indicators.size(); ++i)
        if (TShape* lamp = form.Indicators[i])
            MakeAnswerLamp(*lamp, int(i) + 1);
}

void DescribeIntervalDialog(TForm2& dialog)
{
    dialog.setAccessibleDescription(kTitleDescriptionDialog);
    dialog.FlatSpeedButton3->setAccessibleDescription(QStringLiteral("1 полутон"));
    dialog.FlatSpeedButton4->setAccessibleDescription(QStringLiteral("2 полутона"));
    dialog.FlatSpeedButton5->setAccessibleDescription(QStringLiteral("3 полутона"));
    dialog.FlatSpeedButton6->setAccessibleDescription(QStringLiteral("4 полутона"));
}

void DescribeAboutWindow(TForm3& about)
{
    about.setAccessibleDescription(kTitleDescriptionAbout);
}
