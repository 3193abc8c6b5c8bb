// The opt-in trace of a run (VORLABWS_TRACE): one UTF-8 file, owned here, in which the seams record
// each event as an entry stamped with the milliseconds since the run began, written as it happens
// so a killed run leaves every entry up to that moment. Off or unwritable, recording does nothing.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace vorlabws {

// Bodies longer than this are cut there in the trace, with a note of their whole length.
constexpr size_t kTraceBodyLimit = 1024 * 1024;

// Opens the trace when VORLABWS_TRACE names a folder, in a file named after the moment and the job:
// "20261211-150812.345_15_2.trace" (a testata or riga that is no decimal integer reads "invalid").
// A folder that cannot take the file costs one line on standard error naming it; the run goes on
// untraced. The same happens when a later entry cannot be written.
// `testata` and `riga` are the command line's bytes.
void StartTrace(std::string_view testata, std::string_view riga);

// Whether entries are being recorded: seams check it before they build an entry's texts.
bool TraceOn();

// Records one entry: its title line and, under it, the detail text (UTF-8, any number of lines).
void Trace(std::string_view title, std::string_view details = {});

// The words of a command line as a shell would take them back: quoted when they hold a blank, a
// quote or nothing at all.
std::string TraceCommandLine(const std::vector<std::string>& words);

// Records a settings or data file as read: the title with the path, then the file's text (in the
// encoding a Windows text file comes in), or that it cannot be read.
void TraceFileText(std::string_view title, const std::u16string& path);

// A body as the trace shows it: UTF-8 as received, other bytes read as Windows-1252, cut past
// kTraceBodyLimit with a note of the whole length.
std::string TraceBody(std::string_view bytes);

// Measures one step for the entry that ends it.
class TraceStopwatch {
 public:
  TraceStopwatch() : start_(std::chrono::steady_clock::now()) {}
  // The time since construction, as the trace writes durations: "12.345 ms".
  std::string Elapsed() const;

 private:
  std::chrono::steady_clock::time_point start_;
};

}  // namespace vorlabws
