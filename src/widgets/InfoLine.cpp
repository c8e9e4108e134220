#include "widgets/BaseColor.h"
#include "widgets/InfoLine.h"

namespace velmor {

InfoLine::InfoLine(const QString& objectName, QWidget* parent)
    : QTextEdit(parent)
{
    setObjectName(objectName);
    setReadOnly(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::ClickFocus);
    setAcceptRichText(false);
    document()->setDocumentMargin(2);
}

void InfoLine::showText(const QString& text, const QString& fontName)
{
    if (font().family() != fontName) {
        QFont f = font();
        f.setFamily(fontName);
        setFont(f);
    }
    showText(text);
}

void InfoLine::showText(const QString& text) { setPlainText(text.left(kShownLength)); }

void InfoLine::setTextColor(const QColor& color)
{
    // A palette change restyles the widget: typing echoes set the same colour again and again.
    if (color == textColor())
        return;
    for (QWidget* widget : {static_cast<QWidget*>(this), viewport()})
        setFixedColour(*widget, QPalette::Text, color);
}

QColor InfoLine::textColor() const { return fixedColour(*this, QPalette::Text); }

void InfoLine::setPanelColor(const QColor& color)
{
    if (color != fixedColour(*this, QPalette::Base))
        setBaseColor(*this, color);
}

} // namespace velmor
