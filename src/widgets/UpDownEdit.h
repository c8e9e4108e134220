#pragma once

#include <QSpinBox>

namespace velmor {

// An edit field with a spinner, limited to a range.
class UpDownEdit : public QSpinBox {
    Q_OBJECT
public:
    UpDownEdit(const QString& objectName, int minimum, int maximum, QWidget* parent)
        : QSpinBox(parent)
    {
        setObjectName(objectName);
        setRange(minimum, maximum);
        setAlignment(Qt::AlignRight);
    }
};

} // namespace velmor
