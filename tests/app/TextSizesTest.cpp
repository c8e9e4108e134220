#include "FormFixture.h"
#include "TestFiles.h"

#include "core/FormState.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

// A desktop font of another size for the windows made while it lives.
class DesktopFont {
public:
    explicit DesktopFont(int pointSize)
    {
        QFont font = m_saved;
        font.setPointSize(pointSize);
        QApplication::setFont(font);
    }
    ~DesktopFont() { QApplication::setFont(m_saved); }

private:
    const QFont m_saved = QApplication::font();
};

// Every caption of a window that is wider than its control, with both widths.
QStringList clippedCaptions(const QWidget& window)
{
    QStringList clipped;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        QString caption;
        if (const auto* button = qobject_cast<const QAbstractButton*>(control))
            caption = button->text();
        else if (const auto* label = qobject_cast<const QLabel*>(control))
            caption = label->text();
        caption.remove(u'&');
        const QFontMetrics metrics(control->font());
        for (const QString& line : caption.split(QRegularExpression(QStringLiteral("[\r\n]")))) {
            const int width = metrics.horizontalAdvance(line);
            if (width > control->width())
                clipped << QStringLiteral("%1 \"%2\" %3 > %4").arg(control->objectName(), line).arg(width).arg(control->width());
        }
    }
    return clipped;
}

QWidget* openWindow(const char* objectName)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(objectName) && window->isVisible())
            return window;
    return nullptr;
}

// The window is no larger than the room the screen offers.
bool fitsTheScreen(const QWidget& window)
{
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    return room.expandedTo(window.frameGeometry().size()) == room;
}

QString settingsText(const QString& path) { return QString::fromUtf8(testfiles::fileBytes(path)); }

} // namespace

// The captions a window clips at the font its layout was made for.
QStringList clippedAtLaidOutFont(ActionId opening, const char* name)
{
    DesktopFont laidOut(9);
    FormFixture f;
    f.setText(QStringLiteral("text to find"));
    f.trigger(opening);
    QWidget* window = openWindow(name);
    return window ? clippedCaptions(*window) : QStringList{QStringLiteral("no window")};
}

// The roster's places hold at the font the layout was made for; with a 15-point desktop font
// every place grows with the font, so no caption is clipped (the Search or Replace window's
// transparency caption is already at its laid-out size), and no window is larger than the screen.
TEST(TextSizes, LargerDesktopFontGrowsTheLayoutWithinTheScreen)
{
    const QStringList searchWindowClips = clippedAtLaidOutFont(ActionId::Find1, "Form3");
    ASSERT_EQ(searchWindowClips.size(), 1);
    {
        DesktopFont laidOut(9);
        FormFixture f;
        EXPECT_EQ(f.ui.control<QWidget>("SpeechButton").geometry(), QRect(304, 8, 72, 25));
        EXPECT_EQ(f.ui.control<QWidget>("RepUpDown").geometry(), QRect(207, 442, 57, 27));
        EXPECT_EQ(f.ui.control<QWidget>("TopPanel").height(), 37);
        EXPECT_EQ(f.ui.control<QWidget>("Panel1").width(), 290);
    }

    DesktopFont large(15);
    FormFixture f;
    f.setText(QStringLiteral("text to find"));
    EXPECT_EQ(clippedCaptions(*f.form), QStringList());
    EXPECT_GT(f.ui.control<QWidget>("TopPanel").height(), 37);
    EXPECT_TRUE(fitsTheScreen(*f.form)) << f.form->frameGeometry().width() << " x " << f.form->frameGeometry().height();

    for (auto [id, name] : {std::pair{ActionId::Find1, "Form3"}, std::pair{ActionId::Key, "Form2"}}) {
        f.trigger(id);
        QWidget* window = openWindow(name);
        ASSERT_NE(window, nullptr) << name;
        const QStringList clipped = clippedCaptions(*window);
        EXPECT_EQ(clipped.size(), id == ActionId::Find1 ? searchWindowClips.size() : 0) << clipped.join(u'\n').toStdString();
        EXPECT_TRUE(fitsTheScreen(*window)) << name;
        window->close();
    }

    // The settings keep the sizes at the laid-out scale, so the window grows again at the next start.
    ASSERT_TRUE(f.form->close());
    const QString settings = settingsText(f.settingsFile);
    EXPECT_TRUE(settings.contains(QStringLiteral("[Form1\\fPanelW]\nInteger=290\n"))) << settings.toStdString();
}

// Ctrl+Plus (also Ctrl+= and the keypad's plus), Ctrl+Minus and Ctrl+0 step the text size within
// 6 to 72 points, say it with speech-info on, and the settings keep it.
TEST(TextSizes, ZoomKeysStepTheTextSizeWithinItsBoundsAndTheSettingsKeepIt)
{
    FormFixture f;
    velmor::TRichEdit98& box = f.ui.textBox();
    ASSERT_EQ(f.ui.state().fFontSize, 11);

    f.ui.press(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(f.ui.state().fFontSize, 12);
    EXPECT_TRUE(f.ui.action(ActionId::Nf12).isChecked());
    f.ui.press(Qt::Key_Equal, Qt::ControlModifier);
    f.ui.press(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(f.ui.state().fFontSize, 14);
    EXPECT_EQ(box.font().pointSize(), 14);
    EXPECT_EQ(f.ui.control<QWidget>("ULabel98").font().pointSize(), 14);
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" Text size 14"));
    EXPECT_EQ(f.engine->spoken.last(), QStringLiteral("Text size 14"));
    EXPECT_FALSE(f.ui.action(ActionId::Nf12).isChecked());

    f.ui.press(Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(f.ui.state().fFontSize, 13);
    for (int i = 0; i < 80; ++i)
        f.ui.press(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(f.ui.state().fFontSize, 6);
    for (int i = 0; i < 80; ++i)
        f.ui.press(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(f.ui.state().fFontSize, 72);
    EXPECT_EQ(box.font().pointSize(), 72);

    f.ui.control<velmor::LozengeCheckBox>("SICheckBox").setChecked(false);
    f.engine->clear();
    f.ui.press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(f.ui.state().fFontSize, 11);
    EXPECT_TRUE(f.ui.action(ActionId::N11).isChecked());
    EXPECT_EQ(f.ui.panelCaption(), QStringLiteral(" Text size 11"));
    EXPECT_TRUE(f.engine->spoken.isEmpty());

    f.ui.press(Qt::Key_Minus, Qt::ControlModifier);
    box.setModified(false);
    ASSERT_TRUE(f.form->close());
    EXPECT_TRUE(settingsText(f.settingsFile).contains(QStringLiteral("[Form1\\fFontSize]\nInteger=10\n")));
}
