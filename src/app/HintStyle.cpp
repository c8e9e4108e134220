#include "app/HintStyle.h"

#include <QApplication>
#include <QProxyStyle>
#include <QToolTip>

namespace velmor {

namespace {

class HintTimingStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return 500;
        if (hint == QStyle::SH_ToolTip_FallAsleepDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void installHintStyle(QApplication& app)
{
    app.setStyle(new HintTimingStyle); // the application takes ownership
    // Through the palette rather than a style sheet: an application style sheet would
    // override the colours the window gives its text boxes.
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, QColor(0xE8, 0xF2, 0xE1));
    hints.setColor(QPalette::ToolTipText, QColor(0x56, 0x65, 0x85));
    hints.setColor(QPalette::Window, QColor(0xE8, 0xF2, 0xE1));
    hints.setColor(QPalette::WindowText, QColor(0x56, 0x65, 0x85));
    QToolTip::setPalette(hints);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(15);
    QToolTip::setFont(font);
}

} // namespace velmor
