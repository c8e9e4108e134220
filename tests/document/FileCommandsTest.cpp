#include "FormFixture.h"
#include "QtPrinters.h"
#include "../app/TestFiles.h"

#include "core/FaceNames.h"
#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "document/FileCommands.h"
#include "document/Cp932.h"
#include "document/FileNames.h"
#include "document/OpeningProgress.h"
#include "document/SoftBreaks.h"
#include "document/YukiMarks.h"
#include "widgets/FlatButton.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <map>
#include <gtest/gtest.h>
#include <unistd.h>

using testfiles::fileBytes;
using testfiles::writeFileBytes;

namespace {

const QByteArray kUnicodeAbc = QByteArray::fromHex("fffe610062006300" "0d000a00");

struct FileFixture : FormFixture {
    QTemporaryDir files;
    QString path(const char* name) const { return files.filePath(QString::fromUtf8(name)); }
    QString write(const char* name, const QByteArray& bytes)
    {
        const QString p = path(name);
        writeFileBytes(p, bytes);
        return p;
    }
    void open(const QString& p)
    {
        fileAnswer = p;
        ui.click("OpenButton");
        EXPECT_TRUE(waitForOpen());
    }
};

// Holds a read up after its first megabyte until released (ten seconds at most).
struct HeldRead {
    std::promise<void> promise;
    std::shared_future<void> released = promise.get_future().share();

    velmor::ReadingProgress holding(const velmor::ReadingProgress& reading) const
    {
        return [reading, released = released](qint64 bytesRead, qint64 size) {
            const bool goOn = reading(bytesRead, size);
            if (bytesRead == 1 << 20)
                released.wait_for(std::chrono::seconds(10));
            return goOn;
        };
    }
};

} // namespace

// A file is read while the window answers: the old text stays until the new one is read, an
// open that takes long shows how far it has got in the information panel, keys typed meanwhile
// go to the new text, which arrives byte for byte, its marks coloured. A new open while one is
// going wins; a failed one leaves the document, its name, caption and modified state alone.
TEST(OpenCommand, ReadsWhileTheWindowAnswersAndAFailedOpenKeepsTheDocument)
{
    FileFixture f;
    velmor::TRichEdit98& editor = f.ui.textBox();
    // Four megabytes of short lines, long paragraphs, Japanese CP932 and Yuki marks.
    const QByteArray line = velmor::encodeCp932(QStringLiteral("吾輩は猫である。名前はまだ無い*。\r\n"));
    const QByteArray paragraph = QByteArray("A sentence that goes on. ").repeated(800) + "\r\n";
    QByteArray bytes;
    while (bytes.size() < 4 << 20)
        bytes += bytes.size() % 7 ? line : paragraph;
    bytes.truncate(4 << 20);
    const QString big = f.write("big.txt", bytes);
    const QString again = f.write("again.txt", bytes);
    const QString third = f.write("third.txt", bytes);
    std::map<QString, HeldRead> held;
    for (const QString& path : {big, again, third})
        held[path];
    f.readFile = [&](const QString& path, qsizetype maxChars, const velmor::ReadingProgress& reading) {
        const auto hold = held.find(path);
        return velmor::readTextFile(path, maxChars, hold == held.end() ? reading : hold->second.holding(reading));
    };

    f.open(f.write("first.txt", "first"));
    QTest::keyClicks(&editor, QStringLiteral("x"));
    const QString panelCaption = f.ui.panelCaption();
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    f.answerYes = true;
    f.fileAnswer = big;
    f.ui.click("OpenButton");
    QTest::keyClicks(&editor, QStringLiteral("ab"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return f.ui.panelCaption() == velmor::OpeningProgress::caption(QStringLiteral("big.txt"), 25); }));
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(editor.wholeText(), QStringLiteral("xfirst"));
    held[big].promise.set_value();
    ASSERT_TRUE(f.waitForOpen());
    EXPECT_EQ(f.ui.panelCaption(), panelCaption);
    const QString text = velmor::decodeText(bytes).text;
    EXPECT_EQ(editor.wholeText(), QStringLiteral("ab") + text);
    QTextCursor lastMark(editor.document());
    lastMark.setPosition(velmor::positionOfTextIndex(*editor.document(), text.lastIndexOf(u'*') + 2) + 1);
    EXPECT_EQ(lastMark.charFormat().foreground().color(), velmor::kYukiColor);
    EXPECT_EQ(f.ui.state().fFileName, big);
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(big), "ab" + bytes);
    EXPECT_TRUE(f.errors.isEmpty());

    // The open chosen last wins, and New wins over an open going on, even when the file is
    // read to its end afterwards.
    f.fileAnswer = again;
    f.ui.click("OpenButton");
    f.open(f.write("second.txt", "second"));
    f.fileAnswer = third;
    f.ui.click("OpenButton");
    QTest::keyClicks(&editor, QStringLiteral("n"));
    f.ui.click("NewButton");
    EXPECT_FALSE(f.form->fileCommands().opening());
    EXPECT_EQ(editor.wholeText(), QStringLiteral("n"));
    EXPECT_TRUE(f.ui.state().fFileName.isEmpty());
    held[again].promise.set_value();
    held[third].promise.set_value();
    QTest::qWait(300);
    EXPECT_EQ(editor.wholeText(), QStringLiteral("n"));
    f.open(f.path("second.txt"));
    EXPECT_EQ(editor.wholeText(), QStringLiteral("second"));
    EXPECT_EQ(f.ui.state().fFileName, f.path("second.txt"));

    QTest::keyClicks(&editor, QStringLiteral("y"));
    const QString caption = f.ui.title();
    const QString missing = f.path("gone.txt");
    f.open(missing);
    EXPECT_EQ(f.errors, QStringList{QStringLiteral("ファイル %1 は開けません").arg(missing)});
    EXPECT_EQ(editor.wholeText(), QStringLiteral("ysecond"));
    EXPECT_EQ(f.ui.state().fFileName, f.path("second.txt"));
    EXPECT_EQ(f.ui.title(), caption);
    EXPECT_TRUE(editor.isModified());
}

