// `aequa status --json` checked against its documented schema, and the queue listed, edited
// and refused its running line, by the command line alone and through a running copy.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa::test {
namespace {

// A JSON value, as far as the schema check needs it.
struct Json {
  enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;
};

// A strict reader of the JSON the program writes; false on anything malformed.
class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : s_(text) {}
  bool Read(Json& out) {
    if (!Value(out)) return false;
    Space();
    return p_ == s_.size();
  }

 private:
  void Space() {
    while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r')) ++p_;
  }
  bool Word(const char* w) {
    const std::string word = w;
    if (s_.compare(p_, word.size(), word) != 0) return false;
    p_ += word.size();
    return true;
  }
  bool String(std::string& out) {
    if (p_ >= s_.size() || s_[p_] != '"') return false;
    for (++p_; p_ < s_.size() && s_[p_] != '"'; ++p_) {
      if (static_cast<unsigned char>(s_[p_]) < 0x20) return false;
      if (s_[p_] == '\\') ++p_;
      out += s_[p_];
    }
    return p_++ < s_.size();
  }
  bool Value(Json& v) {
    Space();
    if (p_ >= s_.size()) return false;
    const char c = s_[p_];
    if (c == '{') {
      v.type = Json::Type::Object;
      ++p_;
      Space();
      if (p_ < s_.size() && s_[p_] == '}') return ++p_, true;
      for (;;) {
        Space();
        std::string name;
        if (!String(name) || v.members.count(name) != 0) return false;
        Space();
        if (!Word(":") || !Value(v.members[name])) return false;
        Space();
        if (Word("}")) return true;
        if (!Word(",")) return false;
      }
    }
    if (c == '[') {
      v.type = Json::Type::Array;
      ++p_;
      Space();
      if (Word("]")) return true;
      for (;;) {
        v.items.emplace_back();
        if (!Value(v.items.back())) return false;
        Space();
        if (Word("]")) return true;
        if (!Word(",")) return false;
      }
    }
    if (c == '"') return v.type = Json::Type::String, String(v.text);
    if (Word("null")) return v.type = Json::Type::Null, true;
    if (Word("true") || Word("false")) return v.type = Json::Type::Bool, true;
    const size_t begin = p_;
    while (p_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[p_])) || s_[p_] == '.' ||
                              s_[p_] == '-')) {
      ++p_;
    }
    v.type = Json::Type::Number;
    v.text = s_.substr(begin, p_ - begin);
    return p_ > begin;
  }
  const std::string& s_;
  size_t p_ = 0;
};

using T = Json::Type;
// Each member of an object: its types (a member may be null where the schema allows).
using Schema = std::map<std::string, std::vector<T>>;

const Schema kStatusSchema = {
    {"running", {T::Bool}},          {"stopping", {T::Bool}},
    {"work_file_readable", {T::Bool}}, {"lines", {T::Array}},
    {"last_result", {T::String, T::Null}},
};
const Schema kLineSchema = {
    {"number", {T::Number}},       {"text", {T::String}},         {"kind", {T::String}},
    {"valid", {T::Bool}},          {"running", {T::Bool}},        {"power", {T::Number}},
    {"start", {T::Number}},        {"end", {T::Number}},          {"first_start", {T::Number}},
    {"percent_done", {T::Number}}, {"cpu_seconds", {T::Number}},  {"units_done", {T::Number}},
    {"units_total", {T::Number}},  {"units_per_hour", {T::Number}},
    {"seconds_left", {T::Number, T::Null}},
};
// The fields of each kind of line beyond those every line has.
const std::map<std::string, std::vector<std::string>> kKindFields = {
    {"SUM", {"left_terms", "right_terms", "variant", "current", "duration"}},
    {"ADD", {"terms", "megabytes"}},
    {"PENTA", {"variant"}},
};

void ExpectSchema(const Json& object, const Schema& schema, const std::string& where) {
  ASSERT_EQ(object.type, T::Object) << where;
  for (const auto& [name, types] : schema) {
    auto m = object.members.find(name);
    ASSERT_NE(m, object.members.end()) << where << " lacks " << name;
    bool allowed = false;
    for (T t : types) allowed = allowed || m->second.type == t;
    EXPECT_TRUE(allowed) << where << "." << name << " has the wrong type";
  }
}

// Checks the whole status and returns it.
Json CheckedStatus(const std::string& text) {
  Json status;
  EXPECT_TRUE(JsonReader(text).Read(status)) << text;
  ExpectSchema(status, kStatusSchema, "status");
  for (const Json& line : status.members["lines"].items) {
    ExpectSchema(line, kLineSchema, "line");
    const auto kind = kKindFields.find(line.members.at("kind").text);
    EXPECT_NE(kind, kKindFields.end()) << text;
    if (kind == kKindFields.end()) continue;
    for (const std::string& field : kind->second) {
      EXPECT_EQ(line.members.count(field), 1u) << field << " in " << text;
    }
  }
  return status;
}

class QueueAndStatus : public ::testing::Test {
 protected:
  void SetUp() override { WriteFile(dir.file("aequo.ini"), "Priority=9\r\nWorkers=1\r\n"); }
  ProcessResult Aequa(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", dir.path()});
    return RunAequa(args);
  }
  std::string Queue() { return ReadFile(dir.file("worksum.ini")); }
  TempDir dir{false};
};

