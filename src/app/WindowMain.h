#pragma once

// The window's entry, in a module of its own (velmor-window.so) so that the command-line
// speaker does not load the window's libraries. main() has already answered the options that
// need no window.
extern "C" int velmorWindowMain(int argc, char* argv[]);

// What main() looks the entry up by.
inline constexpr char kWindowEntry[] = "velmorWindowMain";

namespace velmor {
struct OpenedFile;
}

// The text a listener hears of a document (PDF, EPUB, DOCX, ODT, HTML, Markdown) for --say-file,
// read without a display, before main() makes its application object. The document, or why it
// cannot be read (UTF-8), goes to `told`; returns whether it is the document.
using DocumentTold = void (*)(void* context, const velmor::OpenedFile* document, const char* error);
extern "C" bool velmorDocumentText(int argc, char* argv[], const char* path, DocumentTold told, void* context);
inline constexpr char kDocumentEntry[] = "velmorDocumentText";
