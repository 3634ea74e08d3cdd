#include "tests/app/AppFixture.h"

#include <QGuiApplication>
#include <QScreen>

using namespace app_fixture;

namespace {

class IntervalsTest : public AppTest {
protected:
    void SetUp() override
    {
        Create();
        form->FlatComboBox1->SetItemIndex(1);
        form->FlatComboBox1Change(form->FlatComboBox1);
    }

    // Starts a question drawn from seed; inside the dialog, clicks the
    // replay button `replays` times and then the answer button.
    void Ask(std::uint32_t seed, int replays, TFlatSpeedButton* answer)
    {
        clock.performanceCount = seed;
        WhenModal([=, this] {
            seenBeforeAnswer = NotesPlayed();
            sleepsBeforeAnswer = clock.sleeps;
            dialogTop = dialog->Top();
            dialogLeft = dialog->Left();
            for (int i = 0; i < replays; ++i)
                ClickCentre(dialog->FlatSpeedButton1);
            EXPECT_TRUE(dialog->isVisible());
            ClickCentre(answer);
        });
        boxes.onShow = [this](const TMessageBoxRequest&) { dialogShownDuringBox = dialog->isVisible(); };
        ClickCentre(form->FlatSpeedButton3);
        boxes.onShow = nullptr;
    }

    std::vector<int> seenBeforeAnswer;
    std::vector<unsigned> sleepsBeforeAnswer;
    int dialogTop = 0, dialogLeft = 0;
    bool dialogShownDuringBox = false;
};

TEST_F(IntervalsTest, AnswersAreJudgedWhileTheDialogIsStillShown)
{
    // Seed 21 draws СОЛЬ then ФА: two semitones down.
    struct Row {
        TFlatSpeedButton* TForm2::*button;
        const char* box;
    } rows[] = {
        {&TForm2::FlatSpeedButton3, "Не правильно..."},
        {&TForm2::FlatSpeedButton4, "Правильно!"},
        {&TForm2::FlatSpeedButton5, "Не правильно..."},
        {&TForm2::FlatSpeedButton6, "Не правильно..."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.box);
        boxes.boxes.clear();
        midi->Clear();
        clock.sleeps.clear();
        dialogShownDuringBox = false;
        Ask(21, 0, (*dialog).*r.button);

        // The pair sounded before the dialog could be answered.
        EXPECT_EQ(seenBeforeAnswer, (std::vector<int>{55, 53}));
        EXPECT_EQ(sleepsBeforeAnswer, std::vector<unsigned>{1000});
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, QString::fromUtf8(r.box));
        EXPECT_EQ(boxes.boxes[0].caption, QString());
        EXPECT_TRUE(dialogShownDuringBox);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(form->Label2->Caption(), QStringLiteral("Упражнение \"интервалы\" Закончено"));
        EXPECT_TRUE(form->FlatSpeedButton3->Enabled());
    }
}

TEST_F(IntervalsTest, ReplayPlaysThePairAgainAndKeepsTheDialogOpen)
{
    Ask(37, 3, dialog->FlatSpeedButton5);  // ДО # up to МИ: three semitones
    EXPECT_EQ(NotesPlayed(), (std::vector<int>{49, 52, 49, 52, 49, 52, 49, 52}));
    EXPECT_EQ(clock.sleeps, std::vector<unsigned>(4, 1000u));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Правильно!"));
}

TEST_F(IntervalsTest, EqualNotesAreDrawnAgainIntoTheNextOctave)
{
    Ask(223, 0, dialog->FlatSpeedButton6);
    EXPECT_EQ(seenBeforeAnswer, (std::vector<int>{59, 63}));
    EXPECT_EQ(boxes.boxes.at(0).text, QStringLiteral("Правильно!"));
}

TEST_F(IntervalsTest, DialogSitsBelowTheMainWindowsTopInsideTheScreen)
{
    const QRect avail = form->screen()->availableGeometry();
    struct Row {
        int mainTop;
        int expectedTop;
    } rows[] = {
        {avail.top() + 100, avail.top() + 144},
        {avail.bottom() + 1 - 150, avail.bottom() + 1 - 118},
    };
    for (const Row& r : rows) {
        form->SetBounds(avail.left() + 10, r.mainTop, form->Width(), form->Height());
        Ask(21, 0, dialog->FlatSpeedButton4);
        EXPECT_EQ(dialogTop, r.expectedTop) << r.mainTop;
        EXPECT_EQ(dialogLeft, TForm2::kDesignedLeft);
    }
}

TEST_F(IntervalsTest, DialogLayout)
{
    EXPECT_EQ(dialog->Width(), 323);
    EXPECT_EQ(dialog->Height(), 118);
    EXPECT_EQ(dialog->Color(), clAqua);
    EXPECT_EQ(dialog->FlatSpeedButton1->Caption(), QStringLiteral("ПРОСЛУШАТЬ ЕЩЕ РАЗ"));
    EXPECT_EQ(dialog->FlatSpeedButton1->ModalResult(), mrNone);
    TFlatSpeedButton* answers[] = {dialog->FlatSpeedButton3, dialog->FlatSpeedButton4, dialog->FlatSpeedButton5,
                                   dialog->FlatSpeedButton6};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(answers[i]->Caption(), QString::number(i + 1));
        EXPECT_EQ(answers[i]->Left(), 24 + 72 * i);
        EXPECT_EQ(answers[i]->ModalResult(), mrOk);
    }
    EXPECT_EQ(dialog->Label2->Caption(), QStringLiteral("\"Расстояние\" в "));
    EXPECT_EQ(dialog->Label1->Caption(), QStringLiteral("полутона"));
}

}  // namespace
