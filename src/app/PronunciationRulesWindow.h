#pragma once

#include "speech/PronunciationRules.h"
#include "speech/TextPreparation.h"

#include <QDialog>
#include <QString>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace velmor {

class SpeechEngine;

// Edit > Pronunciation rules...: the listener's rules as a table, written to their file and handed
// to the engine at each change, so the next speech says them; a test box shows a text as it will
// be spoken and speaks it.
class PronunciationRulesWindow : public QDialog {
    Q_OBJECT

public:
    enum Column { FindColumn, SayColumn, WholeWordColumn, MatchCaseColumn, RegularExpressionColumn, LanguageColumn };

    PronunciationRulesWindow(SpeechEngine& engine, QString path, QWidget* parent);

    std::vector<PronunciationRule> rulesInTable() const;
    // Appends rules read from a file, and tells of its problems; false when it could not be read.
    bool importFrom(const QString& path);

private:
    void showRules(const std::vector<PronunciationRule>& rules);
    void appendRow(const PronunciationRule& rule);
    void rulesChanged();
    void showReadings();
    void addRule();
    void removeRule();
    void moveRule(int by);
    void chooseImport();
    void chooseExport();

    SpeechEngine& m_engine;
    QString m_path;
    QStringList m_fileProblems;
    QString m_writeError;
    std::shared_ptr<const PronunciationRules> m_rules;
    QTableWidget* m_table;
    QLineEdit* m_testText;
    QPlainTextEdit* m_spoken;
    QLabel* m_problems;
};

// The listener's rules as their file holds them; none when it cannot be read.
std::shared_ptr<const PronunciationRules> loadPronunciationRules(const QString& path);

} // namespace velmor
