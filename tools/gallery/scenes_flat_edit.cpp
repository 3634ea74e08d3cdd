// The flat memo (the main window's instructions box) idle and hot, and the
// pause field idle, hot and with each arrow pressed, each on a button-face
// background with a 10-pixel margin.

#include "tools/gallery/Gallery.h"

#include "controls/flat/TFlatMemoUnit.h"
#include "controls/flat/TFlatSpinEditUnit.h"

#include "platform/ui/Forms.h"

#include <QApplication>
#include <QMouseEvent>

#include <memory>

namespace {

TFont TimesFont(int height)
{
    TFont f;
    f.SetName(QStringLiteral("Times New Roman"));
    f.SetHeight(-height);
    f.SetCharset(RUSSIAN_CHARSET);
    return f;
}

const char* const kInstructions =
    "Упражнение \"ноты\".\r\n"
    "Программа играет последовательность из нескольких нот текущей октавы.\r\n"
    "Число нот задаётся полем \"Количество нот\", пауза между нотами - полем \"Пауза\".\r\n"
    "Нажмите кнопку \"ЗАПУСТИТЬ\" и внимательно слушайте.\r\n"
    "Затем повторите услышанные ноты на клавишах в том же порядке.\r\n"
    "Играть можно мышью или с клавиатуры компьютера:\r\n"
    "нижний ряд букв - белые клавиши, ряд над ним - чёрные.\r\n"
    "Каждый ответ отмечается кружком: зелёным - верно, красным - ошибка.\r\n"
    "После последнего ответа программа покажет результат.\r\n"
    "Октаву можно сменить кнопками \"ОКТАВА ВНИЗ\" и \"ОКТАВА ВВЕРХ\".";

// A shown window in the button face holding the control at (10, 10), with a
// focusable companion outside the picture to take the focus when idle.
struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TWinControl* elsewhere = nullptr;

    Scene(int w, int h)
    {
        form->SetClientSize(w + 20, h + 20);
        form->SetColor(clBtnFace);
        form->AfterConstruction();
    }
    template <class T>
    T* Add(int w, int h)
    {
        auto* c = new T(form.get());  // owned by the form
        c->SetParent(form.get());
        c->SetBounds(10, 10, w, h);
        return c;
    }
    QImage Render(TWinControl* focus)
    {
        form->Show();
        QApplication::setActiveWindow(form.get());
        if (focus)
            focus->SetFocus();
        else
            form->setFocus();
        QCoreApplication::processEvents();
        QImage img = form->grab().toImage();
        form->Hide();
        return img;
    }
};

TFlatMemo* InstructionsMemo(Scene& s)
{
    auto* memo = s.Add<TFlatMemo>(641, 105);
    memo->SetColorFlat(clBtnFace);
    memo->SetFont(TimesFont(12));
    memo->SetReadOnly(true);
    memo->SetScrollBars(ssVertical);
    memo->Lines().SetText(QString::fromUtf8(kInstructions));
    return memo;
}

QImage MemoIdle()
{
    Scene s(641, 105);
    InstructionsMemo(s);
    return s.Render(nullptr);
}

QImage MemoHot()
{
    Scene s(641, 105);
    TFlatMemo* memo = InstructionsMemo(s);
    return s.Render(memo);
}

enum class Arrow : std::uint8_t { None, Up, Down };

QImage PauseField(bool hot, Arrow pressed)
{
    Scene s(56, 20);
    auto* spin = s.Add<TFlatSpinEditInteger>(56, 20);
    TFont font;
    font.SetName(QStringLiteral("MS Sans Serif"));
    font.SetHeight(-11);
    s.form->SetFont(font);
    spin->SetAutoSize(false);
    spin->SetMinValue(10);
    spin->SetMaxValue(500);
    spin->SetValue(100);
    spin->SetColorFlat(clBtnFace);
    spin->SetBounds(10, 10, 56, 20);
    if (pressed == Arrow::None)
        return s.Render(hot ? spin : nullptr);
    QWidget* arrow = pressed == Arrow::Up ? static_cast<QWidget*>(spin->SpinButton()->UpButton())
                                          : static_cast<QWidget*>(spin->SpinButton()->DownButton());
    s.form->Show();
    QApplication::setActiveWindow(s.form.get());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), arrow->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(arrow, &press);
    QCoreApplication::processEvents();
    QImage img = s.form->grab().toImage();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), arrow->mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(arrow, &release);
    s.form->Hide();
    return img;
}

const GalleryRegistrar kSpinIdle("flat-spin-idle", [] { return PauseField(false, Arrow::None); });
const GalleryRegistrar kSpinHot("flat-spin-hot", [] { return PauseField(true, Arrow::None); });
const GalleryRegistrar kSpinUp("flat-spin-up-pressed", [] { return PauseField(true, Arrow::Up); });
const GalleryRegistrar kSpinDown("flat-spin-down-pressed", [] { return PauseField(true, Arrow::Down); });
const GalleryRegistrar kMemoIdle("flat-memo-idle", MemoIdle);
const GalleryRegistrar kMemoHot("flat-memo-hot", MemoHot);

}  // namespace
