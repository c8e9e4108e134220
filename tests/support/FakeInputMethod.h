#pragma once

#include "input/InputMethod.h"

#include <QStringList>

// An input-method framework whose state the test sets; records what the program asked of it.
class FakeInputMethod : public velmor::InputMethodFramework {
public:
    velmor::InputMethodStatus current;
    QString keyboardLanguage;
    // "open", "close" and "mode:N", in the order asked.
    QStringList requests;

    velmor::InputMethodStatus status() override { return current; }
    void setOpen(bool open) override
    {
        requests << (open ? QStringLiteral("open") : QStringLiteral("close"));
        current.open = open;
    }
    void setConversionMode(int mode) override
    {
        requests << QStringLiteral("mode:%1").arg(mode);
        current.conversionMode = mode;
    }
    QString language() override { return keyboardLanguage; }
};
