#pragma once

#include "core/ChapterStart.h"
#include "speech/AudioFile.h"

#include <QString>
#include <vector>

namespace velmor {

// What to save as audio and how.
struct SpeechExportRequest {
    QString text;
    // The audio file; with byChapters, its folder and extension are those of the chapter files.
    QString path;
    bool byChapters = false;
    // The book's title; empty: the first heading (or the first line above it), else the name of
    // the audio file.
    QString title;
    // The voice, for the artist tag.
    QString voice;
    // The chapters the document named itself (findChapters).
    std::vector<ChapterStart> knownChapters;
};

// One audio file of an export, with its part of the text and its tags.
struct SpeechExportPiece {
    QString text;
    QString path;
    AudioTags tags;
};

// The files an export writes: one per chapter (findChapters) named "NN - title.ext" in the
// folder of the request's path, tagged with the chapter's title and number and the book as the
// album; a single file at path, tagged with the book's title, when chapters are not wanted or
// the text has none.
std::vector<SpeechExportPiece> speechExportPieces(const SpeechExportRequest& request);

} // namespace velmor