TEST(OpenCommand, ReadsAPlainFileAndNamesTheDocument)
{
    FileFixture f;
    const QString p = f.write("memo.txt", "line one\r\n\x95\x5C\x83\x5C\r\n");
    f.open(p);
    ASSERT_EQ(f.fileChoices.size(), 1);
    EXPECT_EQ(f.fileChoices[0].presetName, QStringLiteral("*.txt"));
    EXPECT_TRUE(f.fileChoices[0].filter.startsWith(QStringLiteral("Text and UnicodeText(*.txt)|*.txt|")));
    EXPECT_EQ(f.ui.text(), QStringLiteral("line one\n表ソ\n"));
    EXPECT_EQ(f.ui.state().fFileName, p);
    EXPECT_FALSE(f.ui.state().fUnicodeFile);
    EXPECT_FALSE(f.ui.textBox().isModified());
    EXPECT_FALSE(f.ui.unsavedMark());
    EXPECT_TRUE(f.ui.infoLine().endsWith(QStringLiteral("memo.txt")));
    EXPECT_EQ(f.ui.title(), QStringLiteral("Velmor_L   Line: 1      Col: 0    "));
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(OpenCommand, AsksFirstWhenTheTextHasUnsavedChanges)
{
    FileFixture f;
    f.ui.type(QStringLiteral("unsaved"));
    f.open(f.write("memo.txt", "other"));
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_TRUE(f.fileChoices.isEmpty());
    EXPECT_EQ(f.ui.text(), QStringLiteral("unsaved"));
}

TEST(OpenCommand, MissingFileKeepsTheDocumentAsItWas)
{
    FileFixture f;
    f.open(f.write("first.txt", "first"));
    f.ui.type(QStringLiteral("x"));
    f.answerYes = true;
    const QString missing = f.path("gone.txt");
    f.open(missing);
    EXPECT_EQ(f.errors, QStringList{QStringLiteral("ファイル %1 は開けません").arg(missing)});
    EXPECT_EQ(f.ui.text(), QStringLiteral("xfirst"));
    EXPECT_EQ(f.ui.state().fFileName, f.path("first.txt"));
    EXPECT_TRUE(f.ui.textBox().isModified());
}

TEST(OpenCommand, ColoursYukiMarksAndLeavesNothingToUndo)
{
    FileFixture f;
    f.open(f.write("marks.txt", "a*b"));
    QTextCursor cursor(f.ui.textBox().document());
    cursor.setPosition(2);
    EXPECT_EQ(cursor.charFormat().foreground().color(), velmor::kYukiColor);
    EXPECT_FALSE(f.ui.textBox().document()->isUndoAvailable());
    EXPECT_FALSE(f.ui.textBox().isModified());
}

TEST(OpenCommand, UnicodeHgFileSwitchesToHangulModeAndItsFont)
{
    FileFixture f;
    f.open(f.write("hgText.txt", kUnicodeAbc));
    EXPECT_EQ(f.ui.text(), QStringLiteral("abc\n"));
    EXPECT_TRUE(f.ui.state().fUnicodeFile);
    EXPECT_TRUE(f.ui.state().fHangulMode);
    EXPECT_EQ(f.ui.state().fFontName, velmor::kFaceUIGothic);
    EXPECT_EQ(f.ui.textBox().font().family(), velmor::kFaceUIGothic);

    f.open(f.write("HG.txt", kUnicodeAbc));
    EXPECT_FALSE(f.ui.state().fHangulMode);
    f.open(f.write("hgPlain.txt", "abc"));
    EXPECT_FALSE(f.ui.state().fHangulMode);
}

TEST(NamedOpen, FollowsTheExtensionRuleAndShortcuts)
{
    FileFixture f;
    f.ui.state().fOpenName = f.write("Notes.rtf", QByteArray("{\\rtf1\0\0", 8));
    f.ui.state().fParamOpen = true;
    f.form->MyTextFileOpen();
    EXPECT_TRUE(f.ui.text().isEmpty());
    EXPECT_FALSE(f.ui.state().fParamOpen);
    EXPECT_TRUE(f.errors.isEmpty());

    const QString target = f.write("target.txt", "through the link");
    const QString link = f.path("shortcut.lnk");
    ASSERT_TRUE(QFile::link(target, link));
    f.form->openAtStart(link);
    ASSERT_TRUE(f.waitForOpen());
    EXPECT_EQ(f.ui.text(), QStringLiteral("through the link"));
    EXPECT_EQ(f.ui.state().fFileName, target);
    EXPECT_FALSE(f.ui.state().fParamOpen);
}

TEST(NamedOpen, FileNameThatIsNotUtf8OpensAndSaves)
{
    FileFixture f;
    const QByteArray native = QFile::encodeName(f.files.path()) + "/caf\xE9.txt";
    {
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "hello", 5), 5);
        ::close(fd);
    }
    f.form->openAtStart(velmor::decodeFileName(native));
    ASSERT_TRUE(f.waitForOpen());
    EXPECT_TRUE(f.errors.isEmpty());
    EXPECT_EQ(f.ui.text(), QStringLiteral("hello"));
    EXPECT_TRUE(f.ui.infoLine().endsWith(QStringLiteral("caf\uFFFD.txt")));
    f.ui.textBox().moveCursor(QTextCursor::End);
    f.ui.type(QStringLiteral(" world"));
    f.ui.click("SaveButton");
    EXPECT_TRUE(f.errors.isEmpty());
    char saved[32] = {};
    const int fd = ::open(native.constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::read(fd, saved, sizeof saved), 11);
    ::close(fd);
    EXPECT_STREQ(saved, "hello world");
    EXPECT_FALSE(QFile::exists(f.path("caf\uFFFD.txt")));
}

