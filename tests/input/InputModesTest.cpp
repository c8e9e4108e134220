#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FaceNames.h"
#include "core/FormState.h"
#include "document/YukiMarks.h"
#include "input/Fcitx5InputMethod.h"
#include "input/IBusInputMethod.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QGlyphRun>
#include <QLineEdit>
#include <QRawFont>
#include <QTextLayout>
#include <QTextCursor>
#include <gtest/gtest.h>

using velmor::IBusEngine;
using velmor::InputMethodStatus;

TEST(InputModes, TheFourCommandsActOnlyWithAJapaneseKeyboard)
{
    FormFixture f;
    QLineEdit elsewhere(f.form.get());
    elsewhere.show();
    elsewhere.setFocus();
    ASSERT_TRUE(elsewhere.hasFocus());
    for (ActionId command : {ActionId::IMEon1, ActionId::ZenHiragana1, ActionId::HanEisu1, ActionId::Straight1})
        f.trigger(command);
    EXPECT_TRUE(f.inputMethod->requests.isEmpty());
    EXPECT_TRUE(elsewhere.hasFocus());

    f.inputMethod->keyboardLanguage = QStringLiteral("ja");
    f.trigger(ActionId::ZenHiragana1);
    EXPECT_TRUE(f.ui.textBox().hasFocus());
    f.trigger(ActionId::HanEisu1);
    f.trigger(ActionId::Straight1);
    f.trigger(ActionId::IMEon1);
    EXPECT_EQ(f.inputMethod->requests,
              (QStringList{"open", "mode:25", "open", "mode:16", "close", "open"}));
}

