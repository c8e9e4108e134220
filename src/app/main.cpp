#include "app/CommandLine.h"
#include "app/CommandLineSpeaker.h"
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
    // Each byte of a file name is kept, whatever its encoding.
    const auto argumentsOf = [](int count, char* values[]) {
        QStringList arguments;
        for (int i = 0; i < count; ++i)
            arguments << decodeFileName(values[i]);
        return arguments;
    };
    // The options that need no window are answered before the application object, which
    // cannot be made without a display.
    const QStringList arguments = argumentsOf(argc, argv);
    const CommandLineRequest request = parseCommandLine(arguments);
    if (request.action == CommandLineRequest::Action::PrintHelp) {
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (request.action == CommandLineRequest::Action::PrintVersion) {
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (request.action == CommandLineRequest::Action::BadOption) {
        std::fputs(badOptionText(request.badOption).toLocal8Bit().constData(), stderr);
        return kSpeakerBadOptions;
    }
    if (request.action == CommandLineRequest::Action::Speak) {
        QCoreApplication app(argc, argv);
        return runSpeaker(arguments);
    }
    if (displayMissing(arguments, currentDisplayEnvironment())) {
        std::fputs(missingDisplayText().toLocal8Bit().constData(), stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor"));
    QApplication::setApplicationVersion(QStringLiteral(VELMOR_VERSION));
    installFontSubstitutions();
    installHintStyle(app);

    TForm1 form(std::make_unique<EspeakEngine>(), FormOptions{request.file.has_value(), std::nullopt, {}});
    // The window comes first; a big file is read while it is already answering.
    form.show();
    form.openCommandLineFiles(request);
    return QApplication::exec();
}
