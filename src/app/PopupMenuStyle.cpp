#include "app/PopupMenuStyle.h"

#include "widgets/Bgr.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace velmor {

namespace {

const QColor kFill = colorFromBgr(0x00FFB3B3);
const QColor kSeparatorDark = colorFromBgr(0x001A9185);
const QColor kSeparatorLight = colorFromBgr(0x00A7EFE8);

// The measured width is 130; like the desktops that owner-drawn menus come from, a column for
// check marks is added to it, and the check box sits in that column (up to 135 pixels before
// the item's right edge).
constexpr int kItemWidth = 130 + 14;
constexpr int kItemHeight = 25;
constexpr int kSeparatorHeight = 10;
constexpr int kCaptionIndent = 15;

class OwnerMenuStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        if (type == CT_MenuItem) {
            const auto* item = static_cast<const QStyleOptionMenuItem*>(option);
            return {kItemWidth, item->menuItemType == QStyleOptionMenuItem::Separator ? kSeparatorHeight : kItemHeight};
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_MenuPanelWidth:
            return 1;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
            return 2;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_PanelMenu && element != PE_FrameMenu) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        painter->save();
        if (element == PE_PanelMenu)
            painter->fillRect(option->rect, kFill);
        painter->setPen(option->palette.color(QPalette::Dark));
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element == CE_MenuEmptyArea) {
            painter->fillRect(option->rect, kFill);
            return;
        }
        if (element != CE_MenuItem) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const auto* item = static_cast<const QStyleOptionMenuItem*>(option);
        painter->save();
        if (item->menuItemType == QStyleOptionMenuItem::Separator)
            drawSeparator(item->rect, painter);
        else
            drawItem(*item, painter);
        painter->restore();
    }

private:
    // Edges are given as the desktop gives them: right and bottom just outside the item.
    static void drawSeparator(const QRect& rect, QPainter* painter)
    {
        painter->fillRect(rect, kFill);
        const int left = rect.left();
        const int right = rect.left() + rect.width();
        const int middle = rect.top() + rect.height() / 2;
        painter->setPen(kSeparatorDark);
        painter->drawLine(left + 1, middle, right - 2, middle);
        painter->setPen(kSeparatorLight);
        painter->drawLine(left + 1, middle + 1, right - 2, middle + 1);
    }

    static void drawItem(const QStyleOptionMenuItem& item, QPainter* painter)
    {
        const QRect& rect = item.rect;
        painter->fillRect(rect, kFill);
        if (item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked) {
            const int right = rect.left() + rect.width();
            const int bottom = rect.top() + rect.height();
            const QRect box(QPoint(rect.left() + 2, rect.top() + 8), QPoint(right - 136, bottom - 9));
            painter->fillRect(box, kFill);
            painter->setPen(Qt::black);
            painter->drawRect(box.adjusted(0, 0, -1, -1));
        }
        const bool selected = item.state & QStyle::State_Selected;
        painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::WindowText));
        painter->setBackgroundMode(Qt::OpaqueMode);
        painter->setBackground(kFill);
        painter->setFont(item.font);
        const QString caption = item.text.section(QLatin1Char('\t'), 0, 0);
        const QRect captionArea = rect.adjusted(kCaptionIndent, 0, 0, 0);
        painter->drawText(captionArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextHideMnemonic,
                          caption);
    }
};

} // namespace

void drawAsOwnerMenu(QMenu& menu)
{
    auto* style = new OwnerMenuStyle;
    style->setParent(&menu);
    menu.setStyle(style);
    for (QAction* action : menu.actions())
        action->setShortcutVisibleInContextMenu(false);
}

} // namespace velmor
