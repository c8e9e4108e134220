#include "FormFixture.h"
#include "QtPrinters.h"

#include "app/FormState.h"
#include "input/ClipboardSpeech.h"
#include "input/InputConcerns.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QClipboard& clipboard() { return *QGuiApplication::clipboard(); }

QAction& item(FormFixture& f, const char* name) { return *f.form->findChild<QAction*>(QString::fromLatin1(name)); }

// Double-clicks the word that starts at `position` in the text box.
void doubleClickAt(FormFixture& f, int position)
{
    QTextCursor cursor(f.form->RichEdit98->document());
    cursor.setPosition(position + 1);
    const QPoint point = f.form->RichEdit98->cursorRect(cursor).center();
    QTest::mouseDClick(f.form->RichEdit98->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

// Delivers what the test says, when it says so.
class ScriptedReader : public velmor::ClipboardReader {
public:
    void read(Delivery deliver) override { pending = std::move(deliver); }
    Delivery pending;
};

} // namespace

TEST(ClipboardWatcher, ReportsEachChangeOnlyWhileEnabledWithAHandler)
{
    velmor::TClipboardWatcher watcher(nullptr);
    int changes = 0;
    EXPECT_FALSE(watcher.registered());
    watcher.setOnChange([&] { ++changes; });
    EXPECT_TRUE(watcher.registered());
    clipboard().setText(QStringLiteral("one"));
    clipboard().setText(QStringLiteral("one"));
    EXPECT_EQ(changes, 2);
    watcher.setEnabled(false);
    clipboard().setText(QStringLiteral("two"));
    EXPECT_EQ(changes, 2);
    watcher.setEnabled(true);
    watcher.setOnChange({});
    EXPECT_FALSE(watcher.registered());
    clipboard().setText(QStringLiteral("three"));
    EXPECT_EQ(changes, 2);
}

TEST(ClipboardSpeech, CopiedTextIsShownAndSpokenAtOnceEveryTime)
{
    FormFixture f;
    f.form->state().fPaused = true;
    f.form->PauseButton->setText(QStringLiteral("Resume"));
    f.form->state().fRepCount = 3;
    f.engine->clear();
    clipboard().setText(QStringLiteral("  copied words\r\n"));
    EXPECT_EQ(f.form->ULabel98->text(), QStringLiteral("  copied words\n"));
    EXPECT_EQ(f.form->state().fClipText, QStringLiteral("  copied words\r\n"));
    EXPECT_EQ(f.form->state().fSpeechKind, 4);
    EXPECT_EQ(f.form->state().fRepCount, 1);
    EXPECT_FALSE(f.form->state().fPaused);
    EXPECT_EQ(f.form->PauseButton->text(), QStringLiteral("Pause"));
    clipboard().setText(QStringLiteral("  copied words\r\n"));
    EXPECT_EQ(f.engine->callsOf({"ResetAudio", "SpeakText"}),
              (QStringList{"ResetAudio", "SpeakText:  copied words\r\n", "ResetAudio", "SpeakText:  copied words\r\n"}));
}

TEST(ClipboardSpeech, APictureChangesNothingAndMemorySpeaksThePreviousText)
{
    FormFixture f;
    clipboard().setText(QStringLiteral("earlier"));
    f.engine->clear();
    clipboard().setImage(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_TRUE(f.engine->calls.isEmpty());
    EXPECT_EQ(f.form->ULabel98->text(), QStringLiteral("earlier"));
    f.form->ULabel98->clear();
    f.form->C_MemoryButton->click();
    EXPECT_EQ(f.engine->calls, (QStringList{"ResetAudio", "SpeakText:earlier"}));
    EXPECT_EQ(f.form->ULabel98->text(), QStringLiteral("earlier"));
    f.engine->clear();
    f.trigger("ClipbrdMemory1");
    EXPECT_EQ(f.engine->spoken, QStringList{"earlier"});
}

TEST(ClipboardSpeech, MemoryDoesNothingWhenOffEmptyOrWithoutEngine)
{
    {
        FormFixture f;
        f.form->input().clipboard->C_MemoryButtonClick();
        EXPECT_TRUE(f.engine->spoken.isEmpty()); // empty memory
        clipboard().setText(QStringLiteral("kept"));
        f.form->ClipSpeechCheckBox->click();
        f.engine->clear();
        f.form->input().clipboard->C_MemoryButtonClick();
        EXPECT_TRUE(f.engine->calls.isEmpty()); // clipboard speech off
    }
    FormFixture noEngine(0);
    clipboard().setText(QStringLiteral("still read"));
    EXPECT_EQ(noEngine.form->ULabel98->text(), QStringLiteral("still read"));
    noEngine.engine->clear();
    noEngine.form->input().clipboard->C_MemoryButtonClick();
    EXPECT_TRUE(noEngine.engine->calls.isEmpty());
}

TEST(ClipboardSpeech, SwitchingOffStopsAWholeTextReadingAndItsRepetition)
{
    FormFixture f;
    f.form->RepUpDown->setValue(2);
    f.setText(QStringLiteral("the whole text"));
    f.form->SpeechButtonClick();
    f.engine->fireDone();
    ASSERT_TRUE(f.form->Timer1->isActive());
    f.engine->clear();
    f.trigger("ClipbrdSpeech1"); // Ctrl+H
    EXPECT_FALSE(f.form->ClipSpeechCheckBox->isChecked());
    EXPECT_FALSE(f.form->input().clipboard->watcher().Enabled());
    EXPECT_FALSE(f.form->Timer1->isActive());
    EXPECT_EQ(f.form->state().fSpeechKind, 0);
    EXPECT_EQ(f.engine->calls, QStringList{"ResetAudio"});
    clipboard().setText(QStringLiteral("not heard"));
    EXPECT_EQ(f.engine->calls, QStringList{"ResetAudio"});

    f.trigger("ClipbrdSpeech1");
    EXPECT_TRUE(f.form->ClipSpeechCheckBox->isChecked());
    EXPECT_TRUE(item(f, "ClipbrdSpeech1").isChecked());
    f.form->ClipSpeechCheckBox->click();
    EXPECT_FALSE(item(f, "ClipbrdSpeech1").isChecked());
    EXPECT_FALSE(f.form->input().clipboard->watcher().registered());
    f.form->ClipSpeechCheckBox->click();
    EXPECT_TRUE(item(f, "ClipbrdSpeech1").isChecked());
    EXPECT_TRUE(f.form->input().clipboard->watcher().registered());
}

TEST(ClipboardSpeech, ADoubleClickedWordGoesToTheClipboardAndIsSpokenFromThere)
{
    FormFixture f;
    f.setText(QStringLiteral("first second third"));
    f.engine->clear();
    doubleClickAt(f, 6);
    EXPECT_EQ(clipboard().text(), QStringLiteral("second"));
    EXPECT_EQ(f.form->ULabel98->text(), QStringLiteral("second"));
    EXPECT_EQ(f.engine->callsOf({"ResetAudio", "SpeakText"}), (QStringList{"ResetAudio", "SpeakText:second"}));
    EXPECT_EQ(f.form->state().fSpeechKind, 4);

    // Without clipboard speech the selection itself is spoken, untrimmed.
    f.form->ClipSpeechCheckBox->click();
    f.engine->clear();
    f.form->RichEdit98->setSelection(0, 6);
    f.form->input().clipboard->RichEdit98MouseDown(Qt::LeftButton, true);
    EXPECT_EQ(f.form->ULabel98->text(), QStringLiteral("first"));
    EXPECT_EQ(clipboard().text(), QStringLiteral("first "));
    EXPECT_EQ(f.engine->calls, (QStringList{"ResetAudio", "SpeakText:first "}));
    EXPECT_EQ(f.form->state().fSpeechKind, 0);
}

TEST(ClipboardSpeech, NothingIsCopiedForBlanksOrWithToClipOff)
{
    FormFixture f;
    f.setText(QStringLiteral("word  \t next"));
    clipboard().setText(QStringLiteral("before"));
    f.engine->clear();
    f.form->RichEdit98->setSelection(4, 3);
    f.form->input().clipboard->RichEdit98MouseDown(Qt::LeftButton, true);
    EXPECT_EQ(clipboard().text(), QStringLiteral("before"));

    f.trigger("toClipbrd1"); // Ctrl+D
    EXPECT_FALSE(f.form->SCLCheckBox->isChecked());
    doubleClickAt(f, 0);
    EXPECT_EQ(clipboard().text(), QStringLiteral("before"));
    EXPECT_TRUE(f.engine->calls.isEmpty());
    f.form->SCLCheckBox->click();
    EXPECT_TRUE(item(f, "toClipbrd1").isChecked());
}

TEST(ClipboardSpeech, ClicksOnTheInfoLineHideAndShowItsText)
{
    FormFixture f;
    clipboard().setText(QStringLiteral("shown"));
    const QColor panel = velmor::colorFromBgr(f.form->state().fPColor);
    QWidget* line = f.form->ULabel98->viewport();
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_EQ(f.form->ULabel98->textColor(), panel);
    EXPECT_TRUE(f.form->RichEdit98->hasFocus());
    QTest::mouseClick(line, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(f.form->ULabel98->textColor(), panel);
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_EQ(f.form->ULabel98->textColor(), QColor(Qt::black));
    f.form->input().clipboard->ULabel98MouseDown(Qt::LeftButton, Qt::NoModifier, true);
    EXPECT_EQ(f.form->ULabel98->textColor(), QColor(Qt::black));
}

TEST(ClipboardSpeech, ALongTextIsHeardFromItsBeginningAndTheRestFollows)
{
    FormFixture f;
    auto scripted = std::make_unique<ScriptedReader>();
    ScriptedReader& reader = *scripted;
    QCheckBox clipOn;
    clipOn.setChecked(true);
    QAction clipItem(nullptr), toClipItem(nullptr);
    QCheckBox toClip;
    QStringList errors;
    velmor::ClipboardSpeech speech(
        f.form->state(), f.engine,
        velmor::ClipboardControls{*f.form->RichEdit98, *f.form->ULabel98, clipOn, clipItem, toClip, toClipItem,
                                  *f.form->PauseButton, *f.form->Timer1},
        velmor::ClipboardServices{[&](const QString& text) { errors << text; }, [] {}, [](const QString&) {}},
        std::move(scripted));
    using Outcome = velmor::ClipboardReading::Outcome;

    f.engine->clear();
    speech.ClipboardWatcher1Change();
    reader.pending({Outcome::Beginning, QStringLiteral("start of "), {}});
    reader.pending({Outcome::Whole, QStringLiteral("start of a long text"), QStringLiteral("a long text")});
    EXPECT_EQ(f.engine->calls, (QStringList{"ResetAudio", "SpeakText:start of ", "SpeakText:a long text"}));
    EXPECT_EQ(f.form->state().fClipText, QStringLiteral("start of a long text"));

    // Reset while the rest is coming: the rest is not wanted any more.
    speech.ClipboardWatcher1Change();
    reader.pending({Outcome::Beginning, QStringLiteral("again "), {}});
    f.form->ResetButtonClick();
    f.engine->clear();
    reader.pending({Outcome::Whole, QStringLiteral("again and again"), QStringLiteral("and again")});
    EXPECT_TRUE(f.engine->calls.isEmpty());
    EXPECT_EQ(f.form->state().fClipText, QStringLiteral("again and again"));

    speech.ClipboardWatcher1Change();
    reader.pending({Outcome::Failed, {}, {}});
    EXPECT_EQ(errors, QStringList{QStringLiteral("クリップボードを開くことができません")});
    EXPECT_TRUE(f.engine->calls.isEmpty());
}

TEST(ClipboardReading, TheSpokenBeginningEndsAtAWordsEnd)
{
    EXPECT_EQ(velmor::speakableBeginning(QStringLiteral("one two thr")), QStringLiteral("one two "));
    EXPECT_EQ(velmor::speakableBeginning(QStringLiteral("one\ntwo")), QStringLiteral("one\n"));
    EXPECT_EQ(velmor::speakableBeginning(QStringLiteral("unbroken")), QStringLiteral("unbroken"));
}
