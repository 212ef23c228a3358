#pragma once

// `qorvi --export FORMAT [--lang KEY] FILE [-o OUTPUT]`: a file coloured by
// the parser its extension maps to (or of the type key KEY) and written as HTML or RTF (or as plain or Unix
// text) without a window - for scripts, build steps and web pages. No
// display is needed; the output goes to standard output unless -o names a
// file, which is then replaced only when the whole export succeeded.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace qorvi {

struct ExportRequest {
    std::string format; // "html", "rtf", "text" or "unix"
    std::string lang;   // a type key ("cpp" ...); empty: by the file's extension
    std::string input;
    std::string output; // empty: standard output
};

// The request when the arguments ask for an export; `error` is set when
// they ask for one but are incomplete or name an unknown format.
std::optional<ExportRequest> exportRequest(const std::vector<std::string>& args, std::string& error);

// Runs the export; returns the exit status and reports failures on `err`
// as "qorvi: " and the message.
int runExport(const ExportRequest& request, std::FILE* err);

// Replaces the process by qorvi-export with the same arguments when that
// program sits beside this one (or in ../libexec/qorvi): an export then does
// not carry the memory of the window system's libraries. Returns only when
// there is no such program to run.
void execExportProgram(char** argv);

} // namespace qorvi
