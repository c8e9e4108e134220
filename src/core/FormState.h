#pragma once

#include "core/ChapterStart.h"
#include "core/FaceNames.h"
#include "core/TextFormat.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace velmor {

// The main window's state fields, shared by the handlers of every concern. Values before the
// settings file is read are the settings' defaults.
struct FormState {
    bool fEngineOK = false;
    int fModeCount = 0;
    int fid = 1;
    int fIDCount = 0;
    QStringList fSpeakerList;
    QStringList fModeNameList;
    QStringList fModeNoList;
    int fNaokoNo = 0;
    int fPrevID = 0;
    bool fImeHanEisu = false;
    QString fVeronique;
    bool ffirst = true;
    int FSpd = 150;
    int fRepNum = 1;
    QString fSelText;
    QString fClipText;
    int fRow = 0;
    int fCol = 0;
    QString fFileName;
    // The document an untitled text was read from (a PDF, an EPUB...), which Save never writes.
    QString fImportedFrom;
    // The chapters that document named itself, kept while its text is in the box.
    std::vector<ChapterStart> fChapterStarts;
    QString fOpenName;
    QString fLastfile;
    bool fParamOpen = false;
    bool fDropOpen = false;
    bool fUnicodeFile = false;
    // How the document's file is encoded; fUnicodeFile mirrors its UTF-16 case.
    TextFormat fTextFormat;
    bool fHangulMode = false;
    bool fArticleWait = false;
    int fImeLen = 0; // UTF-16 units of committed input not yet echoed
    QString fImeResult;
    QString fImeReading;
    QString fImeReadAll;
    bool fMarkCheck = false;
    bool fAddYuki = true;
    int fTop = 16;
    int fLeft = 16;
    int fHeight = 580;
    int fWidth = 780;
    bool fMaxForm = false;
    int fPanelW = 290;
    std::uint32_t fMarkColor = 0x00D2E1D5;
    std::uint32_t ffMarkColor = 0x00F0DACA;
    std::uint32_t fSelBgColor = 0x00FFC6C6;
    std::uint32_t fFontColor = 0x002C201B;
    std::uint32_t fBGColor = 0x00E9F5F4;
    std::uint32_t fPColor = 0x00F0DACA;
    int fFontSize = 11;
    QString fFontName = kFacePMincho;
    int fTopLine = 0;
    int fAlpha = 255;
    QString fExeName;
    QString fDicName;
    // The arguments of a dictionary program that came from a desktop entry's command.
    QStringList fExeArgs;
    QStringList fDicArgs;
};

} // namespace velmor
