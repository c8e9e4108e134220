#include "app/CommandLine.h"
#include "app/FontSetup.h"
#include "app/HintStyle.h"
#include "app/TForm1.h"
#include "speech/EspeakEngine.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    using namespace velmor;
    // The options that need no window are answered before the application object, which
    // cannot be made without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineRequest request = parseCommandLine(arguments);
    if (request.action == CommandLineRequest::Action::PrintHelp) {
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (request.action == CommandLineRequest::Action::PrintVersion) {
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (displayMissing(arguments, currentDisplayEnvironment())) {
        std::fputs(missingDisplayText().toLocal8Bit().constData(), stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor"));
    QApplication::setApplicationVersion(QStringLiteral(VELMOR_VERSION));
    // Qt has taken its own options (-platform, -display ...) out: the file is the first argument left.
    const std::optional<QString> file = parseCommandLine(QApplication::arguments()).file;

    installFontSubstitutions();
    installHintStyle(app);

    TForm1 form(std::make_unique<EspeakEngine>(), FormOptions{file.has_value(), std::nullopt, {}});
    if (file)
        form.openCommandLineFile(*file);
    form.show();
    return QApplication::exec();
}