TEST_F(QueueAndStatus, StatusJsonFollowsItsSchemaWithProgressAndTheLastResult) {
  WriteFile(dir.file("worksum.ini"),
            "PENTA=5,150,200,2,100,300\r\nSUM=5,80,90,1,4,0,80,0\r\nADD=3,1,1000,2,4\r\n");
  WriteFile(dir.file("SOLUTION.TXT"), "[Mon Dec 07 10:00:00 2026]\r\n1729=12+1\r\n");
  const ProcessResult r = Aequa({"status", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json status = CheckedStatus(r.out);
  ASSERT_EQ(status.members["lines"].items.size(), 3u);
  const Json& penta = status.members["lines"].items[0];
  EXPECT_EQ(penta.members.at("kind").text, "PENTA");
  EXPECT_EQ(penta.members.at("first_start").text, "100");
  EXPECT_EQ(penta.members.at("percent_done").text, "50.000");
  EXPECT_EQ(penta.members.at("seconds_left").text, "300");
  EXPECT_EQ(status.members["lines"].items[1].members.at("seconds_left").type, T::Null);
  EXPECT_EQ(status.members["last_result"].text, "1729=12+1");

  const ProcessResult plain = Aequa({"status"});
  EXPECT_NE(plain.out.find("1. Penta2 on k=5, from 150 to 200\n"
                           "  50.0% done, 0:05:00 CPU, about 0:05:00 left\n"),
            std::string::npos)
      << plain.out;
}

TEST_F(QueueAndStatus, QueueListsRemovesAndMovesLinesByNumber) {
  WriteFile(dir.file("worksum.ini"), "PENTA=5,1,10,2\r\nADD=3,1,20,2,4\r\nPENTA=5,20,30,0\r\n");
  ProcessResult r = Aequa({"queue"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("1. PENTA=5,1,10,2\n   0.0% done"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("3. PENTA=5,20,30,0\n"), std::string::npos) << r.out;

  r = Aequa({"queue", "move", "3", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Queue(), "PENTA=5,20,30,0\r\nPENTA=5,1,10,2\r\nADD=3,1,20,2,4\r\n");
  r = Aequa({"queue", "remove", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Queue(), "PENTA=5,20,30,0\r\nADD=3,1,20,2,4\r\n");

  struct Refused {
    std::vector<std::string> args;
    int status;
    const char* says;
  };
  const Refused refused[] = {
      {{"queue", "remove", "7"}, 1, "There is no line 7 in the queue."},
      {{"queue", "remove", "x"}, 2, "Line"},
      {{"queue", "move", "1"}, 2, "'queue move' takes 2 line numbers"},
      {{"queue", "drop", "1"}, 2, "'queue' takes remove N or move N M"},
  };
  for (const Refused& c : refused) {
    std::vector<std::string> args = c.args;
    r = Aequa(args);
    EXPECT_EQ(r.status, c.status) << args[1];
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  EXPECT_EQ(Queue(), "PENTA=5,20,30,0\r\nADD=3,1,20,2,4\r\n");
}

// A running copy searches line 1 (a Penta range far too long to end during the test).
TEST_F(QueueAndStatus, ARunningCopyEditsItsQueueButNotTheLineItSearches) {
  setenv("XDG_CONFIG_HOME", (dir.path() + "/config").c_str(), 1);
  setenv("AEQUA_AUTOSTART", "xdg", 1);
  WriteFile(dir.file("worksum.ini"),
            "PENTA=5,5000,900000,2\r\nPENTA=5,1,10,2\r\nADD=3,1,20,2,4\r\n");
  BackgroundAequa serve({"--dir", dir.path(), "serve"});
  bool running = false;
  for (int i = 0; i < 600 && !running; ++i) {
    usleep(50000);
    const ProcessResult r = Aequa({"status", "--json"});
    if (r.status != 0 || r.out.find("\"running\":true") == std::string::npos) {
      Aequa({"continue"});
      continue;
    }
    Json status = CheckedStatus(r.out);
    running = status.members["lines"].items.at(0).members.at("running").type == T::Bool &&
              r.out.find("\"number\":1,\"text\":\"PENTA=5,5000,900000,2\",\"kind\":\"PENTA\","
                         "\"valid\":true,\"running\":true") != std::string::npos;
  }
  ASSERT_TRUE(running);

  ProcessResult r = Aequa({"queue", "remove", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Line 1 or a line it passes is being searched; stop the search first."),
            std::string::npos)
      << r.err;
  r = Aequa({"queue", "move", "3", "1"});
  EXPECT_EQ(r.status, 1);
  r = Aequa({"queue", "move", "3", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  r = Aequa({"queue"});
  EXPECT_NE(r.out.find("(running)\n"), std::string::npos) << r.out;
  const ProcessResult report = Aequa({"status"});
  EXPECT_NE(report.out.find(" (being searched)\n2. "), std::string::npos) << report.out;
  EXPECT_NE(r.out.find("2. ADD=3,1,20,2,4\n"), std::string::npos) << r.out;
  r = Aequa({"queue", "remove", "3"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string queue = Queue();
  EXPECT_EQ(queue.find("PENTA=5,1,10,2"), std::string::npos) << queue;
  EXPECT_NE(queue.find("ADD=3,1,20,2,4"), std::string::npos) << queue;
  EXPECT_EQ(queue.rfind("PENTA=5,", 0), 0u) << queue;

  serve.Signal(SIGTERM);
  ASSERT_TRUE(serve.WaitForExit());
}

}  // namespace
}  // namespace aequa::test
