#pragma once

// The trainer's windows built as the program builds them, with every outside
// dependency replaced: a clock that never waits, a MIDI device that records,
// message boxes that record and answer OK, and instruction files in a
// temporary folder.

#include "app/MainForm.h"
#include "app/Unit2.h"
#include "midi/MidiOutTesting.h"
#include "platform/runtime/Clock.h"

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace app_fixture {

inline const QString kNoteText = QStringLiteral("Инструкция к упражнению \"ноты\"");
inline const QString kIntervText = QStringLiteral("Инструкция к упражнению \"интервалы\"");
inline const QString kStatusOpened = QStringLiteral("Устройство MIDI успешно открыто.");
inline const QString kStatusNotOpened =
    QStringLiteral("Устройство MIDI не открыто. Попробуйте выбрать другое в меню 'Настройки'");

// The Latin letter that plays each semitone.
inline QChar LetterFor(int semitone)
{
    static const char letters[] = "zsxdcvgbhnjm";
    return QLatin1Char(letters[semitone]);
}

enum class NoteFile { Present, Missing };

class AppTest : public ::testing::Test {
protected:
    TFakeClock clock;
    TMessageBoxRecorder boxes;
    std::optional<TMidiOutRecorder> midi;
    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TForm2> dialog;

    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Builds both windows the way the program does, the device opening with
    // openResult.
    void Create(NoteFile note = NoteFile::Present, MMRESULT openResult = MMSYSERR_NOERROR)
    {
        if (!midi)
            midi.emplace(openResult);
        if (note == NoteFile::Present)
            WriteFile(QStringLiteral("note.txt"), kNoteText.toUtf8());
        WriteFile(QStringLiteral("interv.txt"), kIntervText.toUtf8());
        form = std::make_unique<TForm1>(nullptr, dir.path() + QLatin1Char('/'));
        form->AfterConstruction();
        dialog = std::make_unique<TForm2>(nullptr, form.get());
        dialog->AfterConstruction();
    }

    void ShowActive()
    {
        form->Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form->windowHandle()));
    }

    // Types text on the main window as the keyboard would.
    void Type(const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier, QWidget* target = nullptr)
    {
        QWidget* to = target ? target : form.get();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, mods, text);
        QCoreApplication::sendEvent(to, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, mods, text);
        QCoreApplication::sendEvent(to, &release);
    }

    static void ClickCentre(QWidget* w)
    {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
    }

    // Note numbers of the note-on messages the device got, in order.
    std::vector<int> NotesPlayed() const
    {
        std::vector<int> notes;
        for (DWORD m : midi->Messages())
            notes.push_back(int((m >> 8) & 0xFF));
        return notes;
    }

    // The instructions shown, without the line break the memo's lines end with.
    QString MemoText() const
    {
        QString t = form->FlatMemo1->Lines().Text();
        while (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r')))
            t.chop(1);
        return t;
    }

    // Runs f once the modal loop that starts next is running.
    static void WhenModal(std::function<void()> f) { QTimer::singleShot(0, std::move(f)); }
};

}  // namespace app_fixture
