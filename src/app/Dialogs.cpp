#include "app/Dialogs.h"

#include "app/ErrorBox.h"

#include <QColorDialog>
#include <QMessageBox>
#include <QPointer>

namespace velmor {

Dialogs standardDialogs(QWidget* parent)
{
    QPointer<QWidget> owner(parent);
    Dialogs dialogs;
    dialogs.askYesNo = [owner](const QString& text) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Velmor"), text,
                        QMessageBox::Yes | QMessageBox::No, owner);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
    dialogs.inform = [owner](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmor"), text, QMessageBox::Ok, owner);
        box.exec();
    };
    dialogs.showError = [owner](const QString& text) { showErrorBox(owner, text); };
    dialogs.chooseColor = [owner](const QColor& initial) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, owner);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };
    return dialogs;
}

} // namespace velmor
