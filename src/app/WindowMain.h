#pragma once

// The window's entry, in a module of its own (velmor-window.so) so that the command-line
// speaker does not load the window's libraries. main() has already answered the options that
// need no window.
extern "C" int velmorWindowMain(int argc, char* argv[]);

// What main() looks the entry up by.
inline constexpr char kWindowEntry[] = "velmorWindowMain";

// The text a listener hears of a document (PDF, EPUB, DOCX, ODT, HTML, Markdown) for --say-file,
// read without a display, before main() makes its application object. The text, or why the
// document cannot be read, goes to `told` as UTF-8; returns whether it is the text.
using DocumentTold = void (*)(void* context, const char* utf8);
extern "C" bool velmorDocumentText(int argc, char* argv[], const char* path, DocumentTold told, void* context);
inline constexpr char kDocumentEntry[] = "velmorDocumentText";
