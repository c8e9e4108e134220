#pragma once

#include <QFileDialog>
#include <QStringList>

class QCheckBox;
class QPlainTextEdit;

namespace velmor {

// "Text(*.txt)|*.txt|Pascal files|*.PAS;*.DPK" → one Qt name filter per description.
QStringList qtNameFilters(const QString& filter);
// The extension of a Qt name filter's first pattern without its dot ("txt"); empty when it has none.
QString defaultExtensionOf(const QString& nameFilter);
// The start of a file for the preview: its first 1024 bytes as text; nothing for a pattern
// or a file that does not exist.
QString previewOf(const QString& path);

// The open dialog: the file types follow the given filter, the name box is preset, the default
// extension follows the chosen type, and an area under the standard controls previews the
// selected file while "Preview(&P)" is checked.
class TTextOpenDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit TTextOpenDialog(QWidget* parent);

    void setFilter(const QString& filter);
    void presetFileName(const QString& name);

    QCheckBox* previewCheck() const { return m_previewCheck; }
    QPlainTextEdit* previewBox() const { return m_previewBox; }

protected:
    void onTypeChanged(const QString& nameFilter);
    void refreshPreview();

private:
    QCheckBox* m_previewCheck = nullptr;
    QPlainTextEdit* m_previewBox = nullptr;
    QString m_current;
};

class TTextSaveDialog : public TTextOpenDialog {
    Q_OBJECT
public:
    explicit TTextSaveDialog(QWidget* parent);
};

} // namespace velmor
