#pragma once

#include <QObject>
#include <functional>

class QClipboard;

namespace velmor {

// Tells its owner about every change of the system clipboard (not the X11 primary selection),
// the program's own copies included, while it is enabled and has a handler.
class TClipboardWatcher : public QObject {
    Q_OBJECT
public:
    explicit TClipboardWatcher(QObject* owner, QClipboard* clipboard = nullptr);
    ~TClipboardWatcher() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    void setOnChange(std::function<void()> handler);
    // Whether clipboard changes reach the watcher now.
    bool registered() const { return bool(m_registration); }

protected:
    virtual void Change();

private:
    void UpdateViewer();

    QClipboard* m_clipboard;
    bool m_enabled = true;
    std::function<void()> m_onChange;
    QMetaObject::Connection m_registration;
};

} // namespace velmor
