#include "FormFixture.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "core/FaceNames.h"
#include "core/FormState.h"
#include "document/TForm3.h"
#include "document/YukiMarks.h"
#include "help/TForm2.h"
#include "speech/WordFollower.h"
#include "widgets/Bgr.h"
#include "widgets/Contrast.h"
#include "widgets/FlatButton.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QCheckBox>
#include <QAction>
#include <QApplication>
#include <QMap>
#include <QLabel>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>

using namespace velmor;

namespace {

// The names of the checked items among the size and face items of the Edit menu.
QStringList checkedFontItems(const FormFixture& f)
{
    QStringList checked;
    for (ActionId id : {ActionId::N10, ActionId::N11, ActionId::Nf12, ActionId::Mincho1, ActionId::Gothic1,
                        ActionId::MSUIGothic1})
        if (f.ui.action(id).isChecked())
            checked << f.ui.action(id).objectName();
    return checked;
}

QTextCharFormat formatAt(TRichEdit98& box, int index)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(index + 1);
    return cursor.charFormat();
}

// "ab*cd" with its Yuki mark coloured, unmodified, with the "Open adding Yuki color" option as given.
void setYukiText(FormFixture& f, bool addYuki)
{
    if (f.ui.state().fAddYuki != addYuki)
        f.trigger(ActionId::AddYuki1);
    f.setText(QStringLiteral("ab*cd"));
    AddYukiColor(f.ui.textBox(), kYukiMark, kYukiColor, colorFromBgr(f.ui.state().fFontColor));
    f.ui.textBox().setModified(false);
}

bool yukiColoured(FormFixture& f) { return formatAt(f.ui.textBox(), 2).foreground().color() == kYukiColor; }

} // namespace

TEST(AppearanceCommands, ColoursSizeAndFaceChangeTheLookAndComeBackAfterARestart)
{
    QTemporaryDir folder;
    const QString settings = folder.filePath(QStringLiteral("velmor.ini"));
    const QColor background(0x10, 0x20, 0x30);
    const QColor text(0x40, 0x50, 0x60);
    const QColor panel(0x70, 0x80, 0x90);
    {
        FormFixture f(2, true, settings);
        EXPECT_EQ(checkedFontItems(f), (QStringList{"N11", "Mincho1"}));
        f.setText(QStringLiteral("marked words"));
        f.ui.textBox().addHighlight(0, 6, Qt::yellow);

        // A cancelled background dialog changes no colour, yet the marks go.
        f.trigger(ActionId::BGColor1);
        EXPECT_EQ(f.colorRequests.back(), colorFromBgr(0x00E9F5F4));
        EXPECT_EQ(f.ui.textBox().backgroundColor(), colorFromBgr(0x00E9F5F4));
        EXPECT_EQ(f.ui.textBox().highlightCount(), 0);

        f.colorAnswer = background;
        f.trigger(ActionId::BGColor1);
        f.colorAnswer = text;
        f.trigger(ActionId::FontColor1);
        EXPECT_EQ(f.colorRequests.back(), colorFromBgr(0x002C201B));
        f.colorAnswer = panel;
        f.trigger(ActionId::PanelColor1);
        EXPECT_EQ(f.colorRequests.back(), colorFromBgr(0x00F0DACA));
        f.trigger(ActionId::Nf12);
        f.trigger(ActionId::Gothic1);
        EXPECT_EQ(checkedFontItems(f), (QStringList{"Nf12", "Gothic1"}));
        EXPECT_EQ(f.ui.textBox().font().family(), kFacePGothic);
        EXPECT_EQ(f.ui.control<InfoLine>("ULabel98").font().family(), kFacePGothic);
        EXPECT_EQ(f.ui.control<InfoLine>("ULabel98").font().pointSize(), 12);
        EXPECT_EQ(f.ui.control<InfoLine>("ULabel98").palette().color(QPalette::Base), panel);
        EXPECT_EQ(f.ui.state().fPColor, bgrFromColor(panel));
        f.ui.textBox().setModified(false);
        f.form->close();
    }
    FormFixture again(2, true, settings);
    EXPECT_EQ(again.ui.textBox().backgroundColor(), background);
    EXPECT_EQ(again.ui.textBox().textColor(), text);
    EXPECT_EQ(again.ui.textBox().font().family(), kFacePGothic);
    EXPECT_EQ(again.ui.textBox().font().pointSize(), 12);
    EXPECT_EQ(again.ui.control<UPanel>("UPanel1").color(), panel);
    EXPECT_EQ(checkedFontItems(again), (QStringList{"Nf12", "Gothic1"}));
}

