#include "app/PronunciationRulesWindow.h"

#include "document/TextFile.h"
#include "speech/PassageReadings.h"
#include "speech/SpeechEngine.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velmor {

namespace {

QTableWidgetItem* checkItem(bool checked)
{
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

bool checked(const QTableWidget& table, int row, int column)
{
    const QTableWidgetItem* item = table.item(row, column);
    return item && item->checkState() == Qt::Checked;
}

QString textAt(const QTableWidget& table, int row, int column)
{
    const QTableWidgetItem* item = table.item(row, column);
    return item ? item->text() : QString();
}

QPushButton* button(const QString& caption, QWidget* parent)
{
    auto* made = new QPushButton(caption, parent);
    made->setAccessibleName(QString(caption).remove(u'&').remove(QStringLiteral("...")));
    made->setAutoDefault(false);
    return made;
}

} // namespace

std::shared_ptr<const PronunciationRules> loadPronunciationRules(const QString& path)
{
    try {
        return std::make_shared<const PronunciationRules>(readRulesFile(path).rules);
    } catch (const FileError&) {
        return {};
    }
}

PronunciationRulesWindow::PronunciationRulesWindow(SpeechEngine& engine, QString path, QWidget* parent)
    : QDialog(parent)
    , m_engine(engine)
    , m_path(std::move(path))
    , m_table(new QTableWidget(0, 6, this))
    , m_testText(new QLineEdit(this))
    , m_spoken(new QPlainTextEdit(this))
    , m_problems(new QLabel(this))
{
    setObjectName(QStringLiteral("PronunciationRules"));
    setWindowTitle(QStringLiteral("Pronunciation rules"));
    m_table->setObjectName(QStringLiteral("RulesTable"));
    m_table->setAccessibleName(QStringLiteral("Rules"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Find"), QStringLiteral("Say"), QStringLiteral("Whole word"),
                                        QStringLiteral("Match case"), QStringLiteral("Regular expression"),
                                        QStringLiteral("Language (* for all)")});
    m_table->horizontalHeader()->setSectionResizeMode(FindColumn, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(SayColumn, QHeaderView::Stretch);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the table; the arrows move within it and typing edits a cell.
    m_table->setTabKeyNavigation(false);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);
    m_testText->setObjectName(QStringLiteral("TestText"));
    m_testText->setAccessibleName(QStringLiteral("Test text"));
    m_testText->setPlaceholderText(QStringLiteral("Type a text to hear it with the rules"));
    m_spoken->setObjectName(QStringLiteral("SpokenText"));
    m_spoken->setAccessibleName(QStringLiteral("As it will be spoken"));
    m_spoken->setReadOnly(true);
    m_spoken->setTabChangesFocus(true);
    m_problems->setObjectName(QStringLiteral("RuleProblems"));
    m_problems->setAccessibleName(QStringLiteral("Problems"));
    m_problems->setWordWrap(true);
    m_problems->setTextFormat(Qt::PlainText);

    QPushButton* add = button(QStringLiteral("&Add"), this);
    QPushButton* remove = button(QStringLiteral("&Remove"), this);
    QPushButton* up = button(QStringLiteral("Move &up"), this);
    QPushButton* down = button(QStringLiteral("Move &down"), this);
    QPushButton* import = button(QStringLiteral("&Import..."), this);
    QPushButton* exportButton = button(QStringLiteral("&Export..."), this);
    QPushButton* speak = button(QStringLiteral("&Speak"), this);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* each : {add, remove, up, down, import, exportButton})
        buttons->addWidget(each);
    buttons->addStretch();
    auto* test = new QHBoxLayout;
    auto* testLabel = new QLabel(QStringLiteral("&Test:"), this);
    testLabel->setBuddy(m_testText);
    test->addWidget(testLabel);
    test->addWidget(m_testText, 1);
    test->addWidget(speak);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 3);
    layout->addLayout(buttons);
    layout->addWidget(m_problems);
    layout->addLayout(test);
    layout->addWidget(m_spoken, 1);
    layout->addWidget(close);
    resize(760, 520);

    connect(add, &QPushButton::clicked, this, &PronunciationRulesWindow::addRule);
    connect(remove, &QPushButton::clicked, this, &PronunciationRulesWindow::removeRule);
    connect(up, &QPushButton::clicked, this, [this] { moveRule(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveRule(1); });
    connect(import, &QPushButton::clicked, this, &PronunciationRulesWindow::chooseImport);
    connect(exportButton, &QPushButton::clicked, this, &PronunciationRulesWindow::chooseExport);
    connect(speak, &QPushButton::clicked, this, [this] {
        if (!m_testText->text().isEmpty())
            m_engine.SpeakText(m_testText->text());
    });
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_testText, &QLineEdit::textChanged, this, &PronunciationRulesWindow::showReadings);
    connect(m_table, &QTableWidget::itemChanged, this, &PronunciationRulesWindow::rulesChanged);

    try {
        const ParsedRules parsed = readRulesFile(m_path);
        for (const RuleProblem& problem : parsed.problems)
            m_fileProblems << QStringLiteral("%1 line %2: %3").arg(m_path).arg(problem.line).arg(problem.message);
        showRules(parsed.rules);
    } catch (const FileError& error) {
        m_fileProblems << error.message();
    }
    m_rules = std::make_shared<const PronunciationRules>(rulesInTable());
    showReadings();
    m_table->setFocus();
}

