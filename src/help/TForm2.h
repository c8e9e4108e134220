#pragma once

#include <QWidget>
#include <functional>

class QAction;
class QLabel;
class QMenu;

namespace velmor {

class FlatButton;

// The key-name window: a small always-on-top list of the shortcut keys. It deletes itself when
// it closes, so each opening builds a new one.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    // closing runs once the window has agreed to close, before it goes.
    explicit TForm2(std::function<void()> closing);

    void CloseButtonClick();
    void Close1Click();
    void HelpLabelClick();
    void FormClick();

    QLabel* HelpLabel = nullptr;
    FlatButton* CloseButton = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Close1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_closing;
};

} // namespace velmor
