#pragma once

#include <QCheckBox>

namespace velmor {

// The control panel's check box: a rounded indicator beside its caption.
class LozengeCheckBox : public QCheckBox {
    Q_OBJECT
public:
    LozengeCheckBox(const QString& objectName, const QString& caption, QWidget* parent)
        : QCheckBox(caption, parent)
    {
        setObjectName(objectName);
        // It always stands on one of the window's own panel colours, so its caption's colour is
        // fixed with them, whatever the desktop theme.
        setStyleSheet(QStringLiteral(
            "QCheckBox { color: black; }"
            "QCheckBox::indicator { width: 14px; height: 10px; border: 1px solid #4d73b3;"
            " border-radius: 5px; background: #f4f5e9; }"
            "QCheckBox::indicator:checked { background: #4d73b3; }"));
    }
};

} // namespace velmor