TEST(StartUp, ReopensTheLastFileWithItsYukiMarksColouredUnlessTheOptionIsOff)
{
    QTemporaryDir folder;
    const QString document = folder.filePath(QStringLiteral("marks.txt"));
    ASSERT_TRUE(writeFileBytes(document, "a*b\r\n"));
    for (const bool addYuki : {true, false}) {
        const QString ini = folder.filePath(QStringLiteral("velmor%1.ini").arg(addYuki));
        ASSERT_TRUE(writeFileBytes(ini, "[Form1\\ffirst]\nBoolean=0\n[Form1\\fLastfile]\nString=" + document.toUtf8()
                                            + "\n[Form1\\fAddYuki]\nChecked=" + QByteArray::number(addYuki) + "\n"));
        FormFixture f(2, true, ini);
        EXPECT_EQ(f.ui.text(), QStringLiteral("a*b\n"));
        QTextCursor cursor(f.ui.textBox().document());
        cursor.setPosition(2);
        EXPECT_EQ(cursor.charFormat().foreground().color() == velmor::kYukiColor, addYuki);
        EXPECT_FALSE(f.ui.textBox().document()->isUndoAvailable());
        EXPECT_FALSE(f.ui.textBox().isModified());
    }
}

TEST(SaveCommand, RefusesAnEmptyOrUntitledText)
{
    FileFixture f;
    f.form->speakingState().start(velmor::SpeechKind::WholeText);
    f.engine->clear();
    f.ui.click("SaveButton");
    EXPECT_EQ(f.informed, QStringList{QStringLiteral("Text was not found")});
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("Text was not found")});
    // The spoken refusal took the place of the run: it is not repeated.
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
    f.setText(QStringLiteral("words"));
    f.form->speakingState().start(velmor::SpeechKind::WholeText);
    f.ui.control<velmor::LozengeCheckBox>("SICheckBox").setChecked(false);
    f.engine->clear();
    f.ui.click("SaveButton");
    EXPECT_EQ(f.informed.last(), QStringLiteral("Save a file as Plain or Unicode Text "));
    EXPECT_TRUE(f.engine->spoken.isEmpty());
    EXPECT_TRUE(f.fileChoices.isEmpty());
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::WholeText);
}

