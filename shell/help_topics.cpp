#include "shell/help_topics.h"

#include "core/settings.h"
#include "shell/command_table.h"

namespace aequa::ui {
namespace {

const char* const kSearches =
    "Aequa runs three searches from its queue (the work file), one line after the other, and "
    "answers one question on demand:\n"
    "\n"
    "SUM lines: equal sums of like powers x1^k + ... + xm^k = y1^k + ... + yn^k (aequa new; "
    "the window's Test/New). See 'aequa help sum'.\n"
    "ADD lines: numbers that are sums of k-th powers in more than one way, such as "
    "1729 = 12^3 + 1^3 = 10^3 + 9^3 (aequa compute; Test/Compute). See 'aequa help add'.\n"
    "PENTA lines: fifth-power identities of 21 fixed shapes (aequa penta; Test/Penta search). "
    "See 'aequa help penta'.\n"
    "Representations: every way of writing one number as a sum of k-th powers (aequa sum; "
    "Test/Compute Sum). Nothing is queued. See 'aequa help representations'.\n"
    "\n"
    "Ranges are written START END: START is searched, END is not (END is exclusive). A queue "
    "line's start moves up as its values are finished, so a stopped search resumes where it "
    "was; a line is removed when its range is done. Results and 'done' lines go to "
    "SOLUTION.TXT (see 'aequa help results').";

const char* const kSum =
    "Equal sums of like powers (SUM lines, aequa new POWER START END LEFT RIGHT). For each x1 "
    "of the range, in turn, the search finds every solution of "
    "x1^k + x2^k + ... + xm^k = y1^k + ... + yn^k whose largest left term is x1: k is POWER, "
    "m is LEFT (left terms, below k) and n is RIGHT (the most right terms). Terms are taken "
    "largest first, so each solution is found once. Values that a small prime rules out are "
    "skipped by a sieve.\n"
    "\n"
    "--mode chooses what is kept after a result with c right terms: best (the default) looks "
    "only for results with fewer right terms from then on (n becomes c-1), same for results "
    "with as many or fewer (n becomes c), exact for every result with up to n right terms. "
    "The lowered n is written to the line and stays for the later values.\n"
    "\n"
    "--duration SECONDS (0: off) gives each value a slice of that many seconds; the values of "
    "the line then take turns, each resumed from its checkpoint, until each is finished.\n"
    "\n"
    "What the log shows, with k=5, m=1, n=4:\n"
    "  Searching (5,1,4) at 1001 (49.836131 bits)\n"
    "The value x1 = 1001 starts: m * x1^k has about 49.8 bits, which chooses the "
    "precision (the number of 64-bit words) of the arithmetic.\n"
    "  5,1,3: 1001-944-673-611\n"
    "The progress line, written every DisplayFrequency seconds and replaced by the next one: "
    "power 5, 1 left term and 3 right terms on the search's path; the left term 1001, then the "
    "right terms being tried, 944, 673 and 611 (1001^5 - 944^5 - 673^5 - 611^5 is what is left "
    "for the remaining right terms). A run of equal terms is written once with its count, "
    "such as 98*2. The right terms go down from x1 - 1, so the first right term tells how far "
    "the value has come: the search ends when it reaches the smallest useful term.\n"
    "  Break at 5,1,4: 1001-944-673-611\n"
    "The same line when the search was stopped there (the numbers after 'at' are k, m and n); "
    "the checkpoint saved at that moment resumes it.\n"
    "  0 242 28245 1784108\n"
    "Written when a value ends: how many times the search placed a right term at each depth, "
    "1 to n (depth 1 is the largest right term y1, depth 2 the next, and so on). Depths the "
    "search enumerates without counting show 0. The counts grow steeply with the depth; they "
    "describe the work of the value, so two runs of the same value can be compared.\n"
    "  (5,1,4) 1001 done in 12 seconds S3:1A2B3C4D Ann Smith\n"
    "The value was searched to its end, in 12 CPU seconds: a signed 'done' line in "
    "SOLUTION.TXT.\n"
    "  (5,1,4) 1001 tested 60 seconds (total: 120 seconds)\n"
    "A slice of --duration ended; the value has had 120 seconds so far and waits for its "
    "next turn.\n"
    "  New result: (5,1,4) 144=133+110+84+27\n"
    "A solution, 144^5 = 133^5 + 110^5 + 84^5 + 27^5: (k,m,c) with c the right terms used, "
    "then the left terms and the right terms. The line after 'New result: ' goes to "
    "SOLUTION.TXT.\n"
    "  Resuming with n=4, as the value was saved\n"
    "  Adjusting number of right terms\n"
    "A checkpoint was saved with another n than the line now has; the value resumes with the "
    "checkpoint's n, so nothing is missed.\n"
    "\n"
    "The window's status (and the tray tip) reads 'k=5, on 1001 from 1000 to 1010, m=1, n=4': "
    "the value being searched and the line's range. Checkpoints: see 'aequa help files'.";

const char* const kAdd =
    "Sums of k-th powers in more than one way (ADD lines, aequa compute POWER START END TERMS "
    "[--memory MB]). The search lists the numbers from START^k up to END^k (END is exclusive) "
    "that are a sum of at most TERMS k-th powers in two ways, taking the sums in ascending "
    "order through a tree of sums held in --memory megabytes (1 by default; a few megabytes "
    "is fastest). The line's START moves up as the numbers below START^k are done.\n"
    "\n"
    "What the log shows, with k=3 and TERMS=2:\n"
    "  Range: 1-1000000 (1 done in 0 seconds)\n"
    "The tree covers the sums from 1 to 1000000 (END^k; with less memory the sums are taken "
    "in several windows, each starting where the last one ended). The numbers in brackets: "
    "every sum below x^k has been searched for the x shown, and the CPU seconds so far. With Info=1 in aequo.ini the line also gives the sums the tree had to "
    "evict and the deletions it made: '(1 done in 0 seconds, 5/120 deletions)'.\n"
    "  (3,2,2) at 1729\n"
    "A collision: 1729 is a sum of 2 cubes and also a sum of 2 cubes in another way; the "
    "numbers are k, the terms of the first way and the terms of the second. Only collisions of "
    "few terms for the power are reported (ForceAVL=1 reports every one). The line goes to "
    "SOLUTION.TXT; 'aequa sum 3 2 1729' lists the ways.\n"
    "  (3,2) 100 done in 3 seconds S3:1A2B3C4D Ann Smith\n"
    "A signed 'done' line: every sum below 100^3 was searched from the start of the line; the "
    "line's start moves up to 100 (here the line is finished).\n"
    "\n"
    "The window's status reads 'Sum 3,2: 1-100', the power, the terms and the line's range. "
    "The checkpoint A<k>-<n>-<first>-<end> keeps the window reached; see 'aequa help files'. "
    "The collision lines found, the done line, the line's start and the checkpoint are saved "
    "together every five seconds, at a save request and when the search stops or ends: after "
    "a crash the search goes on from the last save and loses no line.";

const char* const kPenta =
    "The Penta search (PENTA lines, aequa penta 5 START END TYPE) looks for fifth-power "
    "identities +-a^5 +- b^5 +- c^5 +- d^5 = e^5 with every term below 100000. TYPE (0 to 20) "
    "is one of 21 fixed shapes of signs and congruences; each a of the range is searched in "
    "full. Time per a depends on the type and on a: types 12, 15 and 18 take about 100 "
    "seconds, most others a second or two.\n"
    "\n"
    "What the log shows:\n"
    "  Searching 5 5's on 133 Penta2\n"
    "The value a = 133 of type 2 starts.\n"
    "  133+110-27\n"
    "The progress line, replaced as the search goes: the a, b and c being tried (with the "
    "signs of the type's shape).\n"
    "  Penta2:      133^5 +       27^5 +       84^5 -      144^5 S3:A9C202AB Ann Smith\n"
    "A candidate: the four terms of the identity with their signs, signed, in SOLUTION.TXT.\n"
    "  (5,2) 130-139 done in 25 seconds (1 candidates)\n"
    "A stretch of a finished: the values 130 to 139 (both included) of type 2, the CPU "
    "seconds and the candidates found since the last such line. It comes every SaveFrequency "
    "minutes (after every a with ForceDisplay=1), when the search stops and when the line "
    "ends; it is signed, and the line's start then moves past it.\n"
    "\n"
    "The window's status reads 'k=5, from 133 to 140'. A stopped line resumes at the a it was "
    "searching; the Penta search writes no checkpoint file.";

const char* const kRepresentations =
    "aequa sum POWER TERMS NUMBER (the window's Test/Compute Sum) lists every way of writing "
    "NUMBER (below 2^128) as a sum of at most TERMS POWER-th powers, and writes each to "
    "SOLUTION.TXT:\n"
    "  1729=12+1\n"
    "  1729=10+9\n"
    "  Found 2 sums of 1729 with 2 terms of power 3\n"
    "The terms are the bases, largest first: 1729 = 12^3 + 1^3. A run of equal terms is written "
    "once with its count: '50=5*2' is 5^2 + 5^2. When the search is stopped (Ctrl+C, Stop) the "
    "count line reads 'Stopped after N sums of ...' and counts the sums found so far. Nothing "
    "is queued, and a queue that runs is not disturbed beyond the time it takes.";

const char* const kMessages =
    "Other lines of the log, and what to do:\n"
    "  There are no more work to do.\n"
    "  Please send the solution.txt file to ...\n"
    "  Computation finished.\n"
    "  Ask for a new range.\n"
    "The queue is finished: send SOLUTION.TXT to the coordinator and queue a new range.\n"
    "  Execution halted.\n"
    "The search stopped (Stop, Esc, Ctrl+C, a signal, aequa stop); its progress is saved and "
    "'aequa continue' (Test/Continue) resumes it.\n"
    "  Range truncated.  Maximum number of exponents exceeded.\n"
    "The queue is full (MaxExponents lines); the range was not queued.\n"
    "  This range is already queued\n"
    "  This range overlaps the queued line SUM=...\n"
    "The first refuses the line; the second queues it and warns that part of the work is "
    "already there.\n"
    "  Illegal line in INI file: KEY=VALUE\n"
    "  Not a number for END in INI file: SUM=...\n"
    "A line of the work file that cannot be searched is reported, in SOLUTION.TXT too, and "
    "dropped.\n"
    "  Waiting until the results file can be written; Stop ends the wait.\n"
    "SOLUTION.TXT cannot be written (read-only, full disk, held open): the work stops with its "
    "progress kept, the results wait in memory and are written first when the file takes them.\n"
    "  [2] 4291 to 6000 go to another worker as a line of their own\n"
    "With several workers (setting Workers): worker 2 cut its line in two so that an idle "
    "worker has work; the upper part is a new line of worksum.ini. [n] names the worker of "
    "each line of the log.\n"
    "  Internal error N on ...\n"
    "A search failed its own checks and its line was dropped; the log names "
    "the file to send to the coordinator with SOLUTION.TXT.\n"
    "  The checkpoint S1-1001.5 fails its checksum ...\n"
    "A checkpoint that cannot be trusted is renamed to <name>.BAD (kept for the coordinator) "
    "and the value is searched afresh.";

const char* const kFiles =
    "Every file is in the data directory: the program's own directory when it can be written, "
    "else $XDG_DATA_HOME/aequa (~/.local/share/aequa), or the directory given by --dir. Text "
    "files are written with CR LF line ends (LF is read too), each through a temporary file "
    "that is renamed into place.\n"
    "\n"
    "worksum.ini: the queue, one work line per range (see 'aequa help queue'). Lines may be "
    "edited while no copy runs. In both INI files, lines that start with # or ; are comments "
    "and stay where they are.\n"
    "aequo.ini: the settings (see 'aequa help settings').\n"
    "SOLUTION.TXT: the results, the 'done' lines and the messages, appended, never rewritten "
    "(see 'aequa help results'). Send it to the coordinator.\n"
    "S<m>-<x>.<k>: the checkpoint of the equal-sums value x (m left terms, power k), such as "
    "S1-1001.5, saved every SaveFrequency minutes and when the search stops; deleted when the "
    "value is finished. S<k>-<m>.BAK is the previous checkpoint, kept as a backup. "
    "S<m>-<x>.<k>.DONE: with time slices, a value finished before a smaller one of its line; "
    "its turns are skipped, and the file goes when the line's start passes it.\n"
    "A<k>-<n>-<first>-<end> and the same with .BAK: the checkpoint of a sum-collision line "
    "(power k, n terms, its range from first to end) and its backup; a file A<k>-<n> of an "
    "earlier version is still resumed.\n"
    "<name>.BAD: a checkpoint set aside because it could not be trusted.\n"
    "aequa.lock: held while a copy runs in the directory, so that a second copy does not "
    "search the same queue; aequa.sock: the running copy's socket, for windows and "
    "commands.\n"
    "part.ini: in a data directory made by aequa split, the part's own line and the whole "
    "range it belongs to; aequa merge reads it.";

const char* const kQueue =
    "worksum.ini holds one line per range, KEY=values separated by commas, searched from the "
    "first line down. END is exclusive in every kind.\n"
    "  SUM=power,start,end,left,right,mode,current,duration\n"
    "Equal sums: power k; the values x1 from start (the first not yet finished) to end; m left "
    "terms; n right terms; mode 0 best, 1 same, 2 exact; current, the value being searched "
    "(with duration, the one whose turn it is); duration, the slice in seconds (0: none).\n"
    "  ADD=power,start,end,terms,megabytes\n"
    "Sums in several ways: power k; the terms from start to end (start moves up as sums are "
    "done); the number of terms; the memory of the tree in megabytes.\n"
    "  PENTA=power,start,end,type\n"
    "The Penta search: power 5; a from start to end; the type, 0 to 20.\n"
    "\n"
    "Each kind may end with one more field, the value where the line's range began, written "
    "once its start has moved past it (a line cut in two for another worker begins at the "
    "cut).\n"
    "Missing fields read as 0. A line that breaks a rule (a power below 2, no range, too many "
    "terms) is reported and dropped when it is read. The queue holds at most MaxExponents "
    "lines.";

const char* const kResults =
    "SOLUTION.TXT is appended to, never rewritten. Its lines:\n"
    "  [Mon Dec 07 14:02:11 2026]\n"
    "A stamp: written before a line when more than 5 minutes have passed since the last one.\n"
    "  User: Ann Smith, ann@example.org\n"
    "The identity (aequa user, Test/User Information), written when it is set.\n"
    "  (5,1,4) 144=133+110+84+27\n"
    "  (3,2,2) at 1729\n"
    "  1729=12+1\n"
    "Results of the equal-sums search, the sum-collision search and the representation "
    "command (see their topics).\n"
    "  Penta2:      133^5 +       27^5 +       84^5 -      144^5 S3:A9C202AB Ann Smith\n"
    "  (5,1,4) 144 done in 0 seconds S3:1A2B3C4D Ann Smith\n"
    "Signed lines: Penta candidates and every 'done' line end with ' S3:' and a tag of 8 "
    "hexadecimal digits, then the user's name. The tag is a CRC-32 of the text before ' S3:' "
    "(the polynomial EDB88320 taken from the low bit, starting from 0, not inverted), so a "
    "line changed by hand no longer matches; aequa results and aequa merge check it.\n"
    "Other lines are messages: a count of representations, a line of the work file that was "
    "dropped, a checkpoint set aside, an internal error.\n"
    "\n"
    "'aequa results' lists the results (--all: every line), checks every tag and shows which "
    "parts of each range have 'done' lines, with the gaps.";

const char* const kWindow =
    "Running 'aequa' without a command opens the window (in a terminal, or the program's "
    "window on Windows). The log shows the lines described in the topics of the searches; "
    "the status line and the tray tip show what runs.\n"
    "\n"
    "Test: New (SUM), Compute (ADD), Compute Sum (representations), Penta search (PENTA) each "
    "ask for a range and queue it; Status shows the queue; User Information records your "
    "name and address; Continue resumes the queue; Stop halts it, keeping all progress; Exit "
    "ends the program.\n"
    "Options: Preferences (SaveFrequency, DisplayFrequency), Priority (1 lowest to 10), "
    "Workers (how many searches run at once), "
    "Install (start at boot for this data directory, or Uninstall), Tray Icon (the window "
    "hides to a tray icon when minimised), No Icon (it hides with no icon).\n"
    "The tray icon (Windows): a double-click shows or hides the window; a right-click opens "
    "a menu of Open, Stop (or Continue), Status and Exit. With ResultBalloon=1 in aequo.ini "
    "each new result is shown in a balloon there.\n"
    "Help: these topics, and About.\n"
    "\n"
    "In a terminal: F10 or Alt+letter opens the menu; Ctrl+Z or F9 minimises, and the search "
    "goes on in the background: run aequa again to bring the window back. In this help, the "
    "arrows and Page Up/Page Down scroll, Enter closes it.";

std::string SettingsText() {
  const SettingsValues defaults;
  auto number = [](int32_t v) { return std::to_string(v); };
  return std::string(kSettingsFileName) +
         " holds the settings, one KEY=value a line; a missing key takes its default. The "
         "commands user, preferences, priority and workers (and the window's dialogs) write "
         "them.\n"
         "\n"
         "UserName, UserEmailAddr: your identity, at most 128 characters each; the name signs "
         "every tagged line of SOLUTION.TXT.\n"
         "SaveFrequency: minutes between checkpoint saves (and Penta 'done' lines); default " +
         number(defaults.SaveFrequency) + ", below 1 reads as 1.\n"
         "DisplayFrequency: seconds between progress lines; default " +
         number(defaults.DisplayFrequency) + ", below 1 reads as 1.\n"
         "Priority: 1 (lowest) to 10; default " + number(defaults.Priority) +
         ". 0 reads as 1 and anything above 10 as 10.\n"
         "Affinity: the processor of the first worker, from 0 (worker i runs on Affinity + i); "
         "default " + number(defaults.Affinity) + " (any).\n"
         "Workers: search threads sharing the queue, 1 to 64; default the number of processors. "
         "Each worker takes a line of its own; an idle worker gets the upper part of the "
         "busiest line, cut in two in worksum.ini. With several workers each log line starts "
         "with the worker's number, [1], [2], ...\n"
         "MaxExponents: the most lines the queue takes; default 20, at most 128.\n"
         "TrayIcon: 1 (default " + number(defaults.TrayIcon) +
         ") hides the minimised window to a tray icon.\n"
         "HideIcon: 1 hides the minimised window with no icon; default " +
         number(defaults.HideIcon) + ".\n"
         "NoSave: 1 writes no equal-sums checkpoints, and each value gets one slice; default " +
         number(defaults.NoSave) + ".\n"
         "Info: 1 adds the tree's evictions and deletions to the 'Range:' lines; default " +
         number(defaults.Info) + ".\n"
         "ForceAVL: 1 reports every collision of the sum tree; default " +
         number(defaults.ForceAVL) + ".\n"
         "ForceDisplay: 1 writes a Penta 'done' line after every a; default " +
         number(defaults.ForceDisplay) + ".\n"
         "AutoInstall: 1 once the program was registered to start at boot; default " +
         number(defaults.AutoInstall) + ".\n"
         "ResultBalloon: 1 shows each new result in a balloon at the tray icon (Windows); "
         "default " + number(defaults.ResultBalloon) + ".\n"
         "Left, Top, Right, Bottom: the window's place, saved when it closes.";
}

std::string CommandsText() {
  return "aequa [--dir DIR] COMMAND [ARGUMENTS]: every command works on the data directory "
         "(see 'aequa help files'). While a copy runs in the directory, that copy carries the "
         "commands out.\n"
         "\n" +
         CommandsHelp();
}

}  // namespace

const std::vector<HelpTopic>& HelpTopics() {
  static const std::vector<HelpTopic> topics = {
      {"searches", "What Aequa searches for", kSearches},
      {"sum", "Equal sums of like powers (SUM lines) and their progress lines", kSum},
      {"add", "Sums of powers in several ways (ADD lines) and their progress lines", kAdd},
      {"penta", "The Penta search (PENTA lines) and its progress lines", kPenta},
      {"representations", "The ways of writing one number (aequa sum)", kRepresentations},
      {"messages", "Other lines of the log", kMessages},
      {"queue", "The work lines of worksum.ini, field by field", kQueue},
      {"results", "The lines of SOLUTION.TXT and their tags", kResults},
      {"files", "The files of the data directory", kFiles},
      {"settings", "The settings of aequo.ini", SettingsText()},
      {"window", "The window, its menus and keys", kWindow},
      {"commands", "The commands of the command line", CommandsText()},
  };
  return topics;
}

const HelpTopic* FindHelpTopic(const std::string& name) {
  for (const HelpTopic& t : HelpTopics()) {
    if (name == t.name) return &t;
  }
  return nullptr;
}

std::string HelpContents() {
  std::string text = "Help topics (aequa help TOPIC):\n";
  for (const HelpTopic& t : HelpTopics()) {
    std::string name = t.name;
    text += "  " + name + std::string(name.size() < 17 ? 17 - name.size() : 1, ' ') + t.title +
            "\n";
  }
  return text;
}

std::string HelpTopicText(const HelpTopic& topic) {
  return std::string(topic.title) + "\n\n" + topic.text + "\n";
}

std::string FullHelpText() {
  std::string text = HelpContents();
  for (const HelpTopic& t : HelpTopics()) {
    text += "\n" + std::string(t.name) + ": " + HelpTopicText(t);
  }
  return text;
}

std::string WrapHelpText(const std::string& text, size_t width) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    // Examples (indented lines) stay as they are.
    if (line.empty() || line[0] == ' ' || line.size() <= width) {
      out += line + "\n";
      continue;
    }
    while (line.size() > width) {
      size_t cut = line.rfind(' ', width);
      if (cut == std::string::npos || cut == 0) cut = width;
      out += line.substr(0, cut) + "\n";
      line.erase(0, cut);
      while (!line.empty() && line[0] == ' ') line.erase(0, 1);
    }
    if (!line.empty()) out += line + "\n";
  }
  return out;
}

}  // namespace aequa::ui
