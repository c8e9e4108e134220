#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/SpeakingState.h"
#include "widgets/FlatButton.h"
#include "widgets/LozengeCheckBox.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QColor kFill(0xB3, 0xB3, 0xFF);

QAction* action(FormFixture& f, ActionId id) { return &f.ui.action(id); }

// The context menu as it is drawn when it opens.
QImage drawnPopup(FormFixture& f)
{
    QMenu* menu = &f.ui.control<QMenu>("PopupMenu1");
    menu->popup(QPoint(10, 10));
    QApplication::processEvents();
    const QImage image = menu->grab().toImage();
    menu->hide();
    return image;
}

bool hasBox(const QImage& image, const QRect& item)
{
    return image.pixelColor(item.left() + 2, item.top() + 12) == Qt::black
        && image.pixelColor(item.left() + 5, item.top() + 8) == Qt::black
        && image.pixelColor(item.left() + 5, item.top() + 12) == kFill;
}

// Opens the menu that a user action brings up, notes which it was and where, and closes it.
struct PopupWatch {
    QWidget* popup = nullptr;
    QPoint at;
    bool buttonDown = false;

    void arm(QAbstractButton* button = nullptr)
    {
        popup = nullptr;
        QTimer::singleShot(0, [this, button] {
            popup = QApplication::activePopupWidget();
            if (popup) {
                at = popup->pos();
                buttonDown = button && button->isDown();
                popup->close();
            }
        });
    }
};

} // namespace

TEST(PopupMenu, DrawsEveryItemOnTheFillWithBoxesForCheckedStatesAndTwoToneSeparators)
{
    FormFixture f;
    QMenu* menu = &f.ui.control<QMenu>("PopupMenu1");
    f.ui.control<velmor::LozengeCheckBox>("HotKeyCheckBox").setChecked(false);
    action(f, ActionId::Marking1)->setChecked(false);
    action(f, ActionId::Show1)->setChecked(true);
    const QImage image = drawnPopup(f);

    const QRect speech = menu->actionGeometry(action(f, ActionId::Speech1));
    EXPECT_EQ(speech.size(), QSize(144, 25));
    EXPECT_EQ(image.pixelColor(speech.center()), kFill);
    EXPECT_EQ(image.pixelColor(speech.right() - 2, speech.top() + 2), kFill);
    EXPECT_FALSE(hasBox(image, speech));
    EXPECT_TRUE(hasBox(image, menu->actionGeometry(action(f, ActionId::Show1))));
    EXPECT_FALSE(hasBox(image, menu->actionGeometry(action(f, ActionId::Marking1))));
    // The drawn box follows the check box, not the menu item's own mark.
    EXPECT_FALSE(hasBox(image, menu->actionGeometry(action(f, ActionId::HotKeyCheck))));
    f.ui.control<velmor::LozengeCheckBox>("HotKeyCheckBox").setChecked(true);
    EXPECT_TRUE(hasBox(drawnPopup(f), menu->actionGeometry(action(f, ActionId::HotKeyCheck))));

    const QRect separator = menu->actionGeometry(menu->actions().at(6)); // after the six speaking commands
    EXPECT_EQ(separator.height(), 10);
    const int middle = separator.top() + 5;
    EXPECT_EQ(image.pixelColor(separator.left() + 1, middle), QColor(0x85, 0x91, 0x1A));
    EXPECT_EQ(image.pixelColor(separator.left() + 60, middle + 1), QColor(0xE8, 0xEF, 0xA7));
    EXPECT_EQ(image.pixelColor(separator.left() + 60, middle - 1), kFill);

    // A caption is drawn from 15 pixels in; nothing else darkens the item before it.
    bool inked = false;
    for (int x = speech.left() + 15; x < speech.left() + 40 && !inked; ++x) {
        for (int y = speech.top(); y <= speech.bottom(); ++y)
            inked = inked || image.pixelColor(x, y) != kFill;
    }
    EXPECT_TRUE(inked);
    for (int x = speech.left(); x < speech.left() + 15; ++x)
        EXPECT_EQ(image.pixelColor(x, speech.center().y()), kFill) << x;
}

TEST(PopupMenu, OpensOnARightClickWhileTheButtonMenusOpenOnlyFromTheirButtons)
{
    FormFixture f;
    PopupWatch watch;
    for (const char* name : {"M_FileButton", "M_EditButton", "M_HelpButton"}) {
        auto* button = &f.ui.control<velmor::FlatButton>(name);
        watch.arm(button);
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(button, &rightClick);
        EXPECT_EQ(watch.popup, &f.ui.control<QMenu>("PopupMenu1")) << button->objectName().toStdString();
        EXPECT_FALSE(watch.buttonDown);
    }

    auto& help = f.ui.control<velmor::FlatButton>("M_HelpButton");
    watch.arm(&help);
    help.click();
    EXPECT_EQ(watch.popup, &f.ui.control<QMenu>("HelpMenu"));
    EXPECT_EQ(watch.at, help.mapToGlobal(QPoint(0, help.height())));
    EXPECT_TRUE(watch.buttonDown);
    EXPECT_FALSE(help.isDown());
}

TEST(AboutButton, SpeaksItsCaptionAnewAndDoesNothingWithoutAnEngine)
{
    FormFixture f;
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("AboutButton").toolTip(), QStringLiteral("Light version"));
    f.form->speakingState().start(velmor::SpeechKind::Selection);
    f.form->speakingState().nextRepetition(2);
    f.form->PauseButtonClick();
    f.engine->clear();
    f.ui.click("AboutButton");
    EXPECT_EQ(f.engine->calls,
              (QStringList{"ResetAudio", "SpeakText:Velmor_L ver1.12   Velmor developers"}));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
    EXPECT_EQ(f.form->speakingState().fRepCount(), 1);
    EXPECT_FALSE(f.form->speakingState().fPaused());
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));

    FormFixture none(0);
    none.engine->clear();
    none.ui.click("AboutButton");
    EXPECT_TRUE(none.engine->calls.isEmpty());
}
