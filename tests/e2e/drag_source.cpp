// A window that drags the files named on its command line onto whatever lies under the pointer
// when the mouse button is released, as a file manager does; it offers to copy or move them and
// prints the action the target took ("copy", "move", "link" or "none").
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <cstdio>

namespace {

class DragSource : public QLabel {
public:
    explicit DragSource(QList<QUrl> urls)
        : QLabel(QStringLiteral("drag source")), m_urls(std::move(urls))
    {
        setWindowTitle(QStringLiteral("drag source"));
        setAlignment(Qt::AlignCenter);
        resize(160, 80);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* data = new QMimeData; // the drag takes ownership
        data->setUrls(m_urls);
        // The drag lives on with the window: the target asks for the data after the drop.
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction);
        const char* name = action == Qt::CopyAction ? "copy"
            : action == Qt::MoveAction             ? "move"
            : action == Qt::LinkAction             ? "link"
                                                   : "none";
        std::printf("%s\n", name);
        std::fflush(stdout);
    }

private:
    QList<QUrl> m_urls;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (const QString& path : QApplication::arguments().mid(1))
        urls << QUrl::fromLocalFile(path);
    DragSource source(urls);
    source.move(900, 600);
    source.show();
    return QApplication::exec();
}
