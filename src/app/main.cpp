#include "app/CommandLine.h"
#include "app/FontSetup.h"
#include "app/HintStyle.h"
#include "app/TForm1.h"
#include "document/FileNames.h"
#include "speech/EspeakEngine.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    using namespace velmor;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor"));
    QApplication::setApplicationVersion(QStringLiteral(VELMOR_VERSION));

    // What QApplication left of argv, each byte of a file name kept.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << decodeFileName(argv[i]);
    const CommandLineRequest request = parseCommandLine(arguments);
    if (request.action == CommandLineRequest::Action::PrintHelp) {
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (request.action == CommandLineRequest::Action::PrintVersion) {
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    }

    installFontSubstitutions();
    installHintStyle(app);

    TForm1 form(std::make_unique<EspeakEngine>(), FormOptions{request.file.has_value(), std::nullopt, {}});
    if (request.file)
        form.openCommandLineFile(*request.file);
    form.show();
    return QApplication::exec();
}
