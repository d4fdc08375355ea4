#pragma once
// The on-screen log: a rolling block of 47 completed lines of at most 127 characters and the
// line being built, and the operations that also write to the results file. A search's
// progress line can be overwritten by its next text (ReplaceNextLine) while it is the newest
// line. With several workers each worker's lines on the screen start with its number "[i] ".
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/shared_words.h"

namespace aequa {

inline constexpr int kLogLines = 47;
inline constexpr size_t kLogLineSize = 128;

// Set once at shutdown: LogText no longer asks the window to repaint.
extern std::atomic<bool> NoRedraw;

// Appends text to the log (screen only) and asks the window to repaint unless NoRedraw: the
// program's own text, or a search thread's.
void LogText(const char* text);
void LogText(const SearchControl& from, const char* text);
// The next text of `from` overwrites its last line, if that is still the newest line of the
// log (a progress line followed by the next one); any text of `from` clears the request.
void ReplaceNextLine(const SearchControl& from);
// LogText, then AppendResults, with the same text. Returns AppendResults' result.
int LogMessage(const char* text);
int LogMessage(const SearchControl& from, const char* text);
// Forms "<text> S3:<crc> <user name>\n" and gives it to LogText and AppendResults.
int ReportResult(const char* text);
int ReportResult(const SearchControl& from, const char* text);

// Tells the window that a search found a result (`line`, as written to the results file),
// for a balloon at the tray icon when the setting "ResultBalloon" is on.
void AnnounceResult(const char* line);

// Completed line i (1 = newest .. 47), as the view paints it.
std::string CompletedLine(int i);
// Counts every change of the log, so that a painter can tell whether to repaint.
uint64_t LogRevision();

// Called, outside the log's lock, with each line the log completes or rewrites in place
// (`replaced` true), without its line end. The command line prints them.
using LogLineSink = void (*)(const char* line, bool replaced);
void SetLogLineSink(LogLineSink sink);

// The user's identity, which ends every result line and is recorded in the results file.
void SetUserIdentity(const std::string& name, const std::string& email);
std::string UserName();
std::string UserEmailAddr();

// The status text last shown ("Aequa - ..."), kept with the log for the terminal title and
// tests. RecordStatusText sets the program's own status (and forgets the searches'); a search's
// status joins those of the other searches running ("[1] ... | [2] ..."), or stands alone with
// a single worker; the composed text is returned.
void RecordStatusText(const std::string& text);
std::string RecordWorkerStatus(uint32_t index, const std::string& text);
std::string LastStatusText();
// Each search thread's status by control index ("" for an idle one).
std::vector<std::string> WorkerStatusTexts();

// The one lock of the output: the log, the user identity, the status text and the results
// file. Never held across a repaint request or a call out.
std::mutex& OutputLock();

// Empties the log and clears both flags (tests).
void ResetLog();

}  // namespace aequa
