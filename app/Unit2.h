#pragma once

// The interval dialog: it plays the pair of the question before it shows,
// plays it again on request, and judges the distance the user answers.

#include "controls/flat/TFlatSpeedButtonUnit.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

class TForm1;

class TForm2 : public TForm {
public:
    // mainForm: the window whose question this dialog asks (the program's
    // main window when not given).
    explicit TForm2(TComponent* owner, TForm1* mainForm = nullptr);
    ~TForm2() override;

    QString ClassName() const override { return QStringLiteral("TForm2"); }

    // --- Controls, in their declared order.
    TFlatSpeedButton* FlatSpeedButton1;
    TFlatSpeedButton* FlatSpeedButton3;
    TFlatSpeedButton* FlatSpeedButton4;
    TFlatSpeedButton* FlatSpeedButton5;
    TFlatSpeedButton* FlatSpeedButton6;
    TLabel* Label1;
    TLabel* Label2;

    // --- Handlers
    // Plays the pair; runs before the dialog becomes visible.
    void FormShow(TComponent* sender);
    // "ПРОСЛУШАТЬ ЕЩЕ РАЗ": the pair again; the dialog stays open.
    void FlatSpeedButton1Click(TComponent* sender);
    // "1" to "4": the answer is the clicked button's caption.
    void FlatSpeedButton3Click(TComponent* sender);

    // Puts the dialog at its designed left edge with its top edge at top
    // (screen pixels), moved into the screen's available area only when it
    // would not fit there.
    void PlaceAtTop(int top);

    // The designed left edge on the screen.
    static constexpr int kDesignedLeft = 431;

private:
    TForm1* Main() const;
    void PlayPair();

    TForm1* mainForm_;
};

// The interval dialog, once created.
extern TForm2* Form2;
