#include "FormFixture.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "app/FormState.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QFile>
#include <QRegularExpression>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString fileText(const QString& path) { return QString::fromUtf8(testfiles::fileBytes(path)); }

int sectionCount(const QString& text) { return int(text.count(QRegularExpression(QStringLiteral("^\\[Form1\\\\"), QRegularExpression::MultilineOption))); }

QAction* action(FormFixture& f, const char* name) { return f.form->findChild<QAction*>(QString::fromLatin1(name)); }

} // namespace

TEST(WindowSettings, FirstCloseWritesAllThirtyThreeItems)
{
    FormFixture f;
    ASSERT_FALSE(QFile::exists(f.settingsFile));
    EXPECT_TRUE(f.form->state().ffirst);
    ASSERT_TRUE(f.form->close());
    const QString text = fileText(f.settingsFile);
    EXPECT_EQ(sectionCount(text), 33);
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Form1\\fid]\nInteger=1\n[Form1\\FSpd]\nInteger=150\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\ffirst]\nBoolean=0")));
    EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fMarkColor]\nInteger=13820373")));
    EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fFontName]\nString=ＭＳ Ｐ明朝")));
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(WindowSettings, WhatTheWindowShowsComesBackAtTheNextStart)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    {
        FormFixture f(2, true, ini);
        f.form->RepUpDown->setValue(7);
        f.form->SICheckBox->setChecked(false);
        f.form->ShowCheckBox->setChecked(false);
        action(f, "endline")->setChecked(false);
        f.form->state().FSpd = 170;
        f.form->state().fSelBgColor = 0x00112233;
        f.form->state().fFileName = QStringLiteral("/tmp/notes.txt");
        f.form->move(40, 60);
        f.form->resize(700, 500);
        ASSERT_TRUE(f.form->close());
    }
    FormFixture again(2, false, ini);
    const velmor::FormState& s = again.form->state();
    EXPECT_EQ(s.fRepNum, 7);
    EXPECT_EQ(again.form->RepUpDown->value(), 7);
    EXPECT_FALSE(again.form->SICheckBox->isChecked());
    EXPECT_FALSE(again.form->ShowCheckBox->isChecked());
    EXPECT_FALSE(action(again, "Show1")->isChecked());
    EXPECT_FALSE(action(again, "endline")->isChecked());
    EXPECT_TRUE(action(again, "LastfileCheck")->isChecked());
    EXPECT_EQ(s.FSpd, 170);
    EXPECT_EQ(s.fSelBgColor, 0x00112233u);
    EXPECT_EQ(s.fLastfile, QStringLiteral("/tmp/notes.txt"));
    EXPECT_FALSE(s.ffirst);
    EXPECT_EQ(again.form->size(), QSize(700, 500));
}

TEST(WindowSettings, MaximisedCloseStoresTheMaximisedBoundsAndTheFlag)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    {
        FormFixture f(2, true, ini);
        f.form->showMaximized();
        QApplication::processEvents();
        const QSize maximised = f.form->size();
        ASSERT_TRUE(f.form->close());
        const QString text = fileText(ini);
        EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fMaxForm]\nBoolean=1")));
        EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fWidth]\nInteger=%1").arg(maximised.width())));
    }
    FormFixture again(2, false, ini);
    EXPECT_TRUE(again.form->state().fMaxForm);
    EXPECT_EQ(again.form->pos(), QPoint(16, 16));
    EXPECT_EQ(again.form->size(), QSize(780, 580));
}

TEST(WindowSettings, BoundsOffEveryScreenFallBackToTheDefaults)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    testfiles::writeFileBytes(ini, "[Form1\\fTop]\nInteger=-9000\n[Form1\\fLeft]\nInteger=-9000\n");
    FormFixture f(2, false, ini);
    EXPECT_EQ(f.form->pos(), QPoint(16, 16));
    EXPECT_EQ(f.form->size(), QSize(780, 580));
}

TEST(WindowSettings, JapaneseSettingsFileGivesTheFontName)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    // "ＭＳ Ｐゴシック" in code page 932.
    testfiles::writeFileBytes(ini, QByteArray("[Form1\\fFontName]\r\nString=\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E\r\n"));
    FormFixture f(2, false, ini);
    EXPECT_EQ(f.form->state().fFontName, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(f.form->RichEdit98->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
}

TEST(WindowSettings, RefusedWriteKeepsTheWindowTheTextAndTheOldFile)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const QByteArray old = "[Form1\\fRepNum]\nInteger=4\n";
    testfiles::writeFileBytes(ini, old);
    FormFixture f(2, true, ini);
    f.answerYes = true;
    QTest::keyClicks(f.form->RichEdit98, QStringLiteral("unsaved words"));
    {
        testfiles::FileSizeLimit full(8);
        EXPECT_FALSE(f.form->close());
    }
    ASSERT_EQ(f.errors.size(), 1);
    EXPECT_EQ(f.errors[0], ini + QStringLiteral(" に書き込めません"));
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_EQ(f.form->RichEdit98->toPlainText(), QStringLiteral("unsaved words"));
    EXPECT_EQ(testfiles::fileBytes(ini), old);
}

TEST(WindowSettings, UnknownSectionsSurviveTheClose)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    testfiles::writeFileBytes(ini, "[Other]\nkey=value\n");
    FormFixture f(2, true, ini);
    ASSERT_TRUE(f.form->close());
    EXPECT_TRUE(fileText(ini).contains(QStringLiteral("[Other]\nkey=value")));
}
