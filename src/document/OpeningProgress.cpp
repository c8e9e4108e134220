#include "document/OpeningProgress.h"

#include "widgets/UPanel.h"

namespace velmor {

OpeningProgress::OpeningProgress(UPanel& panel, std::function<int()> percent)
    : m_panel(panel), m_percent(std::move(percent))
{
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { show(); });
}

QString OpeningProgress::caption(const QString& fileName, int percent)
{
    return QStringLiteral("  Opening %1  %2%").arg(fileName).arg(percent);
}

void OpeningProgress::start(const QString& fileName)
{
    // An open that replaces one still going keeps its message up.
    m_fileName = fileName;
    if (m_shown.isEmpty()) {
        m_timer.start(kQuietMs);
    } else {
        show();
    }
}

void OpeningProgress::stop()
{
    m_timer.stop();
    if (!m_shown.isEmpty() && m_panel.caption() == m_shown)
        m_panel.setCaption(m_captionBefore);
    m_shown.clear();
}

void OpeningProgress::show()
{
    // A hint shown meanwhile gives way to the message, and is not what comes back after it.
    if (m_shown.isEmpty())
        m_captionBefore = m_panel.caption();
    m_shown = caption(m_fileName, m_percent());
    m_panel.setCaption(m_shown);
    m_timer.start(kStepMs);
}

} // namespace velmor