TEST(AppearanceCommands, StoredSizeAndFaceOutsideTheMenusApplyAsStoredWithoutCheckMarks)
{
    QTemporaryDir folder;
    const QString settings = folder.filePath(QStringLiteral("velmor.ini"));
    testfiles::writeFileBytes(settings, "[Form1\\fFontSize]\nInteger=14\n[Form1\\fFontName]\nString=Serif\n");
    FormFixture f(2, true, settings);
    EXPECT_EQ(f.ui.textBox().font().pointSize(), 14);
    EXPECT_EQ(f.ui.textBox().font().family(), QStringLiteral("Serif"));
    EXPECT_EQ(f.ui.control<InfoLine>("ULabel98").font().pointSize(), 14);
    EXPECT_TRUE(checkedFontItems(f).isEmpty());
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(AppearanceCommands, FontChangesReachTheExistingTextExceptUnderMSUIGothic)
{
    FormFixture f;
    // With "ＭＳ Ｐ明朝" a new size gives every character the box's font and colour again: the
    // Yuki mark keeps its colour only when the option colours it anew.
    setYukiText(f, false);
    f.trigger(ActionId::N10);
    EXPECT_FALSE(yukiColoured(f));
    EXPECT_TRUE(f.ui.textBox().isModified());
    setYukiText(f, true);
    f.trigger(ActionId::FontColor1); // cancelled, and the font is applied all the same
    EXPECT_TRUE(yukiColoured(f));
    EXPECT_TRUE(f.ui.textBox().isModified());
    // A selection over the mark does not take the colour of typed text.
    f.trigger(ActionId::Gothic1);
    f.ui.textBox().setSelection(1, 3);
    f.trigger(ActionId::Nf12);
    EXPECT_TRUE(yukiColoured(f));

    f.trigger(ActionId::MSUIGothic1);
    EXPECT_EQ(checkedFontItems(f), (QStringList{"Nf12", "MSUIGothic1"}));
    setYukiText(f, false);
    f.trigger(ActionId::N10);
    f.colorAnswer = QColor(Qt::darkBlue);
    f.trigger(ActionId::FontColor1);
    EXPECT_TRUE(yukiColoured(f));
    EXPECT_FALSE(f.ui.textBox().isModified());
    EXPECT_EQ(f.ui.textBox().font().pointSize(), 10);
    EXPECT_EQ(f.ui.textBox().textColor(), QColor(Qt::darkBlue));
}

// A font change counts as a change of the text, and the unsaved-changes mark says so too;
// with "ＭＳ Ｐ明朝" the change may leave every character's format as it was.
TEST(AppearanceCommands, UnsavedMarkAgreesWithTheModifiedFlagAfterAFontChange)
{
    FormFixture f;
    ASSERT_EQ(f.ui.state().fFontName, kFacePMincho);
    for (ActionId command : {ActionId::N10, ActionId::Nf12, ActionId::FontColor1, ActionId::Mincho1}) {
        f.setText(QStringLiteral("plain words"));
        f.ui.textBox().setModified(false);
        EXPECT_FALSE(f.ui.unsavedMark()) << command;
        f.trigger(command);
        EXPECT_TRUE(f.ui.textBox().isModified()) << command;
        EXPECT_TRUE(f.ui.unsavedMark()) << command;
    }
    // Undoing back to the saved text clears the flag, and the mark goes with it.
    f.ui.textBox().setModified(false);
    f.ui.type(QStringLiteral("x"));
    EXPECT_TRUE(f.ui.unsavedMark());
    f.ui.textBox().undo();
    EXPECT_EQ(f.ui.textBox().isModified(), f.ui.unsavedMark());
}

TEST(AppearanceCommands, KoreanTextRefusesThePFacesButNotMSUIGothic)
{
    FormFixture f;
    f.ui.state().fHangulMode = true;
    f.trigger(ActionId::Gothic1);
    f.trigger(ActionId::Mincho1);
    EXPECT_EQ(f.ui.state().fFontName, kFacePMincho);
    EXPECT_EQ(checkedFontItems(f), (QStringList{"N11", "Mincho1"}));
    f.trigger(ActionId::MSUIGothic1);
    EXPECT_EQ(f.ui.state().fFontName, kFaceUIGothic);

    f.ui.state().fHangulMode = false;
    f.ui.control<QLabel>("Label1").setText(QStringLiteral("Shin-Ah"));
    f.trigger(ActionId::Gothic1);
    EXPECT_EQ(f.ui.textBox().font().family(), kFaceUIGothic);
    f.ui.control<QLabel>("Label1").setText(QStringLiteral("Mary"));
    f.trigger(ActionId::Gothic1);
    EXPECT_EQ(f.ui.textBox().font().family(), kFacePGothic);
}

TEST(AppearanceCommands, DefaultSettingRestoresTheLookAndLeavesMarkColoursAndPanelWidth)
{
    FormFixture f;
    f.colorAnswer = QColor(Qt::red);
    for (ActionId command : {ActionId::BGColor1, ActionId::FontColor1, ActionId::PanelColor1, ActionId::Nf12, ActionId::Gothic1})
        f.trigger(command);
    f.ui.state().fMarkColor = 0x00123456;
    f.ui.control<QSplitter>("Splitter1").setSizes({250, 500});
    setYukiText(f, true);
    f.ui.textBox().addHighlight(0, 2, Qt::yellow);

    f.trigger(ActionId::default1);
    EXPECT_EQ(checkedFontItems(f), (QStringList{"N11", "Mincho1"}));
    const FormState& s = f.ui.state();
    EXPECT_EQ(s.fBGColor, 0x00E9F5F4u);
    EXPECT_EQ(s.fFontColor, 0x002C201Bu);
    EXPECT_EQ(s.fPColor, 0x00F0DACAu);
    EXPECT_EQ(s.fFontSize, 11);
    EXPECT_EQ(f.ui.textBox().backgroundColor(), colorFromBgr(0x00E9F5F4));
    EXPECT_EQ(f.ui.textBox().textColor(), colorFromBgr(0x002C201B));
    EXPECT_EQ(f.ui.control<UPanel>("UPanel1").color(), colorFromBgr(0x00F0DACA));
    EXPECT_EQ(f.ui.control<InfoLine>("ULabel98").font().pointSize(), 11);
    EXPECT_EQ(f.ui.textBox().highlightCount(), 0);
    EXPECT_TRUE(yukiColoured(f));
    EXPECT_EQ(s.fMarkColor, 0x00123456u);
    EXPECT_EQ(f.ui.control<QSplitter>("Splitter1").sizes().front(), 250);

    // Korean text gets "MS UI Gothic", the whole text drawn anew with the caret where it was.
    f.ui.state().fHangulMode = true;
    f.ui.textBox().setSelection(3, 0);
    f.ui.textBox().setModified(false);
    f.trigger(ActionId::default1);
    EXPECT_EQ(checkedFontItems(f), (QStringList{"N11", "MSUIGothic1"}));
    EXPECT_EQ(f.ui.text(), QStringLiteral("ab*cd"));
    EXPECT_TRUE(yukiColoured(f));
    EXPECT_EQ(f.ui.textBox().selStart(), 3);
    EXPECT_TRUE(f.ui.textBox().isModified());
}

TEST(WindowLayout, SplittersKeepThePanelsInBoundsAndTheInfoLineAlongTheTextArea)
{
    FormFixture f;
    const auto drag = [](QSplitter* splitter, QPoint by) {
        QWidget* handle = splitter->handle(1);
        const QPoint from = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(handle, from + by);
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, from + by);
    };
    drag(&f.ui.control<QSplitter>("Splitter2"), {0, -60});
    EXPECT_EQ(f.ui.control<UPanel>("UPanel1").height(), 22);
    EXPECT_EQ(f.ui.control<UPanel>("UPanel1").mapTo(f.form.get(), QPoint(0, 0)).y(), 37);
    EXPECT_GE(f.ui.control<QSplitter>("Splitter2").handle(1)->mapTo(f.form.get(), QPoint(0, 0)).y(), 57);
    drag(&f.ui.control<QSplitter>("Splitter2"), {0, 40});
    EXPECT_EQ(f.ui.control<UPanel>("UPanel1").height(), 62);
    EXPECT_EQ(f.ui.control<InfoLine>("ULabel98").height(), 62);

    drag(&f.ui.control<QSplitter>("Splitter1"), {-400, 0});
    EXPECT_EQ(f.ui.control<QWidget>("Panel1").width(), 1);
    const int textAreaLeft = f.ui.control("PanelEdit").mapTo(f.form.get(), QPoint(0, 0)).x();
    EXPECT_EQ(f.ui.control("ULabel98").geometry(), QRect(textAreaLeft + 12, 0, f.ui.control("PanelEdit").width() - 35, 62));
}

