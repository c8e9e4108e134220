#include "app/CommandLine.h"
#include "app/CommandLineSpeaker.h"
#include "app/WindowMain.h"
#include "core/InstalledFiles.h"
#include "document/DocumentKinds.h"
#include "document/DocumentReading.h"

#include <QCoreApplication>
#include <cstdio>
#include <dlfcn.h>

// Installed, the window module has a folder of its own: a shared object straight in lib/velmor
// would have the package run ldconfig, which is for public libraries.
const QString kWindowFolder = QStringLiteral("lib/velmor/window");

// An entry of the window's module, loaded on first use; null (said on stderr) when it cannot be.
void* windowEntry(const char* name)
{
    const QByteArray module = velmor::companionFile(QStringLiteral("velmor-window.so"), kWindowFolder).toLocal8Bit();
    void* window = dlopen(module.constData(), RTLD_NOW | RTLD_LOCAL);
    void* entry = window ? dlsym(window, name) : nullptr;
    if (!entry)
        std::fprintf(stderr, "velmor: the window cannot be loaded: %s\n", dlerror());
    return entry;
}

// This program links Qt's core library and no more, so that the command-line speaker starts as
// fast as espeak-ng's own command: the window's libraries (some seventy, with Qt's widgets and
// sound) are loaded only for the window.
int main(int argc, char* argv[])
{
    using namespace velmor;
    // The options that need no window are answered before any application object, since the
    // window's cannot be made without a display.
    const QStringList arguments = commandLineArguments(argc, argv);
    const CommandLineRequest request = parseCommandLine(arguments);
    switch (request.action) {
    case CommandLineRequest::Action::PrintHelp:
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLineRequest::Action::PrintVersion:
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLineRequest::Action::BadOption:
        std::fputs(badOptionText(request.badOption).toLocal8Bit().constData(), stderr);
        return kSpeakerBadOptions;
    case CommandLineRequest::Action::Speak: {
        // A document is read through the window's module, which holds the document readers.
        std::optional<SpeakerDocument> document;
        const auto speaker = parseSpeakerRequest(arguments);
        if (const auto* parsed = std::get_if<SpeakerRequest>(&speaker); parsed && parsed->textFile
            && isDocumentFile(*parsed->textFile)) {
            const auto entry = reinterpret_cast<decltype(&velmorDocumentText)>(windowEntry(kDocumentEntry));
            if (!entry)
                return kSpeakerFailed;
            struct Told {
                SpeakerDocument document;
                QString error;
            } told;
            const bool read = entry(argc, argv, parsed->textFile->toLocal8Bit().constData(),
                                    [](void* context, const OpenedFile* opened, const char* error) {
                                        auto& told = *static_cast<Told*>(context);
                                        if (opened)
                                            told.document = {opened->decoded.text, opened->chapters};
                                        else
                                            told.error = QString::fromUtf8(error);
                                    },
                                    &told);
            if (!read) {
                std::fprintf(stderr, "velmor: %s\n", told.error.toLocal8Bit().constData());
                return kSpeakerFailed;
            }
            document = std::move(told.document);
        }
        QCoreApplication app(argc, argv);
        return runSpeaker(arguments, document);
    }
    case CommandLineRequest::Action::Run:
        break;
    }
    if (displayMissing(arguments, currentDisplayEnvironment())) {
        std::fputs(missingDisplayText().toLocal8Bit().constData(), stderr);
        return 1;
    }
    const auto entry = reinterpret_cast<decltype(&velmorWindowMain)>(windowEntry(kWindowEntry));
    if (!entry)
        return 1;
    return entry(argc, argv);
}
