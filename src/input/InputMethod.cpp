#include "input/InputMethod.h"

#include <QWidget>

namespace velmor {

InputMethod::InputMethod(QWidget& textBox, Finder find)
    : m_textBox(textBox), m_find(std::move(find))
{
    m_lookUp.setSingleShot(true);
    QObject::connect(&m_lookUp, &QTimer::timeout, [this] { framework(); });
    m_lookUp.start(0);
}

InputMethod::~InputMethod() = default;

InputMethodFramework& InputMethod::framework()
{
    if (!m_framework)
        m_framework = m_find();
    return *m_framework;
}

InputMethodStatus InputMethod::status()
{
    m_textBox.setFocus();
    return framework().status();
}

bool InputMethod::IsImeOpened() { return status().open; }
int InputMethod::conversionMode() { return status().conversionMode; }

void InputMethod::setOpen(bool open)
{
    m_textBox.setFocus();
    framework().setOpen(open);
}

void InputMethod::setConversionMode(int mode)
{
    m_textBox.setFocus();
    framework().setConversionMode(mode);
}

bool InputMethod::japaneseLayout() { return framework().language() == QLatin1String("ja"); }
bool InputMethod::koreanLayout() { return framework().language() == QLatin1String("ko"); }

} // namespace velmor
