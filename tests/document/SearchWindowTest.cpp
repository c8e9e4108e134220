#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "document/TForm3.h"
#include "document/PieceKeeper.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using velmor::TForm3;

namespace {

TForm3* searchWindow(FormFixture& f) { return f.form->findChild<TForm3*>(); }

TForm3* openSearchWindow(FormFixture& f, const QString& text)
{
    f.setText(text);
    f.trigger(ActionId::Find1);
    return searchWindow(f);
}

void setFindText(TForm3& window, const QString& text)
{
    window.RichEdit98F->setPlainText(text);
}

QPair<int, int> selection(const FormFixture& f)
{
    return {f.ui.textBox().selStart(), f.ui.textBox().selLength()};
}

} // namespace

TEST(SearchWindow, OpensOnlyOnTextAndOnlyOnce)
{
    FormFixture f;
    f.trigger(ActionId::Find1);
    EXPECT_EQ(f.notes, QStringList{QStringLiteral("Text was not found.   ")});
    EXPECT_EQ(searchWindow(f), nullptr);

    f.setText(QStringLiteral("one two\nthree"));
    f.ui.textBox().setSelection(4, 5);
    f.trigger(ActionId::Find1);
    TForm3* window = searchWindow(f);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Search or Replace"));
    EXPECT_EQ(window->RichEdit98F->toPlainText(), QStringLiteral("two\nt")) << "the selection is the find text";
    EXPECT_TRUE(window->RichEdit98R->toPlainText().isEmpty());

    f.ui.click("FindButton");
    f.trigger(ActionId::Find2);
    EXPECT_EQ(f.form->findChildren<TForm3*>().size(), 1);

    QTest::mouseClick(window->CancelButton, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(searchWindow(f), nullptr) << "a closed window is freed";
    f.ui.textBox().setSelection(0, 0);
    f.trigger(ActionId::Find1);
    ASSERT_NE(searchWindow(f), nullptr);
    EXPECT_TRUE(searchWindow(f)->RichEdit98F->toPlainText().isEmpty());

    // Escape closes it from any of its controls.
    QTest::keyClick(searchWindow(f)->RichEdit98F, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(searchWindow(f), nullptr);
    f.trigger(velmor::ActionId::Find1);
    QTest::keyClick(searchWindow(f)->VTrackBar1, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(searchWindow(f), nullptr);
}

TEST(SearchWindow, NextAndBackSearchWalkThroughTheOccurrences)
{
    FormFixture f;
    TForm3* window = openSearchWindow(f, QStringLiteral("one two One two one"));
    ASSERT_NE(window, nullptr);
    setFindText(*window, QStringLiteral("one"));
    window->NextButtonClick();
    EXPECT_EQ(selection(f), qMakePair(0, 3));
    setFindText(*window, QStringLiteral("two"));
    window->NextButtonClick();
    EXPECT_EQ(selection(f), qMakePair(16, 3)) << "the selected text is searched, case and all";
    window->NextButtonClick();
    EXPECT_EQ(f.notes, QStringList{QStringLiteral("No further occurence of Find Text found.  ")});
    EXPECT_EQ(selection(f), qMakePair(16, 3));

    window->FindBackButtonClick();
    EXPECT_EQ(selection(f), qMakePair(0, 3));
    window->FindBackButtonClick();
    EXPECT_EQ(f.beeps, 1);
    EXPECT_EQ(selection(f), qMakePair(0, 3));

    f.ui.textBox().setSelection(11, 0);
    window->FindBackButtonClick();
    EXPECT_EQ(selection(f), qMakePair(4, 3)) << "without a selection the box's text is searched before the caret";
    EXPECT_EQ(f.ui.state().fCol, 4);
    f.ui.textBox().setSelection(11, 0);
    window->NextButtonClick();
    EXPECT_EQ(selection(f), qMakePair(4, 3)) << "without a selection the search starts at the beginning";

    // An occurrence at the very start that ends right at the caret lies before it.
    f.setText(QStringLiteral("hello world"));
    f.ui.textBox().setSelection(5, 0);
    setFindText(*window, QStringLiteral("hello"));
    window->FindBackButtonClick();
    EXPECT_EQ(selection(f), qMakePair(0, 5));
    EXPECT_EQ(f.beeps, 1);

    // Enter in a box searches on, still with the beep of a box that keeps its one line;
    // Shift+Enter searches back.
    f.setText(QStringLiteral("one two One two one"));
    setFindText(*window, QStringLiteral("two"));
    QTest::keyClick(window->RichEdit98F, Qt::Key_Return);
    EXPECT_EQ(selection(f), qMakePair(4, 3));
    QTest::keyClick(window->RichEdit98R, Qt::Key_Enter);
    EXPECT_EQ(selection(f), qMakePair(12, 3));
    EXPECT_EQ(f.beeps, 3);
    QTest::keyClick(window->RichEdit98F, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(selection(f), qMakePair(4, 3));
    EXPECT_EQ(window->RichEdit98F->toPlainText(), QStringLiteral("two"));
    EXPECT_EQ(f.beeps, 3);
}

TEST(SearchWindow, ReplaceTakesTheFirstOccurrenceAndReplaceAllEveryOneInOneStep)
{
    FormFixture f;
    TForm3* window = openSearchWindow(f, QStringLiteral("abb abb ABB"));
    ASSERT_NE(window, nullptr);
    f.ui.textBox().setSelection(9, 0);
    setFindText(*window, QStringLiteral("ab"));
    window->RichEdit98R->setPlainText(QStringLiteral("\uD55C"));
    window->ReplaceButtonClick();
    EXPECT_EQ(f.ui.text(), QStringLiteral("\uD55Cb abb ABB")) << "intact, from the start";

    window->RichEdit98R->clear();
    window->ReplaceButtonClick();
    EXPECT_EQ(f.notes, QStringList{QStringLiteral(" Text in the blank?  ")});
    EXPECT_EQ(f.ui.text(), QStringLiteral("\uD55Cb abb ABB")) << "answered No";
    f.form->Undo1Click();
    EXPECT_EQ(f.ui.text(), QStringLiteral("abb abb ABB"));

    window->RichEdit98R->setPlainText(QStringLiteral("a"));
    f.ui.textBox().setModified(false);
    window->Re_allButtonClick();
    EXPECT_EQ(f.ui.text(), QStringLiteral("a a ABB"));
    EXPECT_TRUE(f.ui.textBox().isModified());
    f.form->Undo1Click();
    EXPECT_EQ(f.ui.text(), QStringLiteral("abb abb ABB")) << "one step undoes it all";

    f.notes.clear();
    setFindText(*window, QStringLiteral("xyz"));
    window->ReplaceButtonClick();
    window->Re_allButtonClick();
    setFindText(*window, QString());
    window->Re_allButtonClick();
    EXPECT_EQ(f.notes, QStringList({QStringLiteral("Could not find Replace Text.  "),
                                    QStringLiteral("Could not find Replace Text.  ")}))
        << "Replace All is silent when nothing is found, but not for an empty find text";

    // Replacements that keep forming new occurrences: said so, and nothing is changed.
    f.notes.clear();
    f.setText(QStringLiteral("abb"));
    setFindText(*window, QStringLiteral("ab"));
    window->RichEdit98R->setPlainText(QStringLiteral("bbaa"));
    window->Re_allButtonClick();
    EXPECT_EQ(f.ui.text(), QStringLiteral("abb"));
    ASSERT_EQ(f.notes.size(), 1);
    EXPECT_TRUE(f.notes[0].startsWith(QStringLiteral("The replacement did not settle"))) << f.notes[0].toStdString();
}

TEST(SearchWindow, BoxesHoldOneLine)
{
    FormFixture f;
    TForm3* window = openSearchWindow(f, QStringLiteral("text"));
    ASSERT_NE(window, nullptr);
    velmor::TRichEdit98* box = window->RichEdit98F;
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("find"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("find"));
    EXPECT_EQ(f.beeps, 1);
    EXPECT_FALSE(box->document()->isUndoAvailable()) << "the undo buffer is emptied after every change";

    QApplication::clipboard()->setText(QStringLiteral("two\nlines"));
    window->RichEdit98R->paste();
    EXPECT_TRUE(window->RichEdit98R->toPlainText().isEmpty());
    EXPECT_EQ(f.beeps, 2);

    box->setPlainText(QStringLiteral("first\nsecond"));
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Shift);
    EXPECT_EQ(box->textCursor().position(), 5) << "a key released below the first line sends the caret to its end";
    EXPECT_EQ(f.beeps, 3);
}

TEST(SearchWindowOpacity, StoredValuesAreClampedAndTheTrackBarSetsThem)
{
    velmor::TRichEdit98 editor(QStringLiteral("RichEdit98"), nullptr);
    velmor::PieceKeeper::attach(editor);
    velmor::Dialogs dialogs;
    const auto open = [&](int& alpha, bool transparency) {
        return std::make_unique<TForm3>(velmor::SearchWindowLinks{editor, alpha, dialogs}, transparency, nullptr);
    };
    int alpha = 10;
    auto window = open(alpha, true);
    EXPECT_EQ(alpha, 50);
    EXPECT_DOUBLE_EQ(window->windowOpacity(), 50 / 255.0);
    EXPECT_EQ(window->Label1->text(), QStringLiteral("50"));
    window->VTrackBar1->setValue(0);
    EXPECT_EQ(alpha, 0);
    EXPECT_DOUBLE_EQ(window->windowOpacity(), 0.0);
    window = open(alpha, true);
    EXPECT_EQ(alpha, 50) << "an invisible window comes back at 50";
    QTest::mouseDClick(window.get(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(window->VTrackBar1->value(), 200);
    EXPECT_EQ(window->Label1->text(), QStringLiteral("200"));

    alpha = 300;
    window = open(alpha, true);
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(window->VTrackBar1->value(), 255);

    alpha = 10;
    window = open(alpha, false);
    window->show();
    EXPECT_EQ(alpha, 10) << "without transparency the stored value stays";
    EXPECT_FALSE(window->VTrackBar1->isVisible());
    EXPECT_FALSE(window->Label1->isVisible());
    EXPECT_FALSE(window->Label2->isVisible());
}

// A paragraph without blanks is held in pieces whose breaks stand for nothing: occurrences
// across them are found, selected and replaced as in one piece of text.
TEST(SearchWindow, FindsAndReplacesAcrossPiecesOfALongParagraph)
{
    FormFixture f;
    const QString text = QString(2046, u'x') + QStringLiteral("needle") + QString(3000, u'x') + QStringLiteral("needle");
    TForm3* window = openSearchWindow(f, text);
    ASSERT_NE(window, nullptr);
    ASSERT_GT(f.ui.textBox().document()->blockCount(), 2);
    setFindText(*window, QStringLiteral("needle"));
    window->NextButtonClick();
    EXPECT_EQ(f.ui.textBox().selText(), QStringLiteral("needle"));
    window->NextButtonClick();
    EXPECT_EQ(f.ui.textBox().selText(), QStringLiteral("needle"));
    EXPECT_TRUE(f.notes.isEmpty());
    window->FindBackButtonClick();
    EXPECT_EQ(f.ui.textBox().selText(), QStringLiteral("needle"));
    EXPECT_LT(f.ui.textBox().selStart(), 2100);

    window->RichEdit98R->setPlainText(QStringLiteral("pin"));
    window->Re_allButtonClick();
    QString replaced = text;
    EXPECT_EQ(f.ui.textBox().wholeText(), replaced.replace(QStringLiteral("needle"), QStringLiteral("pin")));
    EXPECT_EQ(f.ui.textBox().selText(), QString());
    EXPECT_EQ(f.ui.textBox().textBetween(0, f.ui.textBox().selStart()).size(), replaced.size());
}
