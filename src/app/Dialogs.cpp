#include "app/Dialogs.h"

#include "widgets/ErrorBox.h"
#include "document/TextFileDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace velmor {

Dialogs standardDialogs(QWidget* parent)
{
    QPointer<QWidget> owner(parent);
    Dialogs dialogs;
    dialogs.askYesNo = [owner](const QString& text) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Velmor"), text,
                        QMessageBox::Yes | QMessageBox::No, owner);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
    dialogs.askChoice = [owner](const QString& text, const QStringList& buttons, int defaultButton,
                                int escapeButton) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Velmor"), text, QMessageBox::NoButton, owner);
        QList<QPushButton*> pushButtons;
        for (const QString& caption : buttons)
            pushButtons << box.addButton(caption, QMessageBox::ActionRole);
        box.setDefaultButton(pushButtons.value(defaultButton));
        box.setEscapeButton(pushButtons.value(escapeButton));
        box.exec();
        const qsizetype chosen = pushButtons.indexOf(box.clickedButton());
        return chosen < 0 ? escapeButton : int(chosen);
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
    // The two file dialogs live as long as the window, so they keep their folder and the
    // preview check box between uses.
    auto openDialog = std::make_shared<QPointer<TTextOpenDialog>>();
    auto saveDialog = std::make_shared<QPointer<TTextSaveDialog>>();
    dialogs.chooseFile = [owner, openDialog, saveDialog](const FileChoice& choice) -> std::optional<QString> {
        TTextOpenDialog* dialog = nullptr;
        if (choice.kind == FileChoice::Kind::Open) {
            if (!*openDialog)
                *openDialog = new TTextOpenDialog(owner);
            dialog = *openDialog;
        } else {
            if (!*saveDialog)
                *saveDialog = new TTextSaveDialog(owner);
            dialog = *saveDialog;
        }
        if (!choice.directory.isEmpty())
            dialog->setDirectory(choice.directory);
        dialog->setFilter(choice.filter);
        dialog->presetFileName(choice.presetName);
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return std::nullopt;
        return dialog->selectedFiles().front();
    };
    dialogs.choosePrinter = [owner](QPrinter& printer) {
        QPrintDialog dialog(&printer, owner);
        return dialog.exec() == QDialog::Accepted;
    };
    dialogs.notify = [](QWidget* over, const QString& text) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok, over);
        box.exec();
    };
    dialogs.askQuestion = [](QWidget* over, const QString& text) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Information"), text,
                        QMessageBox::Yes | QMessageBox::No, over);
        return box.exec() == QMessageBox::Yes;
    };
    dialogs.chooseItem = [owner](const QString& title, const QString& label, const QStringList& items,
                                 int current) -> std::optional<int> {
        if (items.isEmpty())
            return std::nullopt;
        QDialog dialog(owner);
        dialog.setWindowTitle(title);
        dialog.setAccessibleName(title);
        auto* caption = new QLabel(label, &dialog);
        auto* list = new QListWidget(&dialog);
        list->setObjectName(QStringLiteral("ChoiceList"));
        list->setAccessibleName(label);
        list->addItems(items);
        list->setCurrentRow(std::clamp(current, 0, int(items.size()) - 1));
        caption->setBuddy(list);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(caption);
        layout->addWidget(list);
        layout->addWidget(buttons);
        list->setFocus();
        if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
            return std::nullopt;
        return list->currentRow();
    };
    dialogs.beep = [] { QApplication::beep(); };
    return dialogs;
}

} // namespace velmor
