#include "FormFixture.h"
#include "TestFiles.h"

#include "core/FormState.h"
#include "widgets/UpDownEdit.h"

#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kGerman = QStringLiteral("System: espeak-ng German (de)");

QString fileText(const QString& path) { return QString::fromUtf8(testfiles::fileBytes(path)); }

// Four built-in voices; with the service running, two system voices after them.
std::function<void(FakeSpeechEngine&)> voices(bool serviceRunning)
{
    return [serviceRunning](FakeSpeechEngine& engine) {
        engine.modeNames = {"Female English (US)", "Male English (US)", "Female German", "Male German"};
        engine.speakers = {"Mary", "Mike", "Anna", "Stefan"};
        engine.languages = {"en-us", "en-us", "de", "de"};
        if (serviceRunning) {
            engine.modeNames << QStringLiteral("Male System") << QStringLiteral("Male System");
            engine.speakers << QStringLiteral("System: espeak-ng English (America) (en-US)") << kGerman;
            engine.languages << "en-us" << "de";
            engine.unrecordable = {5, 6};
        }
    };
}

} // namespace

// A system voice that is gone at the next start (the service is not running): the first voice of
// its language speaks instead, the panel says so, and the settings keep the voice, which is
// chosen again, under the number it has now, once the service is back. A system voice is not
// recorded.
TEST(SystemVoicesWindow, AVanishedVoiceFallsBackToItsLanguageAndComesBackWithItsService)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("velmor.ini"));
    testfiles::writeFileBytes(ini, QStringLiteral("[Form1\\ffirst]\nBoolean=0\n[Form1\\fid]\nInteger=7\nString=%1\n")
                                       .arg(kGerman).toUtf8());
    {
        FormFixture f(0, true, ini, voices(false));
        EXPECT_EQ(f.ui.state().fid, 3);
        EXPECT_EQ(f.ui.control<velmor::UpDownEdit>("LIDUpDown").value(), 3);
        EXPECT_EQ(f.ui.control<QLabel>("Label1").text(), QStringLiteral("Anna"));
        EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" %1 is not available; Anna speaks instead").arg(kGerman));
        EXPECT_EQ(f.engine->selectedMode, 3);
        ASSERT_TRUE(f.form->close());
    }
    EXPECT_TRUE(fileText(ini).contains(QStringLiteral("[Form1\\fid]\nInteger=7\nString=%1\n").arg(kGerman)));

    FormFixture back(0, true, ini, voices(true));
    EXPECT_EQ(back.ui.state().fid, 6);
    EXPECT_EQ(back.engine->selectedMode, 6);
    EXPECT_EQ(back.ui.control<QLabel>("Label1").text(), kGerman);
    EXPECT_EQ(back.ui.panelCaption(), QStringLiteral(" Male System"));

    back.setText(QStringLiteral("Nothing of this is written."));
    back.fileAnswer = back.folder.filePath(QStringLiteral("speech.wav"));
    back.trigger(ActionId::SaveSpeech1);
    EXPECT_EQ(back.informed, QStringList{kGerman + QStringLiteral(" is a system voice and cannot be recorded; choose a built-in voice")});
    EXPECT_TRUE(back.engine->recordings.empty());
    EXPECT_TRUE(back.fileChoices.isEmpty());

    // Chosen by the user, a built-in voice is what the settings keep.
    back.ui.control<velmor::UpDownEdit>("LIDUpDown").setValue(2);
    ASSERT_TRUE(back.form->close());
    EXPECT_TRUE(fileText(ini).contains(QStringLiteral("[Form1\\fid]\nInteger=2\nString=\n")));
}
