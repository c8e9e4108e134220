#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "input/EchoWords.h"
#include "input/InputConcerns.h"
#include "input/TextTrim.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using velmor::isArticle;
using velmor::lastWordOfLine;
using velmor::wordEndedBySpace;

// Types into the text box as the keyboard does: each key pressed and released.
void type(FormFixture& f, const QString& text)
{
    for (const QChar c : text) {
        if (c == u'\n')
            f.ui.press(Qt::Key_Return);
        else
            f.ui.type(QString(c));
    }
}

// An input method's events as IBus sends them: preedits, then the commit.
void compose(FormFixture& f, const QStringList& preedits, const QString& committed)
{
    for (const QString& preedit : preedits) {
        QInputMethodEvent event(preedit, {});
        QApplication::sendEvent(&f.ui.textBox(), &event);
    }
    QInputMethodEvent commit;
    commit.setCommitString(committed);
    QApplication::sendEvent(&f.ui.textBox(), &commit);
}

QStringList spokenTexts(FormFixture& f) { return f.engine->spoken; }

} // namespace

TEST(EchoWords, TheWordASpaceEndsAndTheLastWordOfALine)
{
    EXPECT_EQ(wordEndedBySpace(QStringLiteral("hello "), 6), QStringLiteral("hello"));
    EXPECT_EQ(wordEndedBySpace(QStringLiteral("say hello there"), 10), QStringLiteral("hello"));
    EXPECT_EQ(wordEndedBySpace(QStringLiteral("one,two "), 8), QStringLiteral("one,two"));
    EXPECT_EQ(wordEndedBySpace(QStringLiteral("\ttabbed "), 8), QStringLiteral("tabbed"));
    EXPECT_EQ(wordEndedBySpace(QStringLiteral("hello  "), 7), std::nullopt); // two spaces
    EXPECT_EQ(wordEndedBySpace(QStringLiteral(" "), 1), QString());          // blank
    EXPECT_EQ(wordEndedBySpace(QStringLiteral("x"), 0), std::nullopt);

    EXPECT_EQ(lastWordOfLine(QStringLiteral("hello")), QStringLiteral("hello"));
    EXPECT_EQ(lastWordOfLine(QStringLiteral("hello world")), QStringLiteral("world"));
    EXPECT_EQ(lastWordOfLine(QStringLiteral("ends with ")), std::nullopt);
    EXPECT_EQ(lastWordOfLine(QStringLiteral("a, b,c\t")), QStringLiteral("b,c"));

    EXPECT_EQ(velmor::trimBlanks(QStringLiteral("\t\x01 two words\r\n ")), QStringLiteral("two words"));
    EXPECT_EQ(velmor::trimEnd(QStringLiteral(" kept \n")), QStringLiteral(" kept"));

    EXPECT_TRUE(isArticle(QStringLiteral("\"The")));
    EXPECT_TRUE(isArticle(QStringLiteral("'a")));
    EXPECT_FALSE(isArticle(QStringLiteral("An")));
    EXPECT_FALSE(isArticle(QStringLiteral("tHe")));
}

TEST(EchoWords, ReadingsBecomeHiragana)
{
    EXPECT_EQ(velmor::hiraganaReading(QStringLiteral("ニホンゴ")), QStringLiteral("にほんご"));
    EXPECT_EQ(velmor::hiraganaReading(QStringLiteral("ｶﾞｯｺｳ")), QStringLiteral("がっこう"));
    EXPECT_EQ(velmor::hiraganaReading(QStringLiteral("ABC 1")), QStringLiteral("ＡＢＣ　１"));
    EXPECT_TRUE(velmor::isKana(QStringLiteral("にほんゴー")));
    EXPECT_FALSE(velmor::isKana(QStringLiteral("日本")));
    EXPECT_FALSE(velmor::isKana(QString()));
}

TEST(TypingEcho, LettersAndDigitsAreSpokenOneByOneWithJoyfulWritingOff)
{
    FormFixture f;
    f.ui.click("WordReadCheckBox");
    EXPECT_FALSE(f.ui.action(ActionId::Joyful1).isChecked());
    f.engine->clear();
    f.ui.type(QStringLiteral("Ab1!"));
    EXPECT_EQ(f.engine->calls, (QStringList{"SpeakText:a", "SpeakText:b", "SpeakText:1"}));
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("!"));

    f.ui.click("SICheckBox"); // speech-info off: no letter echo
    f.engine->clear();
    f.ui.type(QStringLiteral("c"));
    EXPECT_TRUE(f.engine->calls.isEmpty());
}

TEST(TypingEcho, WordsAtTheirSpaceAndTheLastWordAtEnter)
{
    FormFixture f;
    f.form->PauseButtonClick();
    f.engine->clear();
    type(f, QStringLiteral("hello world\n"));
    EXPECT_EQ(f.engine->calls, (QStringList{"ResetAudio", "SpeakText:hello", "ResetAudio", "SpeakText:world"}));
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").text(), QStringLiteral("world"));
    // The echo at Enter cut the paused speech off: nothing is paused any more.
    EXPECT_FALSE(f.form->speakingState().fPaused());
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));

    f.engine->clear();
    type(f, QStringLiteral("two  spaces \nsay one,two \n"));
    EXPECT_EQ(spokenTexts(f), (QStringList{"two", "spaces", "say", "one,two"}));
}