TEST(SaveCommand, UnicodeSaveThenSaveKeepTheEncoding)
{
    FileFixture f;
    f.setText(QStringLiteral("abc"));
    const QString p = f.path("out.txt");
    f.fileAnswer = p;
    f.ui.click("UniSaveButton");
    ASSERT_EQ(f.fileChoices.size(), 1);
    EXPECT_EQ(f.fileChoices[0].filter, QStringLiteral("Unicode Text(*.txt)|*.txt"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{10}uni$")).match(f.fileChoices[0].presetName).hasMatch());
    EXPECT_EQ(fileBytes(p), kUnicodeAbc);
    EXPECT_TRUE(f.ui.state().fUnicodeFile);
    EXPECT_EQ(f.ui.state().fFileName, p);
    EXPECT_FALSE(f.ui.textBox().isModified());

    f.setText(QStringLiteral("abc\n"));
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), kUnicodeAbc);
}

// Characters Shift-JIS cannot hold are asked about before anything is written: cancelling
// writes nothing, "Save as Unicode" goes on to that command, and saving with "?" leaves the
// text unsaved.
TEST(SaveCommand, PlainSaveAsksBeforeReplacingCharacters)
{
    FileFixture f;
    const QString p = f.write("plain.txt", "Cafe deja");
    f.open(p);
    f.ui.textBox().selectAll();
    f.ui.textBox().insertPlainText(QStringLiteral("Caf\u00E9 d\u00E9j\u00E0 \U00020BB7\u0100\u0101\u0102\u0103"));
    f.engine->clear();
    f.ui.click("SaveButton");
    ASSERT_EQ(f.choices.size(), 1);
    EXPECT_EQ(f.choices[0],
              QStringLiteral("8 character(s) cannot be written as Shift-JIS (CP932) text and would be saved as \"?\": "
                             "\u00E9 (U+00E9), \u00E0 (U+00E0), \U00020BB7 (U+20BB7), \u0100 (U+0100), \u0101 (U+0101), "
                             "...\nSave as Unicode to keep them?"));
    EXPECT_EQ(f.choiceButtons, (QStringList{"Save as Unicode", "Save with \"?\"", "Cancel"}));
    EXPECT_EQ(f.engine->spoken, QStringList{"Some characters cannot be saved as plain text. Save as Unicode?"});
    EXPECT_EQ(fileBytes(p), QByteArray("Cafe deja"));
    EXPECT_TRUE(f.ui.textBox().isModified());
    EXPECT_TRUE(f.fileChoices.size() == 1 && f.informed.isEmpty());

    // Save as PlainText under another name: "Save as Unicode" offers that name for a Unicode save.
    const QString other = f.path("other.txt");
    f.fileAnswer = other;
    f.choiceAnswer = 0;
    f.ui.click("PlainSaveButton");
    ASSERT_EQ(f.fileChoices.size(), 3);
    EXPECT_EQ(f.fileChoices[2].filter, QStringLiteral("Unicode Text(*.txt)|*.txt"));
    EXPECT_EQ(f.fileChoices[2].presetName, other);
    EXPECT_TRUE(fileBytes(other).startsWith("\xFF\xFE" "C\0"));
    EXPECT_TRUE(f.ui.state().fUnicodeFile);
    EXPECT_FALSE(f.ui.textBox().isModified());
    EXPECT_FALSE(f.ui.unsavedMark());

    f.fileAnswer = p;
    f.choiceAnswer = 1;
    f.ui.click("PlainSaveButton");
    EXPECT_EQ(fileBytes(p), QByteArray("Caf? d?j? ?????"));
    EXPECT_FALSE(f.ui.state().fUnicodeFile);
    EXPECT_EQ(f.ui.state().fFileName, p);
    EXPECT_TRUE(f.ui.textBox().isModified());
    EXPECT_TRUE(f.ui.unsavedMark());
    EXPECT_EQ(f.choices.size(), 3);
    EXPECT_TRUE(f.informed.isEmpty());
}

TEST(SaveCommand, RawBytesOfAPlainFileGoBackButTypedLookAlikesAreReplaced)
{
    FileFixture f;
    const QString p = f.write("bytes.txt", "ok\x80\r\n");
    f.open(p);
    const QString lookAlike(QChar(0xF780));
    EXPECT_EQ(f.ui.text(), QStringLiteral("ok") + lookAlike + QStringLiteral("\n"));
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), QByteArray("ok\x80\r\n"));
    EXPECT_TRUE(f.informed.isEmpty());

    f.ui.textBox().moveCursor(QTextCursor::End);
    f.ui.textBox().insertPlainText(lookAlike);
    f.ui.textBox().moveCursor(QTextCursor::Start);
    f.ui.textBox().insertPlainText(lookAlike);
    f.choiceAnswer = 1;
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), QByteArray("?ok\x80\r\n?"));
    ASSERT_EQ(f.choices.size(), 1);
    EXPECT_TRUE(f.choices[0].startsWith(QStringLiteral("2 character(s)")));
    EXPECT_TRUE(f.ui.textBox().isModified());

    // Read from Unicode text, the same character is no byte either.
    f.answerYes = true;
    f.open(f.write("unicode.txt", QByteArray::fromHex("fffe80f76100")));
    f.fileAnswer = f.path("plain.txt");
    f.ui.click("PlainSaveButton");
    EXPECT_EQ(fileBytes(f.path("plain.txt")), QByteArray("?a"));
    EXPECT_EQ(f.choices.size(), 2);
}