namespace {

// Every caption of the main window and of the Search or Replace window, as it is seen there:
// cut from a picture of the whole window, over the panel it stands on.
QMap<QString, QImage> captionImages()
{
    FormFixture f;
    f.setText(QStringLiteral("hello"));
    f.trigger(ActionId::Find1);
    QMap<QString, QImage> images;
    for (QWidget* window : {static_cast<QWidget*>(f.form.get()), static_cast<QWidget*>(f.form->findChild<TForm3*>())}) {
        const QImage whole = window->grab().toImage();
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const bool caption = qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget)
                || qobject_cast<FlatButton*>(widget) || qobject_cast<UPanel*>(widget) || qobject_cast<QSplitterHandle*>(widget);
            if (caption && widget->isVisible() && widget->window() == window)
                images.insert(window->objectName() + u'/' + widget->objectName() + u'/' + widget->metaObject()->className()
                                  + QString::number(images.size()),
                              whole.copy(QRect(widget->mapTo(window, QPoint()), widget->size())));
        }
    }
    return images;
}

QPalette desktopPalette(const QColor& window, const QColor& base, const QColor& button, const QColor& text)
{
    QPalette palette;
    for (auto [role, color] : {std::pair{QPalette::Window, window}, {QPalette::Base, base}, {QPalette::Button, button},
                               {QPalette::WindowText, text}, {QPalette::Text, text}, {QPalette::ButtonText, text}})
        palette.setColor(role, color);
    return palette;
}

