#include "FormFixture.h"
#include "QtPrinters.h"

#include "widgets/TRichEdit98.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// Speaks the first word as a selection, which leaves a highlight on it.
void speakFirstWord(FormFixture& f)
{
    f.ui.textBox().setSelection(0, 5);
    f.ui.click("SelTextButton");
    ASSERT_EQ(f.ui.textBox().highlightCount(), 1);
}

} // namespace

// Emptying the text while a highlight lives must neither lose typing nor damage memory; the
// rounds give a damaged heap the chance to show (the CTest entry also runs this under valgrind).
TEST(TextBoxHighlights, SurviveNewAndCloseAfterSpeakingASelection)
{
    for (int round = 0; round < 8; ++round) {
        FormFixture f;
        f.answerYes = true;
        f.setText(QStringLiteral("first words of a text"));
        speakFirstWord(f);
        f.ui.click("NewButton");
        EXPECT_EQ(f.ui.textBox().highlightCount(), 0);
        f.ui.type(QStringLiteral("typed after New"));
        EXPECT_EQ(f.ui.text(), QStringLiteral("typed after New"));
        speakFirstWord(f);
        f.ui.type(QStringLiteral(" more"));
        EXPECT_TRUE(f.form->close());
        QApplication::processEvents();
    }
}