TEST(SaveCommand, UnicodeSaveAsHgNameTurnsHangulModeOnAndPlainSaveTurnsItOff)
{
    FileFixture f;
    f.setText(QStringLiteral("abc"));
    f.fileAnswer = f.path("hgNotes.txt");
    f.ui.click("UniSaveButton");
    EXPECT_TRUE(f.ui.state().fHangulMode);
    EXPECT_EQ(f.ui.state().fFontName, velmor::kFaceUIGothic);
    f.fileAnswer = f.path("hgPlain.txt");
    f.ui.click("PlainSaveButton");
    EXPECT_FALSE(f.ui.state().fHangulMode);
    EXPECT_FALSE(f.ui.state().fUnicodeFile);
}

TEST(SaveAs, OffersStarTxtForAnEmptyTextAndTheFileNameForANamedOne)
{
    FileFixture f;
    f.ui.click("UniSaveButton");
    f.ui.click("PlainSaveButton");
    const QString p = f.write("named.txt", "text");
    f.open(p);
    f.ui.click("UniSaveButton");
    ASSERT_EQ(f.fileChoices.size(), 4);
    EXPECT_EQ(f.fileChoices[0].presetName, QStringLiteral("*.txt"));
    EXPECT_EQ(f.fileChoices[1].presetName, QStringLiteral("*.txt"));
    EXPECT_EQ(f.fileChoices[3].presetName, p);
    EXPECT_EQ(f.fileChoices[3].directory, f.files.path());
}

TEST(SaveAs, OffersTheDateAndTimeForAnUntitledText)
{
    FileFixture f;
    f.setText(QStringLiteral("words"));
    QList<velmor::FileChoice> choices;
    velmor::Dialogs dialogs;
    dialogs.chooseFile = [&choices](const velmor::FileChoice& choice) {
        choices << choice;
        return std::optional<QString>();
    };
    QDateTime now(QDate(2005, 12, 25), QTime(14, 30, 5));
    velmor::FileServices services;
    services.now = [&now] { return now; };
    velmor::FileCommands commands(f.form->state(), f.form->speakingState(),
                                  {f.ui.textBox(), f.ui.control<velmor::IndicatorLabel>("SaveLabel"),
                                   f.ui.control<velmor::InfoLine>("ULabel98"), f.ui.control<velmor::UPanel>("UPanel1")},
                                  services, dialogs);
    commands.UniSaveButtonClick();
    now = QDateTime(QDate(2009, 3, 4), QTime(9, 5, 59));
    commands.PlainSaveButtonClick();
    ASSERT_EQ(choices.size(), 2);
    EXPECT_EQ(choices[0].presetName, QStringLiteral("0512251430uni"));
    EXPECT_EQ(choices[1].presetName, QStringLiteral("0903040905"));
}

TEST(SaveCommand, BigEndianUnicodeFileSavesBackAsItWasWithItsOddLastByte)
{
    FileFixture f;
    const QByteArray original = QByteArray::fromHex("feff" "0061000d000a" "d55c000d000a" "7f");
    const QString p = f.write("big.txt", original);
    f.open(p);
    EXPECT_EQ(f.ui.text(), QStringLiteral("a\n한\n"));
    EXPECT_TRUE(f.ui.state().fUnicodeFile);
    f.ui.type(QStringLiteral("x"));
    f.ui.press(Qt::Key_Backspace);
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), original);
}

