#include "FormFixture.h"
#include "QtPrinters.h"
#include "../app/TestFiles.h"

#include "app/FaceNames.h"
#include "app/FormState.h"
#include "document/YukiMarks.h"
#include "widgets/FlatButton.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"

#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

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
        form->OpenButton->click();
    }
};

} // namespace

TEST(OpenCommand, ReadsAPlainFileAndNamesTheDocument)
{
    FileFixture f;
    const QString p = f.write("memo.txt", "line one\r\n\x95\x5C\x83\x5C\r\n");
    f.open(p);
    ASSERT_EQ(f.fileChoices.size(), 1);
    EXPECT_EQ(f.fileChoices[0].presetName, QStringLiteral("*.txt"));
    EXPECT_TRUE(f.fileChoices[0].filter.startsWith(QStringLiteral("Text and UnicodeText(*.txt)|*.txt|")));
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("line one\n表ソ\n"));
    EXPECT_EQ(f.form->state().fFileName, p);
    EXPECT_FALSE(f.form->state().fUnicodeFile);
    EXPECT_FALSE(f.form->RichEdit98->isModified());
    EXPECT_FALSE(f.form->SaveLabel->isOpaque());
    EXPECT_TRUE(f.form->ULabel98->text().endsWith(QStringLiteral("memo.txt")));
    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Velmor_L   Line: 1      Col: 0    "));
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(OpenCommand, AsksFirstWhenTheTextHasUnsavedChanges)
{
    FileFixture f;
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("unsaved"));
    f.open(f.write("memo.txt", "other"));
    EXPECT_EQ(f.questions.size(), 1);
    EXPECT_TRUE(f.fileChoices.isEmpty());
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("unsaved"));
}

TEST(OpenCommand, MissingFileKeepsTheDocumentAsItWas)
{
    FileFixture f;
    f.open(f.write("first.txt", "first"));
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("x"));
    f.answerYes = true;
    const QString missing = f.path("gone.txt");
    f.open(missing);
    EXPECT_EQ(f.errors, QStringList{QStringLiteral("ファイル %1 は開けません").arg(missing)});
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("xfirst"));
    EXPECT_EQ(f.form->state().fFileName, f.path("first.txt"));
    EXPECT_TRUE(f.form->RichEdit98->isModified());
}

TEST(OpenCommand, ColoursYukiMarksAndLeavesNothingToUndo)
{
    FileFixture f;
    f.open(f.write("marks.txt", "a*b"));
    QTextCursor cursor(f.form->RichEdit98->document());
    cursor.setPosition(2);
    EXPECT_EQ(cursor.charFormat().foreground().color(), velmor::kYukiColor);
    EXPECT_FALSE(f.form->RichEdit98->document()->isUndoAvailable());
    EXPECT_FALSE(f.form->RichEdit98->isModified());
}

TEST(OpenCommand, UnicodeHgFileSwitchesToHangulModeAndItsFont)
{
    FileFixture f;
    f.open(f.write("hgText.txt", kUnicodeAbc));
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("abc\n"));
    EXPECT_TRUE(f.form->state().fUnicodeFile);
    EXPECT_TRUE(f.form->state().fHangulMode);
    EXPECT_EQ(f.form->state().fFontName, velmor::kFaceUIGothic);
    EXPECT_EQ(f.form->RichEdit98->font().family(), velmor::kFaceUIGothic);

    f.open(f.write("HG.txt", kUnicodeAbc));
    EXPECT_FALSE(f.form->state().fHangulMode);
    f.open(f.write("hgPlain.txt", "abc"));
    EXPECT_FALSE(f.form->state().fHangulMode);
}

TEST(NamedOpen, FollowsTheExtensionRuleAndShortcuts)
{
    FileFixture f;
    f.form->state().fOpenName = f.write("Notes.Txt", "ignored");
    f.form->state().fParamOpen = true;
    f.form->MyTextFileOpen();
    EXPECT_TRUE(f.form->RichEdit98->toPlainText().isEmpty());
    EXPECT_FALSE(f.form->state().fParamOpen);
    EXPECT_TRUE(f.errors.isEmpty());

    const QString target = f.write("target.txt", "through the link");
    const QString link = f.path("shortcut.lnk");
    ASSERT_TRUE(QFile::link(target, link));
    f.form->openCommandLineFile(link);
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("through the link"));
    EXPECT_EQ(f.form->state().fFileName, target);
    EXPECT_FALSE(f.form->state().fParamOpen);
}

