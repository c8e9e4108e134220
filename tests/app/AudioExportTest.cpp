#include "FormFixture.h"
#include "TestFiles.h"

#include "app/AudioExportCommand.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct ExportFixture : FormFixture {
    QTemporaryDir files;
    const std::vector<qint16> tenth = std::vector<qint16>(kRate / 10, 1000);

    QStringList filesLeft() const { return QDir(files.path()).entryList(QDir::Files | QDir::Hidden); }
    QProgressDialog* progress() const { return form->audioExport().progressWindow(); }
    velmor::SpeechSink& sink() const { return *engine->recordings.back().sink; }
    bool feed(int tenths)
    {
        for (int i = 0; i < tenths; ++i) {
            if (!sink().take(tenth.data(), qsizetype(tenth.size())))
                return false;
        }
        return true;
    }
    void exportTo(const QString& name)
    {
        fileAnswer = files.filePath(name);
        trigger(ActionId::SaveSpeech1);
    }
};

sf_count_t framesIn(const QString& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return -1;
    sf_close(file);
    return info.frames;
}

} // namespace

TEST(SaveSpeechAsAudio, WritesTheTextOrSelectionInTheBackgroundWhileTheWindowStaysUsable)
{
    ExportFixture f;
    f.setText(QStringLiteral("First line.\nSecond line."));
    f.exportTo(QStringLiteral("speech"));
    ASSERT_EQ(f.engine->recordings.size(), 1u);
    EXPECT_EQ(f.engine->recordings[0].text, QStringLiteral("First line.\r\nSecond line.\r\n"));
    ASSERT_EQ(f.fileChoices.size(), 1);
    EXPECT_EQ(f.fileChoices[0].presetName, QStringLiteral("speech.wav"));
    EXPECT_TRUE(f.fileChoices[0].filter.contains(QStringLiteral("*.mp3")));
    // Without a document the dialog starts among the user's music, not in the program's folder.
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    EXPECT_EQ(f.fileChoices[0].directory, QFileInfo(music).isDir() ? music : QDir::homePath());

    ASSERT_TRUE(f.progress());
    EXPECT_TRUE(f.progress()->isVisible());
    EXPECT_FALSE(f.progress()->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    f.ui.textBox().setFocus();
    f.ui.type(QStringLiteral("x"));
    EXPECT_TRUE(f.ui.text().contains(u'x'));

    ASSERT_TRUE(f.feed(10));
    f.sink().reached(f.engine->recordings[0].text.size() / 2);
    QTest::qWait(250);
    EXPECT_NEAR(f.progress()->value(), 500, 30);
    EXPECT_TRUE(f.progress()->labelText().contains(QStringLiteral("0:00:01")));
    EXPECT_TRUE(f.form->audioExport().running());
    // A second request while one runs starts nothing new.
    f.trigger(ActionId::SaveSpeech1);
    EXPECT_EQ(f.engine->recordings.size(), 1u);
    EXPECT_FALSE(f.filesLeft().contains(QStringLiteral("speech.wav")));

    f.sink().reached(f.engine->recordings[0].text.size());
    f.sink().finish(true);
    QTest::qWait(50);
    EXPECT_FALSE(f.progress()->isVisible());
    EXPECT_FALSE(f.form->audioExport().running());
    EXPECT_EQ(f.filesLeft(), QStringList{QStringLiteral("speech.wav")});
    EXPECT_EQ(framesIn(f.files.filePath(QStringLiteral("speech.wav"))), kRate);
    EXPECT_TRUE(f.errors.isEmpty()) << f.errors.join(u'\n').toStdString();
    // The end is shown, and said since speech-info is on.
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" The speech was saved as speech.wav."));
    EXPECT_EQ(f.engine->spoken.last(), QStringLiteral("The speech was saved as speech.wav."));

    f.ui.textBox().setSelection(1, 5);
    f.exportTo(QStringLiteral("first.flac"));
    ASSERT_EQ(f.engine->recordings.size(), 2u);
    EXPECT_EQ(f.engine->recordings[1].text, QStringLiteral("First"));
    EXPECT_EQ(f.fileChoices.back().directory, f.files.path());
    ASSERT_TRUE(f.feed(1));
    f.sink().finish(true);
    QTest::qWait(50);
    EXPECT_EQ(framesIn(f.files.filePath(QStringLiteral("first.flac"))), kRate / 10);
}

