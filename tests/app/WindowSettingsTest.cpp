#include "FormFixture.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "core/FormState.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QRegularExpression>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString fileText(const QString& path) { return QString::fromUtf8(testfiles::fileBytes(path)); }


} // namespace

// The settings files below were written by the window itself. A first close writes every item
// with its default; a file with every item changed (but the two a close always writes: ffirst,
// and fMaxForm, which brings other bounds) is read and written back unchanged, so each
// item's read and write rules agree with each other and with the file.
QString goldenFile(const char* name)
{
    return fileText(QStringLiteral(VELMOR_SOURCE_DIR "/tests/app/data/") + QString::fromLatin1(name));
}

TEST(WindowSettings, FirstCloseWritesEveryItemWithItsDefault)
{
    FormFixture f;
    ASSERT_FALSE(QFile::exists(f.settingsFile));
    EXPECT_TRUE(f.ui.state().ffirst);
    ASSERT_TRUE(f.form->close());
    EXPECT_EQ(fileText(f.settingsFile), goldenFile("first-close.ini"));
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(WindowSettings, ChangedItemsAreReadAndWrittenBackAsTheyWere)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const QString changed = goldenFile("changed-items.ini");
    testfiles::writeFileBytes(ini, changed.toUtf8());
    FormFixture f(2, true, ini);
    EXPECT_FALSE(f.form->state().ffirst);
    ASSERT_TRUE(f.form->close());
    EXPECT_EQ(fileText(ini), changed);
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(WindowSettings, WhatTheWindowShowsComesBackAtTheNextStart)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    QRect outer;
    {
        FormFixture f(2, true, ini);
        f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(7);
        f.ui.control<velmor::LozengeCheckBox>("SICheckBox").setChecked(false);
        f.ui.control<velmor::LozengeCheckBox>("ShowCheckBox").setChecked(false);
        f.ui.action(ActionId::endline).setChecked(false);
        f.ui.state().FSpd = 170;
        f.ui.state().fSelBgColor = 0x00112233;
        f.ui.state().fFileName = QStringLiteral("/tmp/notes.txt");
        f.form->move(40, 60);
        f.form->resize(700, 500);
        outer = f.form->frameGeometry();
        ASSERT_TRUE(f.form->close());
    }
    FormFixture again(2, true, ini);
    const velmor::FormState& s = again.ui.state();
    EXPECT_EQ(s.fRepNum, 7);
    EXPECT_EQ(again.ui.control<velmor::UpDownEdit>("RepUpDown").value(), 7);
    EXPECT_FALSE(again.ui.control<velmor::LozengeCheckBox>("SICheckBox").isChecked());
    EXPECT_FALSE(again.ui.control<velmor::LozengeCheckBox>("ShowCheckBox").isChecked());
    EXPECT_FALSE(again.ui.action(ActionId::Show1).isChecked());
    EXPECT_FALSE(again.ui.action(ActionId::endline).isChecked());
    EXPECT_TRUE(again.ui.action(ActionId::LastfileCheck).isChecked());
    EXPECT_EQ(s.FSpd, 170);
    EXPECT_EQ(s.fSelBgColor, 0x00112233u);
    EXPECT_EQ(s.fLastfile, QStringLiteral("/tmp/notes.txt"));
    EXPECT_FALSE(s.ffirst);
    // The bounds are the outer ones, frame included.
    EXPECT_EQ(again.form->frameGeometry(), outer);
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
        const QSize maximised = f.form->frameGeometry().size();
        ASSERT_TRUE(f.form->close());
        const QString text = fileText(ini);
        EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fMaxForm]\nBoolean=1")));
        EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fWidth]\nInteger=%1").arg(maximised.width())));
    }
    FormFixture again(2, false, ini);
    EXPECT_TRUE(again.ui.state().fMaxForm);
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
    EXPECT_EQ(f.ui.state().fFontName, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(f.ui.textBox().font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
}

TEST(WindowSettings, RefusedWriteAsksAndKeepsTheWindowTheTextAndTheOldFile)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const QByteArray old = "[Form1\\fRepNum]\nInteger=4\n";
    testfiles::writeFileBytes(ini, old);
    FormFixture f(2, true, ini);
    f.setText(QStringLiteral("unsaved words"));
    {
        testfiles::FileSizeLimit full(8);
        EXPECT_FALSE(f.form->close());
    }
    const QString question = ini + QStringLiteral(" に書き込めません\nClose without saving the settings?");
    EXPECT_EQ(f.questions, QStringList{question});
    EXPECT_TRUE(f.errors.isEmpty());
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_EQ(f.ui.text(), QStringLiteral("unsaved words"));
    EXPECT_EQ(testfiles::fileBytes(ini), old);

    f.answerYes = true;
    {
        testfiles::FileSizeLimit full(8);
        EXPECT_TRUE(f.form->close());
    }
    EXPECT_EQ(testfiles::fileBytes(ini), old);
}

