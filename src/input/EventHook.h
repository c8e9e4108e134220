#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

namespace velmor {

// Shows each event of one object to a function before the object handles it. Lives as long
// as the object it watches.
class EventHook : public QObject {
public:
    EventHook(QObject* target, std::function<void(QEvent*)> seen)
        : QObject(target), m_seen(std::move(seen))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        m_seen(event);
        return false;
    }

private:
    std::function<void(QEvent*)> m_seen;
};

} // namespace velmor
