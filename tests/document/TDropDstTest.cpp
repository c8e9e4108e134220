#include "QtPrinters.h"

#include "document/TDropDst.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

using velmor::TDropDst;

namespace {

// Drags two files onto the widget at the point and drops them; true when the drop was taken.
bool dropAt(QWidget* widget, QPoint point, Qt::DropActions offered)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/one.txt")), QUrl::fromLocalFile(QStringLiteral("/tmp/two.txt"))});
    QDragEnterEvent enter(point, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QDropEvent drop(point, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

} // namespace

TEST(TDropDst, TakesDroppedFilesAsCopiesWhileAcceptingThemOnTheControlOrItsForm)
{
    QWidget form;
    auto* label = new QLabel(QStringLiteral("drop here"), &form);
    label->setGeometry(10, 20, 80, 30);
    TDropDst target(QStringLiteral("DropDst1"), &form);
    target.setControl(label);
    QStringList files;
    QPoint point;
    target.setOnFileDrop([&](const QStringList& dropped, QPoint at) {
        files = dropped;
        point = at;
    });

    EXPECT_TRUE(label->acceptDrops());
    EXPECT_TRUE(dropAt(label, {5, 6}, Qt::CopyAction | Qt::MoveAction));
    EXPECT_EQ(files, (QStringList{"/tmp/one.txt", "/tmp/two.txt"}));
    EXPECT_EQ(point, QPoint(5, 6));

    // Taking a file the source could only move would make it vanish from where it was.
    files.clear();
    EXPECT_FALSE(dropAt(label, {5, 6}, Qt::MoveAction));
    target.setAcceptDrop(false);
    EXPECT_FALSE(dropAt(label, {5, 6}, Qt::CopyAction));
    EXPECT_TRUE(files.isEmpty());

    target.setAcceptDrop(true);
    target.setTarget(TDropDst::HookTarget::htForm);
    EXPECT_FALSE(label->acceptDrops());
    EXPECT_TRUE(dropAt(&form, {15, 26}, Qt::LinkAction));
    EXPECT_EQ(files.size(), 2);
    EXPECT_EQ(point, QPoint(15, 26));
}