TEST(SaveCommand, EveryFileKeepsItsLineBreaksAndANewTextGetsCrLf)
{
    FileFixture f;
    const QByteArray lf = "\x95\x5C\x8E\xA6\nascii\n\nlast";
    const QString p = f.write("lf.txt", lf);
    f.open(p);
    f.ui.type(QStringLiteral("x"));
    f.ui.press(Qt::Key_Backspace);
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), lf);
    f.fileAnswer = f.path("unicode.txt");
    f.ui.click("UniSaveButton");
    EXPECT_EQ(fileBytes(f.path("unicode.txt")).mid(2, 8), QByteArray::fromHex("68883a790a006100"));

    const QString cr = f.write("cr.txt", "one\rtwo\r");
    f.open(cr);
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(cr), QByteArray("one\rtwo\r"));

    f.ui.click("NewButton");
    f.ui.type(QStringLiteral("a"));
    f.ui.press(Qt::Key_Return);
    f.ui.type(QStringLiteral("b"));
    f.fileAnswer = f.path("new.txt");
    f.answerYes = true;
    f.ui.click("PlainSaveButton");
    EXPECT_EQ(fileBytes(f.path("new.txt")), QByteArray("a\r\nb"));
}

TEST(SaveCommand, FailedWriteKeepsTheOldFileAndTheDocumentState)
{
    FileFixture f;
    const QString p = f.write("keep.txt", "old");
    f.open(p);
    f.ui.type(QStringLiteral("new "));
    {
        testfiles::FileSizeLimit full(2);
        f.ui.click("SaveButton");
    }
    EXPECT_EQ(f.errors, QStringList{QStringLiteral("ファイル %1 を作成できません").arg(p)});
    EXPECT_EQ(fileBytes(p), QByteArray("old"));
    EXPECT_TRUE(f.ui.textBox().isModified());
    EXPECT_TRUE(f.ui.unsavedMark());

    f.fileAnswer = f.path("no/such/folder/x.txt");
    f.ui.click("UniSaveButton");
    EXPECT_EQ(f.errors.size(), 2);
    EXPECT_EQ(f.ui.state().fFileName, p);
    EXPECT_FALSE(f.ui.state().fUnicodeFile);
}

TEST(SaveCommand, UnchangedUtf8FileSavesByteForByte)
{
    FileFixture f;
    const QByteArray original = "caf\xC3\xA9\nna\xC3\xAFve\n";
    const QString p = f.write("utf8.txt", original);
    f.open(p);
    EXPECT_EQ(f.ui.text(), QStringLiteral("café\nnaïve\n"));
    f.ui.type(QStringLiteral("x"));
    f.ui.press(Qt::Key_Backspace);
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), original);
}

TEST(SaveCommand, UnicodeSaveLeavesCaretAndViewWhereTheyWere)
{
    FileFixture f;
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("line %1\n").arg(i);
    f.setText(text);
    f.ui.textBox().setSelection(1500, 0);
    f.ui.textBox().ensureCursorVisible();
    const int scroll = f.ui.textBox().verticalScrollBar()->value();
    f.fileAnswer = f.path("long.txt");
    f.ui.click("UniSaveButton");
    EXPECT_EQ(f.ui.textBox().selStart(), 1500);
    EXPECT_EQ(f.ui.textBox().verticalScrollBar()->value(), scroll);
}

// Each line keeps the break it was read with until it is edited; an edited or new line gets
// the file's usual one, whatever the edit did to the lines around it.
TEST(SaveCommand, MixedLineBreaksStayOnTheLinesThatWereNotEdited)
{
    FileFixture f;
    const QString p = f.write("mixed.txt", "a\r\nb\nc\rd\r\ne\n");
    f.open(p);
    EXPECT_EQ(f.ui.textBox().wholeText(), QStringLiteral("a\nb\nc\nd\ne\n"));
    // Colouring, a font change and an unsaved round trip through an edit change no line.
    f.trigger(ActionId::N10);
    QTextCursor cursor(f.ui.textBox().document());
    cursor.setPosition(8);
    cursor.insertText(QStringLiteral("x"));
    cursor.deletePreviousChar();
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), QByteArray("a\r\nb\nc\rd\r\ne\n"));

    // "b" edited, a line added above "c", text typed on the empty last line.
    cursor.setPosition(3);
    cursor.insertText(QStringLiteral("x"));
    cursor.setPosition(5);
    cursor.insertText(QStringLiteral("new\n"));
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("f"));
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), QByteArray("a\r\nbx\r\nnew\r\nc\rd\r\ne\nf"));

    f.fileAnswer = f.path("mixed-unicode.txt");
    f.ui.click("UniSaveButton");
    const QByteArray unicode = fileBytes(f.path("mixed-unicode.txt"));
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(unicode.constData() + 2), (unicode.size() - 2) / 2),
              QStringLiteral("a\r\nbx\r\nnew\r\nc\rd\r\ne\nf\r\n"));
}

