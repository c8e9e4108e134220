// The look commands and printing on big texts: a font size change from the Edit menu on a
// ten-million-character novel with a Yuki mark in every line (the whole text takes the font
// again and the marks their colour), and printing a 200,000-character text to a PDF file.

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "document/TextPrinting.h"
#include "speech/SpeechEngine.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstdio>
#include <ctime>

namespace {

QString novel(qsizetype characters)
{
    const QString line = QStringLiteral("吾輩は猫である。*名前はまだ無い。どこで生れたかとんと見当がつかぬ。Some English words.\n");
    return velmor::bench::repeatedLines(line, characters);
}

// Wall-clock time and the process's CPU time: on a busy machine the two differ a lot.
struct Stopwatch {
    QElapsedTimer wall;
    std::clock_t cpu = std::clock();
    Stopwatch() { wall.start(); }
    QString figures() const
    {
        return QStringLiteral("%1 ms (CPU %2 ms)")
            .arg(double(wall.nsecsElapsed()) / 1e6, 0, 'f', 0)
            .arg(double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC, 0, 'f', 0);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;

    velmor::TForm1 form(nullptr, velmor::bench::quietFormOptions(folder));
    form.show();

    form.RichEdit98->setPlainText(novel(10'000'000));
    form.action(velmor::ActionId::Nf12).trigger();
    QApplication::processEvents();
    const Stopwatch sizing;
    form.action(velmor::ActionId::N10).trigger();
    QApplication::processEvents();
    std::printf("font size 12 -> 10 on %lld characters with Yuki marks, until painted: %s\n",
                static_cast<long long>(form.RichEdit98->document()->characterCount()), qPrintable(sizing.figures()));

    form.RichEdit98->setPlainText(novel(200'000));
    const QString pdf = folder.filePath(QStringLiteral("novel.pdf"));
    const Stopwatch printing;
    velmor::printText(*form.RichEdit98, QStringLiteral("novel.txt"), [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    std::printf("printing %lld characters to a PDF file of %lld bytes: %s\n",
                static_cast<long long>(form.RichEdit98->document()->characterCount()),
                static_cast<long long>(QFile(pdf).size()), qPrintable(printing.figures()));
    form.RichEdit98->setModified(false);
    return 0;
}
