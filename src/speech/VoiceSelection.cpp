#include "speech/VoiceSelection.h"

#include "core/FormState.h"
#include "speech/SpeechEngine.h"
#include "speech/SystemVoices.h"

namespace velmor {

std::optional<VoiceDisplay> voiceDisplay(const FormState& state, int id)
{
    if (id < 1 || id > state.fSpeakerList.size() || id > state.fModeNameList.size()
        || id > state.fModeNoList.size())
        return std::nullopt;
    const QString& modeName = state.fModeNameList.at(id - 1);
    return VoiceDisplay{displayName(state.fSpeakerList.at(id - 1), state.fVeronique),
                        QStringLiteral(" ") + modeName, modeName, state.fModeNoList.at(id - 1).toInt()};
}

VoiceSelection::VoiceSelection(FormState& state, SpeechEngine* engine, VoiceSelectionHooks hooks)
    : m_state(state), m_engine(engine), m_hooks(std::move(hooks))
{
}

void VoiceSelection::buildAtStart()
{
    if (m_engine)
        adopt(buildVoiceLists(*m_engine, m_state.fModeCount, m_state.ffirst, m_state.fVeronique));
    findStoredVoice();
    settleLanguageId();
    if (m_keptId != 0 && m_hooks.tellInPanel)
        if (const auto standIn = voiceDisplay(m_state, m_state.fid))
            m_hooks.tellInPanel(QStringLiteral("%1 is not available; %2 speaks instead").arg(m_keptVoice, standIn->speaker));
}

// A system voice may be listed under another ID than before (modules come and go), or be gone:
// then the first voice of its language stands in for it.
void VoiceSelection::findStoredVoice()
{
    if (!m_engine || m_storedVoice.isEmpty() || m_state.fIDCount < 1)
        return;
    for (int id = 1; id <= m_state.fIDCount; ++id)
        if (m_engine->SpeakerOf(m_state.fModeNoList.at(id - 1).toInt()) == m_storedVoice) {
            m_state.fid = id;
            return;
        }
    m_keptId = m_state.fid;
    m_keptVoice = m_storedVoice;
    m_state.fid = firstIdSpeaking(systemSpeakerLanguage(m_storedVoice).toLower().replace(u'_', u'-').toUtf8());
    m_standInId = m_state.fid;
}

// The first ID whose voice speaks the language, else the first of its main language (en-gb for
// en-us), else 1.
int VoiceSelection::firstIdSpeaking(const QByteArray& language) const
{
    const auto mainLanguage = [](const QByteArray& tag) { return tag.left(tag.indexOf('-') < 0 ? tag.size() : tag.indexOf('-')); };
    for (const bool exact : {true, false})
        for (int id = 1; id <= m_state.fIDCount; ++id) {
            const QByteArray spoken = m_engine->voiceLanguageOf(m_state.fModeNoList.at(id - 1).toInt());
            if (exact ? spoken == language : mainLanguage(spoken) == mainLanguage(language))
                return id;
        }
    return 1;
}

int VoiceSelection::idToStore() const
{
    return m_keptId != 0 && m_state.fid == m_standInId ? m_keptId : m_state.fid;
}

QString VoiceSelection::voiceToStore() const
{
    if (m_keptId != 0 && m_state.fid == m_standInId)
        return m_keptVoice;
    const auto display = voiceDisplay(m_state, m_state.fid);
    if (!display || !m_engine || display->engineMode > m_engine->ModeCount())
        return {};
    const QString speaker = m_engine->SpeakerOf(display->engineMode);
    return isSystemSpeaker(speaker) ? speaker : QString();
}

void VoiceSelection::FLID()
{
    m_state.fModeCount = 0;
    if (m_engine)
        m_state.fModeCount = m_engine->ModeCount();
    if (m_state.fModeCount < 1) {
        m_state.fEngineOK = false;
        return;
    }
    m_state.fEngineOK = true;
    m_state.fSpeakerList.clear();
    m_state.fModeNameList.clear();
    m_state.fModeNoList.clear();
    m_state.fIDCount = 0;
    adopt(buildVoiceLists(*m_engine, m_state.fModeCount, true, m_state.fVeronique));
    settleLanguageId();
}

void VoiceSelection::adopt(VoiceLists lists)
{
    m_state.fSpeakerList = std::move(lists.speakers);
    m_state.fModeNameList = std::move(lists.modeNames);
    m_state.fModeNoList = std::move(lists.modeNumbers);
    m_state.fIDCount = int(m_state.fSpeakerList.size());
    // A stale Naoko entry survives a rebuild that finds none.
    if (lists.naokoNo != 0)
        m_state.fNaokoNo = lists.naokoNo;
    if (!lists.listing.empty())
        m_hooks.writeListing(lists.listing);
}

void VoiceSelection::settleLanguageId()
{
    const int id = m_state.fIDCount < m_state.fid ? 1 : m_state.fid;
    // The range comes first: the spinner would cut an ID beyond its old range short.
    m_hooks.setSpinnerRange(1, m_state.fIDCount);
    // With no usable mode nothing is chosen: the stored ID waits for a start with speech data.
    if (m_state.fIDCount < 1)
        return;
    m_state.fid = id;
    m_hooks.setSpinnerValue(id);
    if (const auto display = voiceDisplay(m_state, m_state.fid)) {
        m_hooks.showSpeaker(display->speaker);
        m_hooks.showModeName(display->panelCaption, display->hint);
    }
}

void VoiceSelection::select(int id)
{
    const auto display = voiceDisplay(m_state, id);
    if (!display)
        return;
    if (m_engine)
        m_engine->SelectMode(display->engineMode);
    m_hooks.showSpeaker(display->speaker);
    m_hooks.setSpeed();
    m_hooks.showModeName(display->panelCaption, display->hint);
}

void VoiceSelection::LIDUpDownChange()
{
    // Without a usable mode there is nothing to select and the displays stay as they are.
    if (!m_state.fEngineOK || m_state.fIDCount < 1)
        return;
    const int shown = m_hooks.spinnerValue();
    if (shown <= 0)
        m_hooks.setSpinnerValue(1);
    else if (shown > m_state.fIDCount)
        m_hooks.setSpinnerValue(m_state.fIDCount);
    m_state.fid = m_hooks.spinnerValue();
    select(m_state.fid);
}

void VoiceSelection::JapanButtonClick()
{
    if (m_state.fNaokoNo == 0)
        return;
    if (m_hooks.spinnerValue() != m_state.fNaokoNo) {
        m_state.fPrevID = m_state.fid;
        m_hooks.setSpinnerValue(m_state.fNaokoNo);
        select(m_state.fNaokoNo);
        m_hooks.showNaoko(kNaokoOnFontColor, true);
        m_state.fImeHanEisu =
            m_hooks.imeConversionMode && m_hooks.imeConversionMode() == kImeHalfWidthAlphanumeric;
        if (m_hooks.japaneseKeyboard && m_hooks.japaneseKeyboard() && m_hooks.openIme)
            m_hooks.openIme(kImeFullWidthHiragana);
    } else if (m_state.fPrevID != 0) {
        if (m_state.fImeHanEisu) {
            if (m_hooks.openIme)
                m_hooks.openIme(kImeHalfWidthAlphanumeric);
            m_state.fImeHanEisu = false;
        } else if (m_hooks.closeIme) {
            m_hooks.closeIme();
        }
        m_hooks.setSpinnerValue(m_state.fPrevID);
        select(m_state.fPrevID);
        m_hooks.showNaoko(kNaokoOffFontColor, false);
    }
}

} // namespace velmor