TEST(SaveCommand, RefusesAnEmptyOrUntitledText)
{
    FileFixture f;
    f.engine->clear();
    f.form->SaveButton->click();
    EXPECT_EQ(f.informed, QStringList{QStringLiteral("Text was not found")});
    EXPECT_EQ(f.engine->spoken, QStringList{QStringLiteral("Text was not found")});
    f.setText(QStringLiteral("words"));
    f.form->state().fSpeechKind = 1;
    f.form->SICheckBox->setChecked(false);
    f.engine->clear();
    f.form->SaveButton->click();
    EXPECT_EQ(f.informed.last(), QStringLiteral("Save a file as Plain or Unicode Text "));
    EXPECT_TRUE(f.engine->spoken.isEmpty());
    EXPECT_TRUE(f.fileChoices.isEmpty());
}

TEST(SaveCommand, UnicodeSaveThenSaveKeepTheEncoding)
{
    FileFixture f;
    f.setText(QStringLiteral("abc"));
    const QString p = f.path("out.txt");
    f.fileAnswer = p;
    f.form->UniSaveButton->click();
    ASSERT_EQ(f.fileChoices.size(), 1);
    EXPECT_EQ(f.fileChoices[0].filter, QStringLiteral("Unicode Text(*.txt)|*.txt"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{10}uni$")).match(f.fileChoices[0].presetName).hasMatch());
    EXPECT_EQ(fileBytes(p), kUnicodeAbc);
    EXPECT_TRUE(f.form->state().fUnicodeFile);
    EXPECT_EQ(f.form->state().fFileName, p);
    EXPECT_FALSE(f.form->RichEdit98->isModified());

    f.setText(QStringLiteral("abc\n"));
    f.form->SaveButton->click();
    EXPECT_EQ(fileBytes(p), kUnicodeAbc);
}

TEST(SaveCommand, PlainSaveCountsTheCharactersCp932CannotHold)
{
    FileFixture f;
    f.setText(QStringLiteral("a\u00E9\u0100b"));
    const QString p = f.path("plain.txt");
    f.fileAnswer = p;
    f.form->PlainSaveButton->click();
    EXPECT_EQ(f.fileChoices[0].filter, QStringLiteral("Text(*.txt)|*.txt"));
    EXPECT_EQ(fileBytes(p), QByteArray("a??b"));
    ASSERT_EQ(f.informed.size(), 1);
    EXPECT_TRUE(f.informed[0].startsWith(QStringLiteral("2 character(s)")));
    EXPECT_FALSE(f.form->state().fUnicodeFile);
}

TEST(SaveCommand, FailedWriteKeepsTheOldFileAndTheDocumentState)
{
    FileFixture f;
    const QString p = f.write("keep.txt", "old");
    f.open(p);
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("new "));
    {
        testfiles::FileSizeLimit full(2);
        f.form->SaveButton->click();
    }
    EXPECT_EQ(f.errors, QStringList{QStringLiteral("ファイル %1 を作成できません").arg(p)});
    EXPECT_EQ(fileBytes(p), QByteArray("old"));
    EXPECT_TRUE(f.form->RichEdit98->isModified());
    EXPECT_TRUE(f.form->SaveLabel->isOpaque());

    f.fileAnswer = f.path("no/such/folder/x.txt");
    f.form->UniSaveButton->click();
    EXPECT_EQ(f.errors.size(), 2);
    EXPECT_EQ(f.form->state().fFileName, p);
    EXPECT_FALSE(f.form->state().fUnicodeFile);
}

TEST(SaveCommand, UnchangedUtf8FileSavesByteForByte)
{
    FileFixture f;
    const QByteArray original = "caf\xC3\xA9\nna\xC3\xAFve\n";
    const QString p = f.write("utf8.txt", original);
    f.open(p);
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("café\nnaïve\n"));
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("x"));
    QTest::keyClick(f.form->RichEdit98, Qt::Key_Backspace);
    f.form->SaveButton->click();
    EXPECT_EQ(fileBytes(p), original);
}

TEST(SaveCommand, UnicodeSaveLeavesCaretAndViewWhereTheyWere)
{
    FileFixture f;
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("line %1\n").arg(i);
    f.setText(text);
    f.form->RichEdit98->setSelection(1500, 0);
    f.form->RichEdit98->ensureCursorVisible();
    const int scroll = f.form->RichEdit98->verticalScrollBar()->value();
    f.fileAnswer = f.path("long.txt");
    f.form->UniSaveButton->click();
    EXPECT_EQ(f.form->RichEdit98->selStart(), 1500);
    EXPECT_EQ(f.form->RichEdit98->verticalScrollBar()->value(), scroll);
}
