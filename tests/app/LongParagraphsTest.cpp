#include "FormFixture.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "core/FormState.h"
#include "document/Cp932.h"
#include "document/EditorLines.h"
#include "document/SoftBreaks.h"
#include "document/TForm3.h"
#include "document/TextPrinting.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QKeyEvent>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

using testfiles::fileBytes;
using testfiles::writeFileBytes;

namespace {

// Paragraphs far longer than a piece of the text box: words, a stretch without any blank,
// Japanese, and short lines around them.
QString longParagraphs()
{
    const QString sentence = QStringLiteral("Velmor reads this sentence aloud, and then the next one. ");
    return QStringLiteral("Title line\n\n") + sentence.repeated(300) + u'\n'
        + QString(7000, u'x') + QStringLiteral("日本語の文章。").repeated(900) + QStringLiteral(" tail\nend");
}

struct OpenedFile : FormFixture {
    OpenedFile(const QByteArray& bytes, const QString& expectedText)
        : text(expectedText), path(files.filePath(QStringLiteral("long.txt")))
    {
        writeFileBytes(path, bytes);
        fileAnswer = path;
        ui.click("OpenButton");
        EXPECT_TRUE(waitForOpen());
        box = &ui.textBox();
    }
    // The document position of an index into the text.
    int at(qsizetype index) const { return velmor::positionOfTextIndex(*box->document(), index); }

    QTemporaryDir files;
    QString text;
    QString path;
    velmor::TRichEdit98* box = nullptr;
};

} // namespace

TEST(LongParagraphs, EveryReaderSeesTheTextWhole)
{
    const QString text = longParagraphs();
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    OpenedFile f(velmor::encodeCp932(crlf), text);
    ASSERT_GT(f.box->document()->blockCount(), text.count(u'\n') + 10);
    EXPECT_TRUE(f.box->wholeText() == text);

    // Saving gives back the very bytes.
    f.box->setModified(true);
    f.ui.click("SaveButton");
    EXPECT_TRUE(fileBytes(f.path) == velmor::encodeCp932(crlf));

    // The whole text, a selection across pieces, the clipboard and a line inside a piece.
    f.ui.click("SpeechButton");
    EXPECT_TRUE(f.engine->spoken.last() == crlf + QStringLiteral("\r\n"));
    const qsizetype from = text.indexOf(u'x') - 100;
    const qsizetype to = text.lastIndexOf(QStringLiteral("日本語")) - 300;
    f.box->setSelection(f.at(from), f.at(to) - f.at(from));
    f.form->Copy1Click();
    EXPECT_TRUE(QApplication::clipboard()->text() == text.mid(from, to - from));
    f.ui.click("SelTextButton");
    EXPECT_TRUE(f.engine->spoken.last() == text.mid(from, to - from));

    const qsizetype inside = text.indexOf(QStringLiteral("next one"), 9000);
    f.box->setSelection(f.at(inside), 0);
    const int row = f.ui.state().fRow;
    const int lineStart = f.box->lineStart(row);
    EXPECT_EQ(f.ui.state().fCol, f.at(inside) - lineStart);
    f.ui.click("BandButton");
    const QString line = f.engine->spoken.last();
    EXPECT_EQ(line, f.box->textBetween(lineStart, lineStart + int(line.size())));
    EXPECT_TRUE(line.contains(QStringLiteral("next one")));

    // On paper every paragraph is one block again.
    const std::unique_ptr<QTextDocument> paper = velmor::printableDocument(*f.box);
    EXPECT_EQ(paper->blockCount(), text.count(u'\n') + 1);
    EXPECT_TRUE(paper->toRawText().replace(QChar::ParagraphSeparator, u'\n') == text);
}

TEST(LongParagraphs, BytesThatShiftJisCannotReadSurviveInALongParagraph)
{
    const QByteArray bytes = QByteArray(5000, 'x') + "\xFD\xA0" + QByteArray(3000, 'y') + "\xFF\r\nend";
    OpenedFile f(bytes, {});
    EXPECT_EQ(f.box->wholeText().size(), bytes.size() - 1);
    f.box->setModified(true);
    f.ui.click("SaveButton");
    EXPECT_TRUE(fileBytes(f.path) == bytes);
}

