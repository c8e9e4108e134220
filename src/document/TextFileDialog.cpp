#include "document/TextFileDialog.h"

#include "document/Cp932.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringDecoder>

namespace velmor {

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        // A description that already names its patterns, as "Text(*.txt)", is shown as it is.
        const QString named = u'(' + patterns + u')';
        result << (parts[i].endsWith(named) ? parts[i] : QStringLiteral("%1 %2").arg(parts[i], named));
    }
    return result;
}

QString defaultExtensionOf(const QString& nameFilter)
{
    const qsizetype open = nameFilter.lastIndexOf(u'(');
    const qsizetype close = nameFilter.lastIndexOf(u')');
    if (open < 0 || close < open)
        return {};
    const QStringList patterns = nameFilter.mid(open + 1, close - open - 1).split(u' ', Qt::SkipEmptyParts);
    if (patterns.isEmpty())
        return {};
    const QString& first = patterns.front();
    const qsizetype dot = first.lastIndexOf(u'.');
    return dot < 0 ? QString() : first.mid(dot + 1);
}

QString previewOf(const QString& path)
{
    if (path.contains(u'*') || path.contains(u'?'))
        return {};
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray start = file.read(1024);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString asUtf8 = utf8.decode(start);
    // A multi-byte character cut at the end still counts as UTF-8.
    if (!utf8.hasError())
        return asUtf8;
    return decodeCp932(start);
}

TTextOpenDialog::TTextOpenDialog(QWidget* parent)
    : QFileDialog(parent)
{
    setObjectName(QStringLiteral("TextOpenDialog1"));
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::ReadOnly, false);
    setSizeGripEnabled(true);
    setFileMode(QFileDialog::AnyFile);
    setAcceptMode(QFileDialog::AcceptOpen);

    m_previewCheck = new QCheckBox(QStringLiteral("Preview(&P)"), this);
    m_previewCheck->setObjectName(QStringLiteral("PreviewCheck"));
    m_previewBox = new QPlainTextEdit(this);
    m_previewBox->setObjectName(QStringLiteral("PreviewBox"));
    m_previewBox->setReadOnly(true);
    m_previewBox->setFont(QFont(QStringLiteral("Arial")));
    m_previewBox->setMaximumHeight(120);
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        const int row = grid->rowCount();
        grid->addWidget(m_previewCheck, row, 0);
        grid->addWidget(m_previewBox, row + 1, 0, 1, grid->columnCount());
    }

    connect(this, &QFileDialog::filterSelected, this, &TTextOpenDialog::onTypeChanged);
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        m_current = path;
        refreshPreview();
    });
    connect(m_previewCheck, &QCheckBox::toggled, this, &TTextOpenDialog::refreshPreview);
}

void TTextOpenDialog::setFilter(const QString& filter)
{
    const QStringList filters = qtNameFilters(filter);
    setNameFilters(filters);
    if (!filters.isEmpty()) {
        selectNameFilter(filters.front());
        setDefaultSuffix(defaultExtensionOf(filters.front()));
    }
}

void TTextOpenDialog::presetFileName(const QString& name) { selectFile(name); }

// The name in the name box takes the new type's extension in place of its own.
void TTextOpenDialog::onTypeChanged(const QString& nameFilter)
{
    const QString extension = defaultExtensionOf(nameFilter);
    setDefaultSuffix(extension);
    auto* nameBox = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!nameBox || extension.isEmpty())
        return;
    QString name = nameBox->text();
    if (name.isEmpty()) {
        nameBox->setText(QStringLiteral("*.") + extension);
        return;
    }
    const qsizetype dot = name.lastIndexOf(u'.');
    nameBox->setText((dot < 0 ? name : name.left(dot)) + u'.' + extension);
}

void TTextOpenDialog::refreshPreview()
{
    m_previewBox->setPlainText(m_previewCheck->isChecked() ? previewOf(m_current) : QString());
}

TTextSaveDialog::TTextSaveDialog(QWidget* parent)
    : TTextOpenDialog(parent)
{
    setObjectName(QStringLiteral("TextSaveDialog1"));
    setAcceptMode(QFileDialog::AcceptSave);
    setOption(QFileDialog::DontConfirmOverwrite);
}

} // namespace velmor