TEST(SaveSpeechAsAudio, CancelLeavesNoFileAndAFailureIsShown)
{
    ExportFixture f;
    f.setText(QStringLiteral("Some text to keep."));
    f.exportTo(QStringLiteral("kept.ogg"));
    ASSERT_TRUE(f.feed(5));
    auto* cancel = f.progress()->findChild<QPushButton*>();
    ASSERT_TRUE(cancel);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(f.feed(1));
    f.sink().finish(false);
    QTest::qWait(50);
    EXPECT_EQ(f.filesLeft(), QStringList());
    EXPECT_FALSE(f.progress()->isVisible());
    EXPECT_TRUE(f.errors.isEmpty());

    // The engine gave up: nothing is left and the user is told.
    f.exportTo(QStringLiteral("failed.mp3"));
    ASSERT_EQ(f.engine->recordings.size(), 2u);
    EXPECT_TRUE(f.progress()->isVisible());
    ASSERT_TRUE(f.feed(5));
    f.sink().finish(false);
    QTest::qWait(50);
    EXPECT_EQ(f.filesLeft(), QStringList());
    ASSERT_EQ(f.errors.size(), 1);

    // A name the program cannot write audio to.
    f.exportTo(QStringLiteral("notes.txt"));
    EXPECT_EQ(f.engine->recordings.size(), 2u);
    ASSERT_EQ(f.errors.size(), 2);
    EXPECT_TRUE(f.errors[1].contains(QStringLiteral(".wav, .flac, .ogg or .mp3")));
    EXPECT_EQ(f.filesLeft(), QStringList());

    // A full disk (the file size limit stands in for one) stops the export, keeps the old file
    // and says what happened.
    const QString old = f.files.filePath(QStringLiteral("old.mp3"));
    ASSERT_TRUE(testfiles::writeFileBytes(old, "old bytes"));
    f.exportTo(QStringLiteral("old.mp3"));
    ASSERT_EQ(f.engine->recordings.size(), 3u);
    {
        const testfiles::FileSizeLimit limit(8192);
        EXPECT_FALSE(f.feed(100));
        f.sink().finish(false);
        QTest::qWait(50);
    }
    ASSERT_EQ(f.errors.size(), 3);
    EXPECT_EQ(f.errors[2], QStringLiteral("Cannot write %1: the file is larger than this system allows; "
                                          "the file that was there is kept as it was").arg(old));
    EXPECT_EQ(testfiles::fileBytes(old), QByteArray("old bytes"));
    EXPECT_EQ(f.filesLeft(), QStringList{QStringLiteral("old.mp3")});
}

// With both choices on, each chapter is written in turn with its subtitles and tags; a cancel
// keeps the chapters written whole and leaves nothing of the one being written.
TEST(SaveSpeechAsAudio, ChapterFilesWithSubtitlesAreWrittenOneAfterAnother)
{
    ExportFixture f;
    f.setText(QStringLiteral("# Rain\nIt rained.\n# Sun\nIt shone.\n# Snow\nIt snowed."));
    f.ui.action(ActionId::ChapterFiles1).setChecked(true);
    f.ui.action(ActionId::SubtitleFiles1).setChecked(true);
    f.exportTo(QStringLiteral("weather.wav"));
    for (int chapter = 0; chapter < 2; ++chapter) {
        ASSERT_EQ(f.engine->recordings.size(), std::size_t(chapter + 1));
        f.sink().wordBegins(0, 0);
        ASSERT_TRUE(f.feed(2));
        QTest::qWait(150);
        EXPECT_TRUE(f.progress()->labelText().startsWith(QStringLiteral("Chapter %1 of 3: ").arg(chapter + 1)));
        f.sink().finish(true);
        QTest::qWait(50);
    }
    EXPECT_EQ(f.engine->recordings[1].text, QStringLiteral("# Sun\r\nIt shone.\r\n"));
    EXPECT_TRUE(f.form->audioExport().running());
    ASSERT_TRUE(f.feed(1));
    QTest::mouseClick(f.progress()->findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_FALSE(f.feed(1));
    f.sink().finish(false);
    QTest::qWait(50);
    EXPECT_FALSE(f.form->audioExport().running());
    EXPECT_EQ(f.filesLeft(), (QStringList{QStringLiteral("01 - Rain.lrc"), QStringLiteral("01 - Rain.srt"),
                                          QStringLiteral("01 - Rain.wav"), QStringLiteral("02 - Sun.lrc"),
                                          QStringLiteral("02 - Sun.srt"), QStringLiteral("02 - Sun.wav")}));
    EXPECT_EQ(testfiles::fileBytes(f.files.filePath(QStringLiteral("02 - Sun.srt"))),
              QByteArray("1\n00:00:00,000 --> 00:00:00,200\n# Sun\n\n"));
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(f.files.filePath(QStringLiteral("02 - Sun.wav"))).constData(), SFM_READ, &info);
    ASSERT_TRUE(file);
    EXPECT_STREQ(sf_get_string(file, SF_STR_TITLE), "Sun");
    EXPECT_STREQ(sf_get_string(file, SF_STR_TRACKNUMBER), "2");
    sf_close(file);
    EXPECT_TRUE(f.errors.isEmpty());

    // Unchecked, one file as before.
    f.ui.action(ActionId::ChapterFiles1).setChecked(false);
    f.ui.action(ActionId::SubtitleFiles1).setChecked(false);
    f.exportTo(QStringLiteral("whole.wav"));
    ASSERT_EQ(f.engine->recordings.size(), 4u);
    ASSERT_TRUE(f.feed(1));
    f.sink().finish(true);
    QTest::qWait(50);
    EXPECT_TRUE(f.filesLeft().contains(QStringLiteral("whole.wav")));
    EXPECT_FALSE(f.filesLeft().contains(QStringLiteral("whole.srt")));
}