TEST(TypingEcho, AnArticleWaitsForTheNextWord)
{
    FormFixture f;
    f.engine->clear();
    type(f, QStringLiteral("the cat "));
    EXPECT_EQ(spokenTexts(f), QStringList{"the cat"});
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("the cat"));

    f.engine->clear();
    type(f, QStringLiteral("\nThe \n")); // an article and a space, then Enter: dropped
    EXPECT_TRUE(spokenTexts(f).isEmpty());
    EXPECT_FALSE(f.ui.state().fArticleWait);
    type(f, QStringLiteral("a\n")); // an article that ends a line is spoken at once
    EXPECT_EQ(spokenTexts(f), QStringList{"a"});
}

TEST(TypingEcho, ConversionsAreSpokenByTheirReadingAtTheConfirmingEnter)
{
    FormFixture f;
    f.inputMethod->current = {true, velmor::kImeModeHiragana};
    f.engine->clear();
    compose(f, {QStringLiteral("に"), QStringLiteral("にほん"), QStringLiteral("日本")}, QStringLiteral("日本"));
    compose(f, {QStringLiteral("ご")}, QStringLiteral("語"));
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("日本語"));
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" にほんご"));
    EXPECT_EQ(f.engine->calls, (QStringList{"ResetAudio", "SpeakText: にほんご"}));
    EXPECT_EQ(f.ui.state().fImeLen, 0);

    // Read_InputKey off: the converted text itself.
    f.trigger(ActionId::KeyInput);
    compose(f, {QStringLiteral("かな")}, QStringLiteral("仮名"));
    f.engine->clear();
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    EXPECT_EQ(f.engine->calls, (QStringList{"ResetAudio", "SpeakText:仮名"}));

    // No reading known (a Hangul-like commit): the converted text is spoken.
    f.trigger(ActionId::KeyInput);
    compose(f, {QStringLiteral("漢")}, QStringLiteral("漢"));
    f.engine->clear();
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    EXPECT_EQ(f.engine->spoken, QStringList{"漢"});

    // A character outside the Basic Multilingual Plane is shown and spoken whole.
    f.trigger(ActionId::KeyInput);
    compose(f, {QStringLiteral("よしのや")}, QStringLiteral("\U00020BB7野家"));
    f.engine->clear();
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("\U00020BB7野家"));
    EXPECT_EQ(f.engine->spoken, QStringList{"\U00020BB7野家"});
}

TEST(TypingEcho, CompositionsCountUntilTheNextConfirmingEnterAndKeyInputDropsThem)
{
    FormFixture f;
    f.inputMethod->current = {true, velmor::kImeModeHiragana};
    f.ui.click("WordReadCheckBox"); // Joyful writing off: the echo rests, the composition counts
    compose(f, {QStringLiteral("にほん")}, QStringLiteral("日本"));
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    f.ui.click("WordReadCheckBox");
    compose(f, {QStringLiteral("ご")}, QStringLiteral("語"));
    f.engine->clear();
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("日本語"));
    EXPECT_EQ(f.engine->spoken, QStringList{" にほんご"});

    compose(f, {QStringLiteral("かな")}, QStringLiteral("仮名"));
    f.trigger(ActionId::KeyInput);
    f.trigger(ActionId::KeyInput);
    f.engine->clear();
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    EXPECT_TRUE(f.engine->calls.isEmpty());
    compose(f, {QStringLiteral("き")}, QStringLiteral("木"));
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    EXPECT_EQ(f.engine->spoken, QStringList{" き"});
}

TEST(TypingEcho, TheJapaneseAndKoreanVoicesChangeTheEcho)
{
    FormFixture f;
    f.ui.control<QLabel>("Label1").setText(QStringLiteral("Naoko"));
    f.inputMethod->current = {true, velmor::kImeModeAlphanumeric};
    f.engine->clear();
    type(f, QStringLiteral("word word\n"));
    EXPECT_TRUE(f.engine->calls.isEmpty());
    f.ui.control<QLabel>("Label1").setText(QStringLiteral("Kenji"));
    f.inputMethod->current = {true, velmor::kImeModeHangul};
    type(f, QStringLiteral("word\n"));
    EXPECT_TRUE(f.engine->calls.isEmpty());

    // A Korean voice: the info line keeps its look and the reading is not wanted.
    f.ui.control<QLabel>("Label1").setText(QStringLiteral("Shin-Ah"));
    f.inputMethod->current = {true, velmor::kImeModeHangul};
    const QFont before = f.ui.control<velmor::InfoLine>("ULabel98").font();
    type(f, QStringLiteral("hangul "));
    EXPECT_EQ(f.engine->spoken, QStringList{"hangul"});
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").font(), before);
    f.inputMethod->current = {true, velmor::kImeModeHiragana};
    compose(f, {QStringLiteral("かん")}, QStringLiteral("韓"));
    f.engine->clear();
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    EXPECT_EQ(f.engine->spoken, QStringList{"韓"});
    f.ui.control<QLabel>("Label1").setText(QStringLiteral("Jun-Ho"));
    compose(f, {QStringLiteral("くに")}, QStringLiteral("国"));
    f.engine->clear();
    QTest::keyRelease(&f.ui.textBox(), Qt::Key_Return);
    EXPECT_EQ(f.engine->spoken, QStringList{"国"});
}