// An overwrite in place that was killed midway leaves a copy of the old file beside it; the next
// open of the file offers to restore it or to delete it, and keeping both asks again next time.
TEST(OpenCommand, OffersToRestoreOrDeleteACopyLeftByAnUnfinishedSave)
{
    FileFixture f;
    const QString p = f.write("doc.txt", "half writ");
    const QString copy = f.write("doc.txt.velmor-backup-k3x9", "the whole old text");
    f.write("doc.txt.velmor-backupX", "not a copy");
    f.engine->clear();
    f.open(p);
    ASSERT_EQ(f.choices.size(), 1);
    EXPECT_EQ(f.choices[0],
              QStringLiteral("A save of %1 did not finish and left a copy of the file as it was before: %2\n"
                             "Restore the file from the copy, or delete the copies?")
                  .arg(p, copy));
    EXPECT_EQ(f.choiceButtons, (QStringList{"Restore", "Delete", "Keep"}));
    EXPECT_EQ(f.engine->spoken, QStringList{"A save of this file did not finish. Restore the file from its copy?"});
    EXPECT_EQ(f.ui.textBox().wholeText(), QStringLiteral("half writ"));
    EXPECT_TRUE(QFile::exists(copy));

    f.choiceAnswer = 0;
    f.open(p);
    EXPECT_EQ(f.ui.textBox().wholeText(), QStringLiteral("the whole old text"));
    EXPECT_EQ(fileBytes(p), QByteArray("the whole old text"));
    EXPECT_FALSE(QFile::exists(copy));
    f.open(p);
    EXPECT_EQ(f.choices.size(), 2);

    f.write("doc.txt.velmor-backup-a", "one");
    f.write("doc.txt.velmor-backup-b", "two");
    f.choiceAnswer = 1;
    f.open(p);
    EXPECT_TRUE(f.choices.last().contains(QStringLiteral("(2 copies were found; the newest is named.)")));
    EXPECT_EQ(fileBytes(p), QByteArray("the whole old text"));
    EXPECT_EQ(testfiles::folderEntries(f.files.path()),
              (QStringList{"doc.txt", "doc.txt.velmor-backupX"}));
    EXPECT_TRUE(f.errors.isEmpty());
}

// A document opens as new, untitled text named after it: Save cannot write over it, Save As offers
// its name with ".txt", and the info line says where the text came from. One that cannot be read
// says why and leaves the text as it was. A web page named .html opens as text, markup and all,
// until "Open web pages without markup" is checked.
TEST(OpenCommand, ADocumentOpensAsUntitledTextThatSaveNeverWritesOver)
{
    FileFixture f;
    const QByteArray page = "<html><head><title>Report</title><style>p { margin: 0 }</style></head><body>"
                            "<h1>Findings</h1><p>The harbour is <b>open</b>.</p><script>hidden()</script></body></html>";
    const QString p = f.write("report.html", page);
    f.open(p);
    EXPECT_TRUE(f.fileChoices[0].filter.contains(QStringLiteral("|All readable files|")));
    EXPECT_EQ(f.ui.text(), QString::fromUtf8(page));
    EXPECT_EQ(f.ui.state().fFileName, p);
    f.ui.action(velmor::ActionId::WebPages1).setChecked(true);
    f.open(p);
    EXPECT_EQ(f.ui.text(), QStringLiteral("Findings\nThe harbour is open."));
    EXPECT_TRUE(f.ui.state().fFileName.isEmpty());
    EXPECT_EQ(f.ui.state().fImportedFrom, p);
    EXPECT_TRUE(f.ui.infoLine().startsWith(QStringLiteral("Untitled text from ")));
    EXPECT_TRUE(f.ui.infoLine().endsWith(QStringLiteral("report.html")));
    EXPECT_FALSE(f.ui.textBox().isModified());

    f.ui.type(QStringLiteral("edited "));
    f.ui.click("SaveButton");
    EXPECT_EQ(f.informed.last(), QStringLiteral("Save a file as Plain or Unicode Text "));
    EXPECT_EQ(fileBytes(p), page);
    f.fileAnswer = std::nullopt;
    f.ui.click("PlainSaveButton");
    EXPECT_EQ(f.fileChoices.last().presetName, f.path("report.txt"));

    f.answerYes = true;
    f.open(f.write("broken.pdf", "%PDF-1.4 not really"));
    EXPECT_EQ(f.errors, QStringList{QStringLiteral("broken.pdf is damaged: its PDF structure cannot be read.")});
    EXPECT_TRUE(f.ui.text().startsWith(QStringLiteral("edited Findings")));
    EXPECT_EQ(f.ui.state().fImportedFrom, p);

    // A file that is neither text nor a document is passed over without a word.
    f.ui.state().fOpenName = f.write("program", QByteArray("\x7f" "ELF\0\0\0", 7));
    f.form->MyTextFileOpen();
    EXPECT_TRUE(f.ui.text().startsWith(QStringLiteral("edited Findings")));
    EXPECT_EQ(f.errors.size(), 1);
}

