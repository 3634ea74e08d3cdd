// The flat memo (the main window's instructions box) idle and hot, each on a
// button-face background with a 10-pixel margin.

#include "tools/gallery/Gallery.h"

#include "controls/flat/TFlatMemoUnit.h"

#include "platform/ui/Forms.h"

#include <QApplication>

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

const GalleryRegistrar kMemoIdle("flat-memo-idle", MemoIdle);
const GalleryRegistrar kMemoHot("flat-memo-hot", MemoHot);

}  // namespace
