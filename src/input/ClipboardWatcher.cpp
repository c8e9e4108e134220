#include "input/ClipboardWatcher.h"

#include <QClipboard>
#include <QGuiApplication>

namespace velmor {

TClipboardWatcher::TClipboardWatcher(QObject* owner, QClipboard* clipboard)
    : QObject(owner), m_clipboard(clipboard ? clipboard : QGuiApplication::clipboard())
{
}

TClipboardWatcher::~TClipboardWatcher() { setEnabled(false); }

void TClipboardWatcher::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    UpdateViewer();
}

void TClipboardWatcher::setOnChange(std::function<void()> handler)
{
    const bool hadHandler = bool(m_onChange);
    m_onChange = std::move(handler);
    if (hadHandler != bool(m_onChange))
        UpdateViewer();
}

void TClipboardWatcher::UpdateViewer()
{
    if (m_registration && (!m_enabled || !m_onChange)) {
        disconnect(m_registration);
        m_registration = {};
    } else if (!m_registration && m_enabled && m_onChange) {
        m_registration = connect(m_clipboard, &QClipboard::dataChanged, this, [this] { Change(); });
    }
}

void TClipboardWatcher::Change()
{
    if (m_onChange)
        m_onChange();
}

} // namespace velmor
