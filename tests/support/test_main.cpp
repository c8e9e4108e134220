#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/FontSetup.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("VELMOR_SYNTH_HELPER"))
        qputenv("VELMOR_SYNTH_HELPER", VELMOR_SYNTH_HELPER_PATH);
    if (qEnvironmentVariableIsEmpty("VELMOR_JAPANESE_WORDS"))
        qputenv("VELMOR_JAPANESE_WORDS", VELMOR_JAPANESE_WORDS_PATH);
    // Caches (the voice list) and state (where listening stopped) go to folders of the run's own,
    // not the user's.
    QTemporaryDir cache;
    if (qEnvironmentVariableIsEmpty("XDG_CACHE_HOME"))
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    QTemporaryDir state;
    if (qEnvironmentVariableIsEmpty("XDG_STATE_HOME"))
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    QApplication app(argc, argv);
    velmor::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
