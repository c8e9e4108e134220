// The main window on the real engine whose synthesis helper dies mid-sentence, as it does when
// espeak-ng crashes: the window stays with its text, says what happened, and speech goes on.
#include "WindowDriver.h"
#include "app/TForm1.h"
#include "speech/EspeakEngine.h"
#include "widgets/TRichEdit98.h"

#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using namespace velmor;

TEST(EngineFaultWindow, KeepsItsTextAndSpeechGoesOnWhenTheHelperDies)
{
    QTemporaryDir folder;
    QStringList shown;
    Dialogs quiet;
    quiet.askYesNo = [&](const QString& text) {
        shown << text;
        return false;
    };
    quiet.inform = [&](const QString& text) { shown << text; };
    quiet.showError = [&](const QString& text) { shown << text; };
    quiet.notify = [&](QWidget*, const QString& text) { shown << text; };
    quiet.askQuestion = [&](QWidget*, const QString& text) {
        shown << text;
        return false;
    };
    quiet.beep = [] {};
    auto engine = std::make_unique<EspeakEngine>(EspeakEngine::Output::Silent);
    EspeakEngine& espeak = *engine;
    TForm1 form(std::move(engine), FormOptions{false, quiet, folder.filePath(QStringLiteral("velmor.ini"))});
    form.show();
    const WindowDriver ui(form);
    QString text;
    for (int i = 1; i <= 30; ++i)
        text += QStringLiteral("Sentence %1 goes on for a while.\n").arg(i);
    ui.textBox().setPlainText(text);
    QList<int> heard;
    QObject::connect(&espeak, &SpeechEngine::OnWordHeard, [&](const QString&, int offset, int) { heard << offset; });

    ui.click("SpeechButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.isEmpty(); }, 15000));
    const pid_t helper = espeak.synthesisProcess();
    ASSERT_EQ(kill(helper, SIGKILL), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui.panelCaption().contains(QStringLiteral("speech engine stopped")); }, 15000));
    EXPECT_EQ(ui.panelCaption(), QStringLiteral(" The speech engine stopped on this text; speech went on after it."));
    const qsizetype before = heard.size();
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard.size() > before + 5; }, 15000));
    EXPECT_NE(espeak.synthesisProcess(), helper);
    ui.click("ResetButton");

    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(ui.text(), text);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(u'|').toStdString();
}
