#include "document/TDropDst.h"

#include "document/FileNames.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace velmor {

namespace {

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        // The path's bytes as the file system has them: toLocalFile would turn bytes that
        // are not UTF-8 into U+FFFD, and the name would no longer reach the file.
        const QString host = url.host();
        if (host.isEmpty() || host == QStringLiteral("localhost"))
            files << decodeFileName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
        else
            files << url.toLocalFile();
    }
    return files;
}

// A drop must never move the file away from where it came from: copy, or else link.
bool chooseHarmlessAction(QDropEvent& event)
{
    for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event.possibleActions() & action) {
            event.setDropAction(action);
            return true;
        }
    }
    return false;
}

} // namespace

TDropDst::TDropDst(const QString& objectName, QObject* parent)
    : QObject(parent)
{
    setObjectName(objectName);
}

TDropDst::~TDropDst() { unwatch(); }

void TDropDst::setControl(QWidget* control)
{
    unwatch();
    m_control = control;
    watch();
}

void TDropDst::setTarget(HookTarget target)
{
    unwatch();
    m_target = target;
    watch();
}

QWidget* TDropDst::targetWidget() const
{
    if (!m_control)
        return nullptr;
    return m_target == HookTarget::htForm ? m_control->window() : m_control.data();
}

void TDropDst::watch()
{
    QWidget* target = targetWidget();
    if (!target)
        return;
    QList<QWidget*> receivers{target};
    // A scroll area's drag events arrive at its viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target))
        receivers << area->viewport();
    for (QWidget* receiver : receivers) {
        m_watched.append({receiver, receiver->acceptDrops()});
        receiver->setAcceptDrops(true);
        receiver->installEventFilter(this);
    }
}

void TDropDst::unwatch()
{
    for (const auto& [receiver, acceptedDrops] : m_watched) {
        if (!receiver)
            continue;
        receiver->removeEventFilter(this);
        receiver->setAcceptDrops(acceptedDrops);
    }
    m_watched.clear();
}

bool TDropDst::takesFilesFrom(QDropEvent& event) const
{
    return m_acceptDrop && !localFiles(event.mimeData()).isEmpty() && chooseHarmlessAction(event);
}

bool TDropDst::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto& drag = static_cast<QDropEvent&>(*event);
        if (!takesFilesFrom(drag))
            return false;
        drag.accept();
        return true;
    }
    case QEvent::Drop: {
        auto& drop = static_cast<QDropEvent&>(*event);
        if (!takesFilesFrom(drop))
            return false;
        drop.accept();
        const QStringList files = localFiles(drop.mimeData());
        QPoint point = drop.position().toPoint();
        if (auto* receiver = qobject_cast<QWidget*>(watched); receiver && receiver != targetWidget())
            point = receiver->mapTo(targetWidget(), point);
        // The handler may ask a question; the drag source gets its answer first.
        QMetaObject::invokeMethod(
            this,
            [this, files, point] {
                if (m_onFileDrop)
                    m_onFileDrop(files, point);
            },
            Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

} // namespace velmor
