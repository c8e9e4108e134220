#include "FormFixture.h"
#include "QtPrinters.h"

#include "app/PronunciationRulesWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using velmor::PronunciationRule;
using velmor::PronunciationRulesWindow;

namespace {

QPushButton* buttonNamed(QWidget& window, const QString& name)
{
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->accessibleName() == name)
            return button;
    return nullptr;
}

void typeInto(QWidget* widget, const QString& text)
{
    QTest::keyClicks(widget, text);
    QApplication::processEvents();
}

} // namespace

// Edit > Pronunciation rules... edits the rules with the keyboard alone; each change reaches the
// engine and the rules file at once, and the test box shows the text as the voices will get it.
TEST(PronunciationRulesWindow, KeyboardEditsReachTheEngineTheFileAndTheTestBox)
{
    FormFixture f;
    const QString path = QFileInfo(f.settingsFile).absolutePath() + "/pronunciation-rules.tsv";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("find\tsay\toptions\tlanguage\nGIF\tjif\tw\ten\nbroken line\n(x\ty\tr\t*\n");
    }
    f.ui.trigger(ActionId::PronunciationRules1);
    QApplication::processEvents();
    auto* window = f.form->findChild<PronunciationRulesWindow*>();
    ASSERT_NE(window, nullptr);
    auto& table = *window->findChild<QTableWidget*>("RulesTable");
    auto& problems = *window->findChild<QLabel*>("RuleProblems");
    auto& testText = *window->findChild<QLineEdit*>("TestText");
    auto& spoken = *window->findChild<QPlainTextEdit*>("SpokenText");
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_TRUE(problems.text().contains("line 3")) << problems.text().toStdString();
    EXPECT_TRUE(problems.text().contains("Rule 2 is not used: missing )")) << problems.text().toStdString();
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->focusPolicy() != Qt::NoFocus && control->isVisible() && !control->inherits("QScrollBar")
            && !control->inherits("QHeaderView") && control->parentWidget() == window) {
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
        }
    }

    // A new rule typed in: find, then say, then whole word with the space bar.
    QTest::keyClick(buttonNamed(*window, "Add"), Qt::Key_Space);
    QApplication::processEvents();
    typeInto(QApplication::focusWidget(), "Dr.");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(&table, Qt::Key_Right);
    typeInto(&table, "D");
    typeInto(QApplication::focusWidget(), "octor");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(&table, Qt::Key_Right);
    QTest::keyClick(&table, Qt::Key_Space);
    QApplication::processEvents();
    const PronunciationRule doctor{"Dr.", "Doctor", true, false, false, "*"};
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(window->rulesInTable().back(), doctor);
    ASSERT_NE(f.engine->rules, nullptr);
    EXPECT_EQ(f.engine->rules->rules().back(), doctor);
    EXPECT_EQ(velmor::readRulesFile(path).rules.back(), doctor);

    typeInto(&testText, "Dr. Who likes a GIF.");
    EXPECT_EQ(spoken.toPlainText(), "en\tDoctor Who likes a jif.\n");

    // Moved to the top and removed; the next speech has the rules as they are now.
    table.setCurrentCell(2, 0);
    QTest::keyClick(buttonNamed(*window, "Move up"), Qt::Key_Space);
    QTest::keyClick(buttonNamed(*window, "Move up"), Qt::Key_Space);
    EXPECT_EQ(f.engine->rules->rules().front(), doctor);
    EXPECT_EQ(table.currentRow(), 0);
    QTest::keyClick(buttonNamed(*window, "Remove"), Qt::Key_Space);
    EXPECT_EQ(f.engine->rules->rules().size(), 2u);
    EXPECT_EQ(velmor::readRulesFile(path).rules.size(), 2u);
    EXPECT_EQ(spoken.toPlainText(), "en\tDr. Who likes a jif.\n");
    QTest::keyClick(buttonNamed(*window, "Speak"), Qt::Key_Space);
    EXPECT_EQ(f.engine->spoken.back(), "Dr. Who likes a GIF.");
    window->close();
}
