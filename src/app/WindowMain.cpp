#include "app/WindowMain.h"

#include "app/CommandLine.h"
#include "app/FontSetup.h"
#include "app/HintStyle.h"
#include "app/TForm1.h"
#include "speech/EspeakEngine.h"
#include "speech/QtSinkOutput.h"

#include <QApplication>

extern "C" __attribute__((visibility("default"))) int velmorWindowMain(int argc, char* argv[])
{
    using namespace velmor;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor"));
    QApplication::setApplicationVersion(QStringLiteral(VELMOR_VERSION));
    installFontSubstitutions();
    installHintStyle(app);

    const CommandLineRequest request = parseCommandLine(commandLineArguments(argc, argv));
    TForm1 form(std::make_unique<EspeakEngine>(EspeakEngine::OpenDevice(openSoundDevice)),
                FormOptions{request.file.has_value(), std::nullopt, {}});
    // The window comes first; a big file is read while it is already answering.
    form.show();
    form.openCommandLineFiles(request);
    return QApplication::exec();
}