// A binary file edited here and there gives back every byte away from the edits, whatever was
// done around its raw bytes; only characters that came from bytes are written as bytes.
TEST(LongParagraphs, AnEditedBinaryFileKeepsItsBytesAwayFromTheEdits)
{
    // No blank: the paragraph is cut into pieces anywhere.
    const QByteArray paragraph = QByteArray("ab\x80z\xFF\xA0w\xFD").repeated(1000);
    const QByteArray bytes = "*" + paragraph + "\r\n*line\x80 two\r\nend\xFE";
    OpenedFile f(bytes, {});
    ASSERT_EQ(f.box->wholeText().size(), bytes.size() - 2);
    ASSERT_GT(f.box->document()->blockCount(), 5);
    const auto saved = [&f] {
        f.ui.click("SaveButton");
        return fileBytes(f.path);
    };
    const auto press = [&f](int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(f.box, Qt::Key(key), modifiers);
    };

    f.box->setSelection(f.at(100), 0);
    QTest::keyClicks(f.box, QStringLiteral("Q"));
    const QByteArray typed = QByteArray(bytes).insert(100, "Q");
    // Cut across pieces and pasted: the pasted characters came from the clipboard.
    f.box->setSelection(f.at(2001), f.at(3003) - f.at(2001));
    press(Qt::Key_X);
    f.box->setSelection(f.at(6000), 0);
    press(Qt::Key_V);
    QByteArray moved = typed;
    QByteArray pasted = moved.mid(2001, 1002);
    moved.remove(2001, 1002);
    for (const char raw : {'\x80', '\xFF', '\xA0', '\xFD'})
        pasted.replace(raw, '?');
    moved.insert(6000, pasted);
    // Asked first; saved with "?" in their place.
    f.choiceAnswer = 1;
    EXPECT_TRUE(saved() == moved);
    EXPECT_EQ(f.choices.size(), 1);
    press(Qt::Key_Z);
    press(Qt::Key_Z);
    EXPECT_TRUE(saved() == typed);
    press(Qt::Key_Y);
    press(Qt::Key_Z);
    EXPECT_TRUE(saved() == typed);

    // Replacing all, and undoing it, moves the raw bytes between the replacements.
    f.trigger(ActionId::Find1);
    velmor::TForm3* search = f.form->findChild<velmor::TForm3*>();
    ASSERT_NE(search, nullptr);
    search->RichEdit98F->setPlainText(QStringLiteral("w"));
    search->RichEdit98R->setPlainText(QStringLiteral("WW"));
    search->Re_allButtonClick();
    EXPECT_TRUE(saved() == QByteArray(typed).replace("w", "WW"));
    f.form->Undo1Click();
    EXPECT_TRUE(saved() == typed);

    // A look-alike typed, deleted and given back by undo is still no byte.
    f.box->setSelection(f.at(50), 0);
    QKeyEvent lookAlike(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0xF780)));
    QApplication::sendEvent(f.box, &lookAlike);
    press(Qt::Key_Backspace, Qt::NoModifier);
    press(Qt::Key_Z);
    // A line break typed beside it makes the box reshape the pieces around it, and another
    // face colours the marks ("*") around it again.
    f.box->setSelection(f.at(60), 0);
    press(Qt::Key_Return, Qt::NoModifier);
    f.ui.state().fAddYuki = true;
    f.trigger(ActionId::Gothic1);
    const QByteArray withLookAlike = QByteArray(typed).insert(50, "?").insert(60, "\r\n");
    EXPECT_TRUE(saved() == withLookAlike);
    // The Hangul command draws the text in its face; the raw bytes stay what they are.
    f.form->Hangul();
    EXPECT_TRUE(saved() == withLookAlike);
}

