// Documents turned into text: a 500-page PDF set by groff and a 5 MB EPUB, with the time to the
// text, the size of the text and the peak memory; and the PDF opened in the window, with the time
// until its first pages show and until the whole text is in.

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "core/FormState.h"
#include "document/DocumentImport.h"
#include "document/FileCommands.h"
#include "speech/SpeechEngine.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

long peakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void run(const QString& program, const QStringList& arguments, const QString& folder, const QString& output = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    if (!output.isEmpty())
        process.setStandardOutputFile(output);
    process.start(program, arguments);
    if (!process.waitForFinished(600'000) || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
}

void measureImport(const char* what, const velmor::DocumentImporter& importer, const QString& path)
{
    const QByteArray bytes = readAll(path);
    const long before = peakRssMegabytes();
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    double firstMs = -1;
    const velmor::ImportedText imported =
        importer.import(bytes, {}, [&](const QString&) { firstMs = timer.nsecsElapsed() / 1e6; });
    const double ms = timer.nsecsElapsed() / 1e6;
    const double cpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
    std::printf("%-24s %5.1f MB file  %6.0f ms (CPU of all threads %6.0f ms, first pages at %.0f ms)  text %6.1f MB "
                "(%lld characters)  peak RSS %ld MB (%ld before)\n",
                what, bytes.size() / 1048576.0, ms, cpuMs, firstMs, imported.text.size() * 2 / 1048576.0,
                qlonglong(imported.text.size()), peakRssMegabytes(), before);
}

// As a drop opens it: the time until the text box shows the document's first pages, and until
// the whole text is in and the window takes keys again.
void measureWindowOpen(const QString& path)
{
    QTemporaryDir folder;
    velmor::TForm1 form(nullptr, velmor::bench::quietFormOptions(folder));
    const std::clock_t cpuStart = std::clock();
    QElapsedTimer timer;
    timer.start();
    form.state().fOpenName = path;
    form.state().fDropOpen = true;
    form.MyTextFileOpen();
    form.state().fDropOpen = false;
    double firstMs = -1;
    while (form.fileCommands().opening() && timer.elapsed() < 60'000) {
        // Waits for the next event (the progress timer ticks every 100 ms) rather than spinning.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (firstMs < 0 && !form.RichEdit98->document()->isEmpty())
            firstMs = timer.nsecsElapsed() / 1e6;
    }
    const double wholeMs = timer.nsecsElapsed() / 1e6;
    const double cpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
    std::printf("PDF opened in the window: first pages shown at %.0f ms (target < 300), whole text in at %.0f ms "
                "(target < 2000; CPU of all threads %.0f ms), %d characters\n",
                firstMs, wholeMs, cpuMs, form.RichEdit98->document()->characterCount() - 1);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const char* tool : {"groff", "python3"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            qFatal("%s is needed (scripts/install-deps.sh installs it)", tool);
    QTemporaryDir folder;

    // About 500 pages of prose in two columns with running headers, as groff sets them.
    QByteArray paper = ".ds LH Harbour report\n.ds CH - % -\n.2C\n";
    const QByteArray sentence = "The ferry from the northern islands docks at the harbour at noon, and everybody "
                                "waits on the pier for the passengers and their extraordinarily heavy luggage. ";
    for (int paragraph = 0; paragraph < 5200; ++paragraph)
        paper += ".PP\n" + sentence.repeated(3) + "\n";
    {
        QFile file(folder.filePath("paper.ms"));
        file.open(QIODevice::WriteOnly);
        file.write(paper);
    }
    QElapsedTimer groff;
    groff.start();
    run("groff", {"-ms", "-Tpdf", "paper.ms"}, folder.path(), folder.filePath("paper.pdf"));
    std::printf("(groff set the PDF in %.1f s)\n", groff.elapsed() / 1000.0);
    measureImport("PDF, two columns", velmor::PdfImporter(), folder.filePath("paper.pdf"));
    measureWindowOpen(folder.filePath("paper.pdf"));

    // A 5 MB EPUB: chapters of XHTML stored in the archive as they are.
    const char* script = R"(
import sys, zipfile
para = '<p>' + 'The ferry from the northern islands docks at the harbour at noon. ' * 6 + '</p>\n'
chapter = '<?xml version="1.0" encoding="UTF-8"?>\n<html xmlns="http://www.w3.org/1999/xhtml"><head><title>c</title></head><body><h1>Chapter</h1>' + para * 100 + '</body></html>'
count = 5 * 1024 * 1024 // len(chapter) + 1
with zipfile.ZipFile(sys.argv[1], 'w') as book:
    book.writestr(zipfile.ZipInfo('mimetype'), 'application/epub+zip')
    book.writestr('META-INF/container.xml', '<?xml version="1.0"?><container version="1.0" xmlns="urn:oasis:names:tc:opendocument:xmlns:container"><rootfiles><rootfile full-path="OEBPS/content.opf" media-type="application/oebps-package+xml"/></rootfiles></container>')
    items = ''.join('<item id="c%d" href="c%d.xhtml" media-type="application/xhtml+xml"/>' % (i, i) for i in range(count))
    spine = ''.join('<itemref idref="c%d"/>' % i for i in range(count))
    book.writestr('OEBPS/content.opf', '<?xml version="1.0"?><package xmlns="http://www.idpf.org/2007/opf" version="3.0"><metadata xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>Harbour</dc:title></metadata><manifest>' + items + '</manifest><spine>' + spine + '</spine></package>')
    for i in range(count):
        book.writestr('OEBPS/c%d.xhtml' % i, chapter)
)";
    run("python3", {"-c", script, folder.filePath("book.epub")}, folder.path());
    measureImport("EPUB, stored chapters", velmor::EpubImporter(), folder.filePath("book.epub"));
    return 0;
}
