#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <functional>

class QDropEvent;
class QWidget;

namespace velmor {

// Lets a control, or the window that holds it, take files dragged from the file manager and
// hands their paths to OnFileDrop. Other drags, such as text moved inside a text box, still
// reach the control's own handling.
class TDropDst : public QObject {
    Q_OBJECT
public:
    enum class HookTarget { htControl, htForm };
    // The dropped paths in the order the source lists them, and the drop point in the
    // watched control's coordinates.
    using FileDropHandler = std::function<void(const QStringList& files, QPoint point)>;

    TDropDst(const QString& objectName, QObject* parent);
    ~TDropDst() override;

    void setControl(QWidget* control);
    QWidget* control() const { return m_control; }
    void setTarget(HookTarget target);
    HookTarget target() const { return m_target; }
    void setAcceptDrop(bool accept) { m_acceptDrop = accept; }
    bool acceptDrop() const { return m_acceptDrop; }
    void setOnFileDrop(FileDropHandler handler) { m_onFileDrop = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* targetWidget() const;
    void watch();
    void unwatch();
    bool takesFilesFrom(QDropEvent& event) const;

    QPointer<QWidget> m_control;
    HookTarget m_target = HookTarget::htControl;
    bool m_acceptDrop = true;
    FileDropHandler m_onFileDrop;
    // The widgets that receive the drag events (a scroll area's viewport besides the area),
    // with whether each accepted drops before it was watched.
    QList<std::pair<QPointer<QWidget>, bool>> m_watched;
};

} // namespace velmor