void PronunciationRulesWindow::appendRow(const PronunciationRule& rule)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, FindColumn, new QTableWidgetItem(rule.find));
    m_table->setItem(row, SayColumn, new QTableWidgetItem(rule.say));
    m_table->setItem(row, WholeWordColumn, checkItem(rule.wholeWord));
    m_table->setItem(row, MatchCaseColumn, checkItem(rule.matchCase));
    m_table->setItem(row, RegularExpressionColumn, checkItem(rule.regularExpression));
    m_table->setItem(row, LanguageColumn, new QTableWidgetItem(QString::fromLatin1(rule.language)));
}

void PronunciationRulesWindow::showRules(const std::vector<PronunciationRule>& rules)
{
    const QSignalBlocker quiet(m_table);
    m_table->setRowCount(0);
    for (const PronunciationRule& rule : rules)
        appendRow(rule);
}

std::vector<PronunciationRule> PronunciationRulesWindow::rulesInTable() const
{
    std::vector<PronunciationRule> rules;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QString language = textAt(*m_table, row, LanguageColumn).trimmed();
        rules.push_back({textAt(*m_table, row, FindColumn), textAt(*m_table, row, SayColumn),
                         checked(*m_table, row, WholeWordColumn), checked(*m_table, row, MatchCaseColumn),
                         checked(*m_table, row, RegularExpressionColumn),
                         language.isEmpty() ? QByteArray("*") : language.toLatin1()});
    }
    return rules;
}

// The next speech says the rules as they are now, and their file keeps them.
void PronunciationRulesWindow::rulesChanged()
{
    const std::vector<PronunciationRule> rules = rulesInTable();
    m_rules = std::make_shared<const PronunciationRules>(rules);
    m_engine.setPronunciationRules(m_rules);
    m_writeError.clear();
    try {
        writeRulesFile(m_path, rules);
    } catch (const FileError& error) {
        m_writeError = error.message();
    }
    showReadings();
}

void PronunciationRulesWindow::showReadings()
{
    QStringList problems = m_fileProblems;
    const std::vector<PronunciationRule>& rules = m_rules->rules();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (rules[i].find.isEmpty() && rules[i].say.isEmpty())
            continue;
        if (const QString error = ruleError(rules[i]); !error.isEmpty())
            problems << QStringLiteral("Rule %1 is not used: %2").arg(i + 1).arg(error);
    }
    if (!m_writeError.isEmpty())
        problems << m_writeError;
    m_problems->setText(problems.join(u'\n'));
    m_problems->setVisible(!problems.isEmpty());
    m_spoken->setPlainText(readingLines(m_engine, m_engine.passagesOf(m_testText->text())));
}

void PronunciationRulesWindow::addRule()
{
    {
        const QSignalBlocker quiet(m_table);
        appendRow({});
    }
    const int row = m_table->rowCount() - 1;
    m_table->setCurrentCell(row, FindColumn);
    m_table->setFocus();
    m_table->editItem(m_table->item(row, FindColumn));
}

void PronunciationRulesWindow::removeRule()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    m_table->removeRow(row);
    m_table->setCurrentCell(std::min(row, m_table->rowCount() - 1), m_table->currentColumn());
    rulesChanged();
}

void PronunciationRulesWindow::moveRule(int by)
{
    const int row = m_table->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= m_table->rowCount())
        return;
    {
        const QSignalBlocker quiet(m_table);
        for (int column = 0; column < m_table->columnCount(); ++column) {
            QTableWidgetItem* moving = m_table->takeItem(row, column);
            m_table->setItem(row, column, m_table->takeItem(to, column));
            m_table->setItem(to, column, moving);
        }
    }
    m_table->setCurrentCell(to, m_table->currentColumn());
    rulesChanged();
}

bool PronunciationRulesWindow::importFrom(const QString& path)
{
    m_fileProblems.clear();
    try {
        const ParsedRules parsed = readRulesFile(path);
        for (const RuleProblem& problem : parsed.problems)
            m_fileProblems << QStringLiteral("%1 line %2: %3").arg(path).arg(problem.line).arg(problem.message);
        const QSignalBlocker quiet(m_table);
        for (const PronunciationRule& rule : parsed.rules)
            appendRow(rule);
    } catch (const FileError& error) {
        m_fileProblems << error.message();
        showReadings();
        return false;
    }
    rulesChanged();
    return true;
}

void PronunciationRulesWindow::chooseImport()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Import pronunciation rules"), {},
                                                      QStringLiteral("Rules (*.tsv *.txt);;All files (*)"));
    if (!path.isEmpty())
        importFrom(path);
}

void PronunciationRulesWindow::chooseExport()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export pronunciation rules"),
                                                      QStringLiteral("pronunciation-rules.tsv"),
                                                      QStringLiteral("Rules (*.tsv)"));
    if (path.isEmpty())
        return;
    try {
        writeRulesFile(path, rulesInTable());
    } catch (const FileError& error) {
        m_writeError = error.message();
        showReadings();
    }
}

} // namespace velmor