// A FIFO would block the start for good, /dev/zero would eat memory; a folder or a dangling link
// cannot take the settings. Each starts with the defaults and is left as it is, and the user can
// still close.
TEST(WindowSettings, SettingsPathThatIsNoRegularFileStartsAndStillLetsTheUserClose)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const QByteArray name = QFile::encodeName(ini);
    // A FIFO with settings waiting in it: still not read.
    int fifoWriter = -1;
    const std::function<bool()> makers[] = {
        [&] {
            const QByteArray waiting = "[Form1\\fRepNum]\nInteger=7\n";
            fifoWriter = mkfifo(name.constData(), 0600) == 0 ? open(name.constData(), O_RDWR | O_NONBLOCK) : -1;
            return fifoWriter >= 0 && write(fifoWriter, waiting.constData(), size_t(waiting.size())) == waiting.size();
        },
        [&] { return QFile::link(QStringLiteral("/dev/zero"), ini); },
        [&] { return QDir().mkdir(ini); },
        [&] { return QFile::link(folder.filePath(QStringLiteral("gone.ini")), ini); },
    };
    for (const auto& make : makers) {
        ASSERT_TRUE(make());
        const QFileInfo before(ini);
        {
            FormFixture f(2, true, ini);
            EXPECT_EQ(f.ui.state().fRepNum, 1);
            EXPECT_FALSE(f.form->close());
            EXPECT_EQ(f.questions.size(), 1);
            f.answerYes = true;
            EXPECT_TRUE(f.form->close());
        }
        const QFileInfo after(ini);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.isDir(), before.isDir());
        EXPECT_FALSE(after.isFile());
        EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("gone.ini"))));
        ASSERT_TRUE(QFile::remove(ini) || QDir().rmdir(ini));
    }
    close(fifoWriter);
}

// Stored numbers far out of range must neither overflow a sum (the speed plus a voice's offset,
// the language ID less one, the window width less the panel) nor open a window larger than the
// screen or off it.
TEST(WindowSettings, StoredNumbersAreBroughtIntoRange)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const auto maryAndAnna = [](FakeSpeechEngine& e) {
        e.modeNames = {"Mary", "Female A"};
        e.speakers = {"Mary", "Anna"};
    };
    testfiles::writeFileBytes(ini, "[Form1\\FSpd]\nInteger=-2147483648\n[Form1\\fid]\nInteger=2\n"
                                   "[Form1\\fPanelW]\nInteger=-2147483648\n[Form1\\fTop]\nInteger=2147483647\n"
                                   "[Form1\\fRepNum]\nInteger=0\n[Form1\\fFontSize]\nInteger=-5\n");
    FormFixture f(2, true, ini, maryAndAnna);
    const velmor::FormState& s = f.ui.state();
    EXPECT_EQ(s.FSpd, 130);
    EXPECT_EQ(s.fid, 2);
    EXPECT_EQ(s.fPanelW, 1);
    EXPECT_EQ(s.fTop, 32767);
    EXPECT_EQ(s.fRepNum, 1);
    EXPECT_EQ(s.fFontSize, 1);
    EXPECT_EQ(f.form->pos(), QPoint(16, 16));

    testfiles::writeFileBytes(ini, "[Form1\\fWidth]\nInteger=100000\n[Form1\\fHeight]\nInteger=100000\n"
                                   "[Form1\\fLeft]\nInteger=0\n[Form1\\fTop]\nInteger=0\n"
                                   "[Form1\\fid]\nInteger=-2147483648\n");
    FormFixture huge(2, false, ini, maryAndAnna);
    EXPECT_EQ(huge.ui.state().fid, 1);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(huge.form->size(), screen.size());
}

TEST(WindowSettings, TitleBarMustBeReachableNotJustOnePixel)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    testfiles::writeFileBytes(ini, QStringLiteral("[Form1\\fLeft]\nInteger=%1\n[Form1\\fTop]\nInteger=%2\n")
                                       .arg(screen.right())
                                       .arg(screen.top() + 100)
                                       .toUtf8());
    FormFixture f(2, false, ini);
    EXPECT_EQ(f.form->pos(), QPoint(16, 16));
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
