#include "app/HintStyle.h"

#include <QApplication>
#include <QProxyStyle>

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
    app.setStyleSheet(QStringLiteral("QToolTip { background-color: #e8f2e1; color: #566585;"
                                     " border: 1px solid #566585; border-radius: 6px; padding: 3px;"
                                     " font-family: 'Times New Roman'; font-size: 15px; }"));
}

} // namespace velmor
