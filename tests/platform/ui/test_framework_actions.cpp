// Actions linked to controls, and image lists.
#include "platform/ui/Actions.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(Action, LinkingCopiesCaptionAndEnabledAndFollowsLaterChanges)
{
    TForm form(nullptr);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetCaption(QStringLiteral("old"));
    TAction action(nullptr);
    action.SetCaption(QStringLiteral("Играть"));
    action.SetEnabled(false);

    button->SetAction(&action);
    EXPECT_EQ(button->Caption(), QStringLiteral("Играть"));
    EXPECT_FALSE(button->Enabled());
    EXPECT_EQ(action.Clients().size(), 1u);

    action.SetCaption(QStringLiteral("Стоп"));
    action.SetEnabled(true);
    EXPECT_EQ(button->Caption(), QStringLiteral("Стоп"));
    EXPECT_TRUE(button->Enabled());

    // Unlinked, the control keeps what it has and hears nothing more.
    button->SetAction(nullptr);
    action.SetCaption(QStringLiteral("again"));
    EXPECT_EQ(button->Caption(), QStringLiteral("Стоп"));
    EXPECT_TRUE(action.Clients().empty());
}

TEST(Action, ClickExecutesTheActionOnlyWhenItHasAHandler)
{
    TForm form(nullptr);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    int clicks = 0, executions = 0;
    TComponent* sender = nullptr;
    button->OnClick = [&clicks](TComponent*) { ++clicks; };
    TAction action(nullptr);
    button->SetAction(&action);

    button->Click();  // no OnExecute: the control's own click
    EXPECT_EQ(clicks, 1);
    action.OnExecute = [&](TComponent* s) {
        ++executions;
        sender = s;
    };
    button->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(executions, 1);
    EXPECT_EQ(sender, &action);
}

TEST(Action, EitherSideMayGoFirst)
{
    TForm form(nullptr);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    {
        TAction action(nullptr);
        button->SetAction(&action);
    }
    EXPECT_EQ(button->Action(), nullptr);
    button->Click();  // nothing left to execute, no fault

    TAction action(nullptr);
    auto* other = new TButton(&form);
    other->SetParent(&form);
    other->SetAction(&action);
    button->SetAction(&action);
    delete other;
    ASSERT_EQ(action.Clients().size(), 1u);
    EXPECT_EQ(action.Clients()[0], button);
    action.SetCaption(QStringLiteral("x"));  // reaches only the living client
    EXPECT_EQ(button->Caption(), QStringLiteral("x"));

    auto images = std::make_unique<TImageList>(nullptr, 8, 8);
    action.SetImages(images.get());
    images.reset();
    EXPECT_EQ(action.Images(), nullptr);
}

TEST(ImageList, ImagesAreCutToTheListSizeAndMaskedOnDraw)
{
    TImageList list(nullptr, 4, 3);
    TBitmap wide(6, 2);
    wide.Canvas().Brush().Color = clRed;
    wide.Canvas().FillRect({0, 0, 6, 2});
    wide.SetPixel(1, 0, clLime);
    EXPECT_EQ(list.Add(wide), 0);
    EXPECT_EQ(list.AddMasked(wide, clLime), 1);
    EXPECT_EQ(list.Count(), 2);

    TBitmap target(6, 4);
    target.Canvas().Brush().Color = clBlue;
    target.Canvas().FillRect({0, 0, 6, 4});
    list.Draw(target.Canvas(), 1, 1, 1);
    EXPECT_EQ(target.Pixel(1, 1), clRed);
    EXPECT_EQ(target.Pixel(2, 1), clBlue);   // the mask colour is left out
    EXPECT_EQ(target.Pixel(4, 1), clRed);    // cut at the list's width
    EXPECT_EQ(target.Pixel(5, 1), clBlue);
    EXPECT_EQ(target.Pixel(1, 3), clBlack);  // below the source: black
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(target.Pixel(1, 0), clLime);   // unmasked entry: drawn as it is

    for (const int bad : {-1, 2, 1000}) {
        TBitmap untouched(2, 2);
        untouched.Canvas().Brush().Color = clBlue;
        untouched.Canvas().FillRect({0, 0, 2, 2});
        list.Draw(untouched.Canvas(), 0, 0, bad);
        EXPECT_EQ(untouched.Pixel(0, 0), clBlue) << bad;
    }
    TImageList empty(nullptr, 0, -5);
    EXPECT_EQ(empty.Add(wide), 0);
    EXPECT_EQ(empty.Height(), 0);
}

}  // namespace
