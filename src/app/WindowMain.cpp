#include "app/WindowMain.h"

#include "app/CommandLine.h"
#include "app/FontSetup.h"
#include "app/HintStyle.h"
#include "app/TForm1.h"
#include "core/TextLimits.h"
#include "document/DocumentReading.h"
#include "speech/CombinedEngine.h"
#include "speech/EspeakEngine.h"
#include "speech/SystemVoices.h"
#include "speech/QtSinkOutput.h"

#include <QApplication>
#include <QGuiApplication>
#include <QProcess>

extern "C" __attribute__((visibility("default"))) int velmorWindowMain(int argc, char* argv[])
{
    using namespace velmor;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor"));
    QApplication::setApplicationVersion(QStringLiteral(VELMOR_VERSION));
    installFontSubstitutions();
    installHintStyle(app);

    const CommandLineRequest request = parseCommandLine(commandLineArguments(argc, argv));
    // speech-dispatcher takes seconds to list its voices: the window does not wait for that, but
    // has the command-line speaker list them for the next start.
    bool listingWanted = false;
    std::unique_ptr<SystemVoices> systemVoices =
        SystemVoices::connect(SystemVoices::defaultCacheFile(), SystemVoices::Listing::CachedOnly, &listingWanted);
    if (listingWanted) {
        QProcess lister;
        lister.setProgram(QCoreApplication::applicationFilePath());
        lister.setArguments({QStringLiteral("--list-voices")});
        lister.setStandardOutputFile(QProcess::nullDevice());
        lister.setStandardErrorFile(QProcess::nullDevice());
        lister.startDetached();
    }
    TForm1 form(std::make_unique<CombinedEngine>(std::make_unique<EspeakEngine>(EspeakEngine::OpenDevice(openSoundDevice)),
                                                 std::move(systemVoices)),
                FormOptions{request.file.has_value(), std::nullopt, {}});
    // The window comes first; a big file is read while it is already answering.
    form.show();
    form.openCommandLineFiles(request);
    return QApplication::exec();
}

extern "C" __attribute__((visibility("default"))) bool velmorDocumentText(int argc, char* argv[], const char* path,
                                                                          DocumentTold told, void* context)
{
    using namespace velmor;
    // Qt's text documents need a GUI application, which needs no display on the offscreen platform.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bool read = false;
    {
        QGuiApplication app(argc, argv);
        try {
            const OpenedFile document = readDocumentOrText(QString::fromLocal8Bit(path), kMaxTextLength);
            told(context, &document, nullptr);
            read = true;
        } catch (const std::exception& error) {
            told(context, nullptr, error.what());
        }
    }
    if (platform.isNull())
        qunsetenv("QT_QPA_PLATFORM");
    else
        qputenv("QT_QPA_PLATFORM", platform);
    return read;
}
