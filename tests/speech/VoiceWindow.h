#pragma once

#include "FakeSpeechEngine.h"

#include "core/FormState.h"
#include "speech/SpeedControl.h"
#include "speech/SpeedOffsets.h"
#include "speech/VoiceLists.h"
#include "speech/VoiceSelection.h"

#include <QObject>
#include <QScrollBar>
#include <QSpinBox>
#include <QStringList>
#include <cstdint>
#include <vector>

// The controls voice selection and speed drive, wired as the main window wires them: a real
// spinner and speed bar whose change signals run the handlers, plain texts for the labels.
struct VoiceWindow {
    VoiceWindow(const QStringList& modeNames, const QStringList& speakers)
    {
        engine.modeNames = modeNames;
        engine.speakers = speakers;
        state.fModeCount = engine.ModeCount();
        state.fEngineOK = state.fModeCount >= 1;
        state.fVeronique = velmor::kVeroniqueAccented;
        state.ffirst = false;
        spinner.setRange(1, 100);
        bar.setRange(velmor::kSpeedBarMinimum, velmor::kSpeedBarMaximum);
        bar.setValue(150);
        QObject::connect(&spinner, &QSpinBox::valueChanged, [this] { voices.LIDUpDownChange(); });
        QObject::connect(&bar, &QScrollBar::valueChanged, [this](int position) { speed.ScrollBar1Change(position); });
    }

    // Creation: lists and language ID, then the stored speed.
    void start()
    {
        voices.buildAtStart();
        speed.applyStoredSpeed();
        engine.clear();
    }

    velmor::FormState state;
    FakeSpeechEngine engine{0};
    QSpinBox spinner;
    QScrollBar bar{Qt::Horizontal};

    QString label1;
    QString panel;
    QString hint;
    QString label4;
    std::uint32_t japanButtonColor = velmor::kNaokoOffFontColor;
    bool joyNaokoChecked = false;
    std::vector<std::vector<velmor::ListingEntry>> listings;
    int imeMode = 0;
    bool japaneseKeyboard = false;
    QStringList imeCalls;

    velmor::SpeedControl speed{state, &engine,
                               {.voiceLabel = [this] { return label1; },
                                .setBarPosition = [this](int position) { bar.setValue(position); },
                                .setBarRange = [this](int minimum, int maximum) { bar.setRange(minimum, maximum); },
                                .showSpeed = [this](const QString& text) { label4 = text; }}};

    velmor::VoiceSelection voices{
        state, &engine,
        {.spinnerValue = [this] { return spinner.value(); },
         .setSpinnerValue = [this](int value) { spinner.setValue(value); },
         .setSpinnerRange = [this](int minimum, int maximum) { spinner.setRange(minimum, maximum); },
         .showSpeaker = [this](const QString& speaker) { label1 = speaker; },
         .showModeName =
             [this](const QString& caption, const QString& modeHint) {
                 panel = caption;
                 hint = modeHint;
             },
         .setSpeed = [this] { speed.SetSpeed(); },
         .writeListing = [this](const std::vector<velmor::ListingEntry>& listing) { listings.push_back(listing); },
         .showNaoko =
             [this](std::uint32_t color, bool checked) {
                 japanButtonColor = color;
                 joyNaokoChecked = checked;
             },
         .imeConversionMode = [this] { return imeMode; },
         .japaneseKeyboard = [this] { return japaneseKeyboard; },
         .openIme = [this](int mode) { imeCalls << QStringLiteral("open:%1").arg(mode); },
         .closeIme = [this] { imeCalls << QStringLiteral("close"); }}};
};