const QPalette kDarkDesktop = desktopPalette(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20), QColor(0x40, 0x40, 0x40), Qt::white);

} // namespace

// Where the window fixes a background, it fixes the colour of the captions on it too: under a
// dark desktop theme the window looks exactly as under a light one, not light text on light panels.
TEST(Appearance, CaptionsLookTheSameUnderADarkDesktopTheme)
{
    const QMap<QString, QImage> light = captionImages();
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(kDarkDesktop);
    const QMap<QString, QImage> shaded = captionImages();
    QApplication::setPalette(desktop);

    ASSERT_GT(light.size(), 30);
    ASSERT_EQ(light.keys(), shaded.keys());
    for (const QString& name : light.keys())
        EXPECT_EQ(light[name], shaded[name]) << name.toStdString();
}

// "Desktop colours" colours the panels, the bar, the text box, the info line and panel, the Search
// or Replace window and the key-name window from the desktop's palette, follows the palette while
// running, and keeps the marks and the word being heard at 3:1 or more against the text box.
// Off again, every window looks exactly as it did before.
TEST(Appearance, DesktopColoursFollowThePaletteKeepMarksVisibleAndGoBackExactly)
{
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(kDarkDesktop);
    {
        FormFixture f;
        f.setText(QStringLiteral("alpha beta gamma delta"));
        TRichEdit98& editor = f.ui.textBox();
        const FormState& s = f.ui.state();
        editor.addHighlight(0, 5, colorFromBgr(s.fMarkColor));
        editor.addHighlight(6, 4, colorFromBgr(s.ffMarkColor));
        editor.addHighlight(11, 5, colorFromBgr(s.fSelBgColor));
        editor.showSpokenWord(17, 5, WordFollower::kWordColor);
        f.trigger(ActionId::Find1);
        f.trigger(ActionId::Key);
        QWidget* const search = f.form->findChild<TForm3*>();
        QWidget* keyNames = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<TForm2*>(window))
                keyNames = window;
        ASSERT_TRUE(search && keyNames);
        const QImage specified[] = {f.form->grab().toImage(), search->grab().toImage(), keyNames->grab().toImage()};

        const auto expectDesktopColours = [&](const QPalette& palette) {
            for (QWidget* panel : {&f.ui.control("TopPanel"), &f.ui.control("Panel1"), &f.ui.control("PanelEdit"),
                                   &f.ui.control("UPanel1"), search, keyNames}) {
                EXPECT_EQ(panel->palette().color(QPalette::Window), palette.color(QPalette::Window)) << panel->objectName().toStdString();
                EXPECT_EQ(panel->palette().color(QPalette::WindowText), palette.color(QPalette::WindowText))
                    << panel->objectName().toStdString();
            }
            for (QWidget* box : {static_cast<QWidget*>(&editor), editor.viewport(), &f.ui.control("ULabel98")}) {
                EXPECT_EQ(box->palette().color(QPalette::Base), palette.color(QPalette::Base)) << box->objectName().toStdString();
                EXPECT_EQ(box->palette().color(QPalette::Text), palette.color(QPalette::Text)) << box->objectName().toStdString();
            }
            const QList<QTextEdit::ExtraSelection> marks = editor.extraSelections();
            EXPECT_EQ(marks.size(), 4);
            for (const QTextEdit::ExtraSelection& mark : marks)
                EXPECT_GE(contrastRatio(mark.format.background().color(), palette.color(QPalette::Base)), 3.0)
                    << mark.format.background().color().name().toStdString();
            return marks;
        };

        f.ui.trigger(ActionId::DesktopColours1);
        expectDesktopColours(kDarkDesktop);
        QApplication::setPalette(desktopPalette(QColor(0xEF, 0xEF, 0xEF), Qt::white, QColor(0xE0, 0xE0, 0xE0), Qt::black));
        const QList<QTextEdit::ExtraSelection> onWhite = expectDesktopColours(QApplication::palette());
        ASSERT_EQ(onWhite.size(), 4);
        EXPECT_NE(onWhite[0].format.background().color(), colorFromBgr(s.fMarkColor)); // pale on white: darkened
        // What is stored and printed keeps the marks' own colours.
        EXPECT_EQ(editor.highlights()[0].format.background().color(), colorFromBgr(s.fMarkColor));

        QApplication::setPalette(kDarkDesktop);
        f.ui.trigger(ActionId::DesktopColours1);
        f.form->grab(); // the volume slider's groove is drawn in the new colours from its second painting on
        EXPECT_EQ(f.form->grab().toImage(), specified[0]);
        EXPECT_EQ(search->grab().toImage(), specified[1]);
        EXPECT_EQ(keyNames->grab().toImage(), specified[2]);
        EXPECT_EQ(editor.extraSelections()[0].format.background().color(), colorFromBgr(s.fMarkColor));
    }
    QApplication::setPalette(desktop);
}
