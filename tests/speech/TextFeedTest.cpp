#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "document/EditorLines.h"
#include "speech/TextFeed.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UpDownEdit.h"

#include <QTest>
#include <gtest/gtest.h>

using velmor::TextFeed;
using Word = std::pair<int, int>;

namespace {

// Short lines, a paragraph long enough to be held in pieces, and a last line without a line
// break: longer than a first part and than what is gathered in one turn of the event loop.
QString longText()
{
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("Line %1 of the first lines.\n").arg(i);
    text += QStringLiteral("A sentence in one long paragraph, said again and again. ").repeated(6000) + u'\n';
    return text + QStringLiteral("The last line names a zebra");
}

QString partHanded(const FakeSpeechEngine& engine, const char* call)
{
    const QStringList calls = engine.callsOf({QString::fromLatin1(call)});
    return calls.size() == 1 ? calls.front().section(u':', 1) : QString();
}

bool restHanded(const FakeSpeechEngine& engine)
{
    return QTest::qWaitFor([&] { return !engine.callsOf({QStringLiteral("SpeakLastPart")}).isEmpty(); }, 5000);
}

} // namespace

TEST(SpeakingALongText, TheEngineGetsTheTextOfTheKeyPressOnceInOrderAndItsWordsAreFollowed)
{
    FormFixture f;
    const QString text = longText();
    f.setText(text);
    velmor::TRichEdit98& editor = f.ui.textBox();
    const QString whole = velmor::gatherWholeText(*editor.document());
    editor.setSelection(0, 0);
    f.engine->clear();
    f.ui.click("SpeechButton");

    // At once: a first part that ends after a sentence. The rest follows between events.
    const QString first = partHanded(*f.engine, "SpeakFirstPart");
    ASSERT_FALSE(first.isEmpty());
    EXPECT_LE(first.size(), TextFeed::kFirstPartLength * 17 / 16);
    EXPECT_TRUE(first.endsWith(QStringLiteral(" lines.\r\n"))) << first.right(20).toStdString();
    EXPECT_TRUE(partHanded(*f.engine, "SpeakLastPart").isEmpty());

    // A key typed meanwhile waits until the rest is handed over, so it is not spoken.
    QTest::keyClick(&editor, Qt::Key_X);
    EXPECT_EQ(editor.textBetween(0, 5), QStringLiteral("xLine"));
    EXPECT_EQ(f.engine->callsOf({QStringLiteral("SpeakFirstPart"), QStringLiteral("SpeakLastPart")}).size(), 2);
    ASSERT_FALSE(f.engine->spoken.isEmpty());
    EXPECT_EQ(f.engine->spoken.front(), whole); // an echo of the letter may queue behind it

    // Words of either part show where they are now, past the letter typed.
    ASSERT_TRUE(f.engine->startNext());
    ASSERT_TRUE(f.engine->hearWord(int(whole.indexOf(QStringLiteral("Line 5 "))), 4));
    EXPECT_EQ(editor.spokenWord(), Word(int(text.indexOf(QStringLiteral("Line 5 "))) + 1, 4));
    ASSERT_TRUE(f.engine->hearWord(int(whole.indexOf(QStringLiteral("zebra"))), 5));
    EXPECT_EQ(editor.spokenWord(), Word(int(text.indexOf(QStringLiteral("zebra"))) + 1, 5));
    EXPECT_TRUE(f.engine->finishCurrent());
    EXPECT_EQ(editor.spokenWord(), Word(0, 0));
}

// Pause and reset, by key or button, are heard at once, without waiting for the rest to be gathered.
TEST(SpeakingALongText, PauseAndResetActAtOnceAndAResetWhileTheRestIsGatheredLeavesNothingQueued)
{
    FormFixture f;
    f.setText(longText());
    velmor::TRichEdit98& editor = f.ui.textBox();
    editor.setFocus();
    f.ui.click("SpeechButton");
    QTest::keyClick(&editor, Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(f.engine->paused);
    QTest::mouseClick(&f.ui.control<velmor::FlatButton>("PauseButton"), Qt::LeftButton);
    EXPECT_FALSE(f.engine->paused);
    QTest::keyClick(&editor, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(f.engine->callsOf({QStringLiteral("ResumeAudio"), QStringLiteral("SpeakLastPart")}) ==
                QStringList{QStringLiteral("ResumeAudio")});
    QTest::qWait(300);
    EXPECT_TRUE(f.engine->callsOf({QStringLiteral("SpeakLastPart")}).isEmpty());
    EXPECT_TRUE(f.engine->queued.isEmpty());

    // A reset from elsewhere (clipboard speech, a typing echo) drops the text as well.
    f.ui.click("SpeechButton");
    f.form->engine()->ResetAudio();
    ASSERT_TRUE(restHanded(*f.engine));
    EXPECT_TRUE(f.engine->queued.isEmpty());
    EXPECT_FALSE(f.engine->startNext());
}

// The selection is spoken as it reads, kept whole for speaking again, and each repetition is one
// text again.
TEST(SpeakingALongText, ALongSelectionIsSpokenWholeKeptAndRepeated)
{
    FormFixture f;
    f.setText(longText());
    velmor::TRichEdit98& editor = f.ui.textBox();
    editor.setSelection(3, editor.document()->characterCount() - 10);
    const QString selected = editor.selText();
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(2);
    f.ui.click("SelTextButton");
    ASSERT_TRUE(restHanded(*f.engine));
    EXPECT_EQ(f.engine->spoken.last(), selected);
    EXPECT_EQ(f.ui.state().fSelText, selected);

    f.engine->clear();
    ASSERT_TRUE(f.engine->startNext());
    ASSERT_TRUE(f.engine->finishCurrent());
    ASSERT_TRUE(restHanded(*f.engine));
    EXPECT_EQ(f.engine->spoken, QStringList{selected});
    EXPECT_EQ(f.engine->callsOf({QStringLiteral("ResetAudio")}).size(), 0);
}
