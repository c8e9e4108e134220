#include "QtPrinters.h"

#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

using velmor::TRichEdit98;

TEST(TextBoxSelectionBar, AClickInTheMarginSelectsTheLine)
{
    TRichEdit98 editor(QStringLiteral("RichEdit98"), nullptr);
    editor.resize(300, 200);
    editor.setPlainText(QStringLiteral("first line\nsecond line"));
    editor.show();
    editor.showSelectionBar(true);
    QApplication::processEvents();
    QWidget* bar = nullptr;
    for (QWidget* child : editor.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->geometry().width() == 8)
            bar = child;
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(editor.selText(), QStringLiteral("first line"));
}

TEST(TextBoxLimit, PastedTextStopsAtTheMaximumLength)
{
    TRichEdit98 editor(QStringLiteral("RichEdit98"), nullptr);
    editor.setMaxLength(10);
    editor.setPlainText(QStringLiteral("12345678"));
    editor.moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(QStringLiteral("abcdef"));
    editor.paste();
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("12345678ab"));
    QTest::keyClicks(&editor, QStringLiteral("z"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("12345678ab"));
}