// A long PDF shows its first pages as soon as they are read, already as untitled text from the
// document, and the whole text takes their place once it is in.
TEST(OpenCommand, ALongPdfShowsItsFirstPagesWhileTheRestIsRead)
{
    FileFixture f;
    QByteArray pdf;
    QStringList pages;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        QPainter painter(&writer);
        for (int page = 1; page <= 12; ++page) {
            if (page > 1)
                writer.newPage();
            pages << QStringLiteral("Page %1 says hello.").arg(page);
            painter.drawText(QPointF(1000, 5000), pages.back());
        }
    }
    const QString p = f.write("long.pdf", pdf);
    struct Seen {
        QString text;
        QString fileName;
        QString importedFrom;
    };
    std::vector<Seen> whileOpening;
    QObject watching;
    QObject::connect(&f.ui.textBox(), &QPlainTextEdit::textChanged, &watching, [&] {
        if (f.form->fileCommands().opening() && !f.ui.textBox().document()->isEmpty())
            whileOpening.push_back({f.ui.text(), f.ui.state().fFileName, f.ui.state().fImportedFrom});
    });
    f.open(p);
    EXPECT_EQ(f.ui.text(), pages.join(u'\n'));
    ASSERT_FALSE(whileOpening.empty());
    EXPECT_EQ(whileOpening.back().text, pages.mid(0, 4).join(u'\n'));
    EXPECT_TRUE(whileOpening.back().fileName.isEmpty());
    EXPECT_EQ(whileOpening.back().importedFrom, p);
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), pdf);
}

// A text file that reads only with undecodable bytes as Shift-JIS is offered in the encoding it
// seems to be in; the user may choose another one from a list, or cancel. Reopened so, it is
// untitled text, and its bytes stay as they were.
TEST(OpenCommand, AFileInAnotherEncodingIsOfferedAndReopensAsUntitledText)
{
    FileFixture f;
    const QString japanese = QString::fromUtf8("今日は晴れです。明日の天気はどうでしょうか。私たちは港へ行きます。");
    QStringEncoder eucJp("EUC-JP");
    if (!eucJp.isValid())
        GTEST_SKIP() << "this Qt encodes no EUC-JP";
    const QByteArray bytes = eucJp(japanese);
    const QString p = f.write("memo.txt", bytes);
    f.ui.trigger(velmor::ActionId::ReopenEncoding1);
    EXPECT_EQ(f.informed.last(), QStringLiteral("Open a text file first: Reopen with encoding reads its bytes again."));
    EXPECT_TRUE(f.items.isEmpty());
    f.open(p);
    EXPECT_EQ(f.ui.state().fFileName, p);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral("  memo.txt may be in EUC-JP: Edit > Reopen with encoding"));

    f.itemAnswer = [](int) { return std::optional<int>(); };
    f.ui.trigger(velmor::ActionId::ReopenEncoding1);
    EXPECT_EQ(f.itemLabel, QStringLiteral("Read memo.txt in the encoding:"));
    EXPECT_EQ(f.itemPreset, 0);
    EXPECT_EQ(f.items.value(0), QStringLiteral("EUC-JP (Japanese), detected"));
    for (const QString other : {"Shift-JIS (Japanese)", "UTF-8 (Unicode)", "Windows-1252 (Western European)",
                                "KOI8-R (Russian)", "GB18030 (Chinese, simplified)", "Big5 (Chinese, traditional)"})
        EXPECT_TRUE(f.items.contains(other)) << other.toStdString();
    EXPECT_EQ(f.items.count(QStringLiteral("EUC-JP (Japanese)")), 0);
    EXPECT_EQ(f.ui.state().fFileName, p);

    const QStringList offered = f.items;
    f.itemAnswer = [&offered](int) { return std::optional<int>(offered.indexOf("ISO-8859-1 (Western European)")); };
    f.ui.trigger(velmor::ActionId::ReopenEncoding1);
    ASSERT_TRUE(f.waitForOpen());
    EXPECT_EQ(f.ui.text(), QString::fromLatin1(bytes));
    EXPECT_TRUE(f.ui.state().fFileName.isEmpty());
    EXPECT_EQ(f.ui.state().fImportedFrom, p);

    // The detected encoding stays first when the text is reopened again, and is the preset.
    f.itemAnswer = [](int preset) { return std::optional<int>(preset); };
    f.ui.trigger(velmor::ActionId::ReopenEncoding1);
    ASSERT_TRUE(f.waitForOpen());
    EXPECT_EQ(f.items, offered);
    EXPECT_EQ(f.ui.text(), japanese);
    EXPECT_EQ(f.ui.state().fImportedFrom, p);
    f.ui.click("SaveButton");
    EXPECT_EQ(fileBytes(p), bytes);
}