TEST(LongParagraphs, AUtf8FileWithoutBreakOpportunitiesRoundTrips)
{
    const QString text = QString(300'000, u'x') + u'\n' + QString(100'000, QChar(0))
        + QStringLiteral("\U0001F600").repeated(3000) + QStringLiteral("é");
    OpenedFile f(text.toUtf8(), text);
    EXPECT_TRUE(f.box->wholeText() == text);
    f.box->setSelection(f.at(150'000), 0);
    QTest::keyClicks(f.box, QStringLiteral("ab"));
    f.ui.click("SaveButton");
    EXPECT_TRUE(fileBytes(f.path) == QString(text).insert(150'000, QStringLiteral("ab")).toUtf8());
}

// A long text of short lines is held with its lines grouped into blocks. Nothing a user reads,
// saves, copies, finds, hears or undoes may differ from the lines one by one, and a line
// separator of the user's own stays one.
TEST(LongParagraphs, ALongTextOfShortLinesReadsLineByLine)
{
    QString text = QStringLiteral("A UTF-8 file: café\n");
    for (int i = 0; text.size() < 1'100'000; ++i) {
        text += QStringLiteral("line %1 of the list\n").arg(i);
        if (i == 30'000)
            text += QStringLiteral("A paragraph that is longer than a piece. ").repeated(150) + u'\n';
    }
    text += QStringLiteral("end");
    OpenedFile f(text.toUtf8(), text);
    ASSERT_LT(f.box->document()->blockCount(), text.count(u'\n') / 10);
    EXPECT_TRUE(f.box->wholeText() == text);

    // The caption, the caret's line and a selection across lines.
    const qsizetype inside = text.indexOf(QStringLiteral("line 1234 of")) + 7;
    f.box->setSelection(f.at(inside), 0);
    EXPECT_EQ(f.ui.state().fRow, text.left(inside).count(u'\n'));
    EXPECT_EQ(f.ui.state().fCol, 7);
    f.ui.click("BandButton");
    EXPECT_EQ(f.engine->spoken.last(), QStringLiteral("line 1234 of the list"));
    const qsizetype from = text.indexOf(QStringLiteral("of the list"), 50'000);
    const qsizetype to = text.indexOf(QStringLiteral("list"), from + 400);
    f.box->setSelection(f.at(from), f.at(to) - f.at(from));
    f.form->Copy1Click();
    EXPECT_TRUE(QApplication::clipboard()->text() == text.mid(from, to - from));
    f.ui.click("SelTextButton");
    EXPECT_TRUE(f.engine->spoken.last() == text.mid(from, to - from));

    // Find and replace.
    f.box->setSelection(0, 0);
    f.trigger(ActionId::Find1);
    auto* search = f.form->findChild<velmor::TForm3*>();
    ASSERT_NE(search, nullptr);
    search->RichEdit98F->setPlainText(QStringLiteral("line 2000 "));
    search->NextButtonClick();
    EXPECT_EQ(f.box->selStart(), f.at(text.indexOf(QStringLiteral("line 2000 "))));
    search->RichEdit98R->setPlainText(QStringLiteral("LINE 2000 "));
    search->Re_allButtonClick();
    QString edited = text;
    edited.replace(QStringLiteral("line 2000 "), QStringLiteral("LINE 2000 "));
    EXPECT_TRUE(f.box->wholeText() == edited);

    // Typing, Shift+Enter and pasting into a group, past the size of a block.
    const qsizetype typedAt = edited.indexOf(QStringLiteral("line 500 ")) + 5;
    f.box->setSelection(f.at(typedAt), 0);
    QTest::keyClick(f.box, Qt::Key_Return);
    QTest::keyClick(f.box, Qt::Key_Return, Qt::ShiftModifier);
    const QString pasted = QString(3000, u'y') + QChar(QChar::LineSeparator) + QStringLiteral("z");
    QApplication::clipboard()->setText(pasted);
    f.form->Paste1Click();
    edited.insert(typedAt, u'\n' + QString(QChar(QChar::LineSeparator)) + pasted);
    EXPECT_TRUE(f.box->wholeText() == edited);
    f.ui.click("SaveButton");
    EXPECT_TRUE(fileBytes(f.path) == edited.toUtf8());

    // Undone step by step, the text is the file as it was read.
    while (f.box->document()->isUndoAvailable())
        f.form->Undo1Click();
    EXPECT_TRUE(f.box->wholeText() == text);
    f.ui.click("SaveButton");
    EXPECT_TRUE(fileBytes(f.path) == text.toUtf8());
}