TEST(InputModes, HangulModeDrawsTheTextAnewInTheBoxFaceAndColour)
{
    FormFixture f;
    f.trigger(ActionId::Hangul1);
    EXPECT_TRUE(f.ui.state().fHangulMode);
    EXPECT_EQ(f.ui.state().fFontName, velmor::kFaceUIGothic);
    EXPECT_TRUE(f.ui.action(ActionId::MSUIGothic1).isChecked());
    EXPECT_TRUE(f.ui.textBox().isModified()); // an empty text is only marked modified

    // Text typed in another face, a Yuki mark and a marked passage; the caret after the mark,
    // whose colour is the typing colour there.
    velmor::TRichEdit98& box = f.ui.textBox();
    for (const bool addYuki : {false, true}) {
        SCOPED_TRACE(addYuki);
        f.ui.state().fAddYuki = addYuki;
        f.setText(QStringLiteral("한글 *x"));
        QTextCharFormat otherFace;
        otherFace.setFontFamilies({velmor::kFacePMincho});
        otherFace.setFontPointSize(20);
        QTextCursor typed(box.document());
        typed.setPosition(0);
        typed.setPosition(5, QTextCursor::KeepAnchor);
        typed.mergeCharFormat(otherFace);
        velmor::AddYukiColor(box, velmor::kYukiMark, velmor::kYukiColor, Qt::black);
        box.addHighlight(0, 2, Qt::yellow);
        box.setModified(false);
        box.setSelection(4, 0);
        f.trigger(ActionId::Hangul1);
        EXPECT_EQ(box.toPlainText(), QStringLiteral("한글 *x"));
        EXPECT_EQ(box.selStart(), 4);
        EXPECT_TRUE(box.isModified());
        // Every character shows in the box's face and size and colour; only the Yuki mark is
        // coloured again, and only with the option on. Marks are gone.
        for (int at = 0; at < 5; ++at) {
            QTextCursor character(box.document());
            character.setPosition(at + 1);
            const QTextCharFormat format = character.charFormat();
            EXPECT_FALSE(format.hasProperty(QTextFormat::FontFamilies)) << at;
            EXPECT_FALSE(format.hasProperty(QTextFormat::FontPointSize)) << at;
            EXPECT_EQ(format.foreground().color() == velmor::kYukiColor, addYuki && at == 3) << at;
        }
        EXPECT_EQ(box.highlightCount(), 0);
    }

    // The face draws Hangul with glyphs of a Korean face, not as boxes.
    QTextLayout layout(QStringLiteral("한글"), box.font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    ASSERT_EQ(runs.size(), 1);
    EXPECT_TRUE(QFont::substitutes(velmor::kFaceUIGothic).contains(runs[0].rawFont().familyName(), Qt::CaseInsensitive))
        << runs[0].rawFont().familyName().toStdString();
    EXPECT_FALSE(runs[0].glyphIndexes().contains(0u));

    f.trigger(ActionId::ReleaseHangul1);
    EXPECT_FALSE(f.ui.state().fHangulMode);
    EXPECT_EQ(f.ui.state().fFontName, velmor::kFaceUIGothic);
}

TEST(InputMethodMapping, IBusEnginesGiveTheInputMethodsStatus)
{
    const IBusEngine mozc{QStringLiteral("mozc-jp"), QStringLiteral("ja"), QStringLiteral("jp")};
    const IBusEngine hangul{QStringLiteral("hangul"), QStringLiteral("ko"), QStringLiteral("kr")};
    const IBusEngine japaneseKeyboard{QStringLiteral("xkb:jp::jpn"), QStringLiteral("ja"), QStringLiteral("jp")};
    const IBusEngine pinyin{QStringLiteral("pinyin"), QStringLiteral("zh_CN"), QStringLiteral("us")};
    EXPECT_EQ(velmor::ibusStatus(std::nullopt, 25), (InputMethodStatus{false, 0}));
    EXPECT_EQ(velmor::ibusStatus(japaneseKeyboard, 25), (InputMethodStatus{false, 0}));
    EXPECT_EQ(velmor::ibusStatus(mozc, 16), (InputMethodStatus{true, 16}));
    EXPECT_EQ(velmor::ibusStatus(hangul, 25), (InputMethodStatus{true, 1}));
    EXPECT_EQ(velmor::ibusStatus(pinyin, 16), (InputMethodStatus{true, 25}));

    EXPECT_EQ(velmor::ibusLanguage(japaneseKeyboard), QStringLiteral("ja"));
    EXPECT_EQ(velmor::ibusLanguage({QStringLiteral("xkb:kr::kor"), QString(), QStringLiteral("kr")}),
              QStringLiteral("ko"));
    EXPECT_EQ(velmor::ibusModeProperty(25), QStringLiteral("InputMode.Hiragana"));
    EXPECT_EQ(velmor::ibusModeProperty(16), QStringLiteral("InputMode.Latin"));
    EXPECT_EQ(velmor::ibusModeOfProperty(QStringLiteral("InputMode.Latin")), 16);
    EXPECT_EQ(velmor::ibusModeOfProperty(QStringLiteral("InputMode.Direct")), 16);
    EXPECT_EQ(velmor::ibusModeOfProperty(QStringLiteral("InputMode.Katakana")), 25);
    EXPECT_EQ(velmor::ibusModeOfProperty(QStringLiteral("InputMode")), std::nullopt);
    EXPECT_EQ(velmor::ibusModeOfProperty(QStringLiteral("TypingMode.Kana")), std::nullopt);

    // Engines are looked for through the object tree, as an engine process describes it.
    const velmor::IntrospectedNode engine = velmor::parseIntrospection(QStringLiteral(
        "<node><interface name=\"org.freedesktop.DBus.Peer\"><method name=\"Ping\"/></interface>"
        "<interface name=\"org.freedesktop.IBus.Engine\"><method name=\"PropertyActivate\"/></interface>"
        "<node name=\"1\"/><node name=\"2\"><node name=\"deeper\"/></node></node>"));
    EXPECT_EQ(engine.interfaces, (QStringList{"org.freedesktop.DBus.Peer", "org.freedesktop.IBus.Engine"}));
    EXPECT_EQ(engine.children, (QStringList{"1", "2"}));
    EXPECT_TRUE(velmor::parseIntrospection(QStringLiteral("not xml")).children.isEmpty());
}

TEST(InputMethodMapping, FcitxStateAndLanguageGiveTheInputMethodsStatus)
{
    EXPECT_EQ(velmor::fcitxStatus(1, QStringLiteral("ja"), 25), (InputMethodStatus{false, 0}));
    EXPECT_EQ(velmor::fcitxStatus(2, QStringLiteral("ja"), 25), (InputMethodStatus{true, 25}));
    EXPECT_EQ(velmor::fcitxStatus(2, QStringLiteral("ko"), 25), (InputMethodStatus{true, 1}));
    EXPECT_EQ(velmor::fcitxStatus(2, QStringLiteral("zh"), 16), (InputMethodStatus{true, 25}));
}
