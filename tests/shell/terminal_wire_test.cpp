// What crosses the socket: grids, keys and command replies survive the trip, and malformed
// input is refused without harm.
#include <gtest/gtest.h>

#include "shell/terminal/forwarded_commands.h"
#include "shell/terminal/grid.h"
#include "shell/terminal/terminal_backend.h"
#include "shell/terminal/wire.h"
#include "window_fixture.h"

namespace aequa::test {
namespace {

TEST(WireTest, GridsKeysAndRepliesRoundTrip) {
  term::Grid grid(3, 5);
  grid.Put(1, 3, "abcdef", term::kAttrReverse);
  grid.Put(0, 0, "\x01\xe9");  // not printable: shown as '?'
  grid.cursorRow = 2;
  grid.cursorCol = 4;
  term::Grid back;
  ASSERT_TRUE(term::Grid::Deserialise(grid.Serialise(), back));
  EXPECT_TRUE(back == grid);
  EXPECT_EQ(back.RowText(1), "   ab");
  EXPECT_EQ(back.RowText(0), "??");
  EXPECT_EQ(back.AttrAt(1, 4), term::kAttrReverse);

  fw::Key key;
  ASSERT_TRUE(term::DecodeKey(term::EncodeKey(fw::FunctionKey(4, fw::kModAlt)), key));
  EXPECT_TRUE(key == fw::FunctionKey(4, fw::kModAlt));

  term::ForwardedReply reply{2, "out\n", "err\n"}, decoded;
  ASSERT_TRUE(term::DecodeReply(term::EncodeReply(reply), decoded));
  EXPECT_EQ(decoded.status, 2);
  EXPECT_EQ(decoded.out, "out\n");
  EXPECT_EQ(decoded.err, "err\n");
}

TEST(WireTest, MalformedGridsAndKeysAreRefused) {
  term::Grid grid;
  for (const std::string& bad : {std::string(""), std::string("3 5 0 0"), std::string("2 2 0 0\nabc"),
                                std::string("99999 99999 0 0\n"), std::string("-1 4 0 0\n")}) {
    EXPECT_FALSE(term::Grid::Deserialise(bad, grid)) << bad;
  }
  fw::Key key;
  EXPECT_FALSE(term::DecodeKey("", key));
  EXPECT_FALSE(term::DecodeKey("x y", key));
}

TEST_F(WindowTest, ForwardedCommandsWithWrongArgumentsAreRefused) {
  Open();
  using namespace std::string_literals;
  for (const std::string& payload :
       {""s, "new"s, "new\0" "5\0" "80\0"s, "new\0" "1\0" "80\0" "90\0" "1\0" "4\0"s,
        "priority\0" "0\0"s, "frobnicate\0"s, "--mode"s, "\0\0\0"s}) {
    term::ForwardedReply reply = term::ExecuteForwardedCommand(payload, *backend);
    EXPECT_EQ(reply.status, 2) << payload;
    EXPECT_FALSE(reply.err.empty());
  }
  EXPECT_EQ(DataFile("worksum.ini"), "");
  term::ForwardedReply ok =
      term::ExecuteForwardedCommand("new\0" "5\0" "80\0" "90\0" "1\0" "4\0" "--queue-only\0"s, *backend);
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_NE(DataFile("worksum.ini").find("SUM=5,80,90,1,4,0,80,0"), std::string::npos);
}

}  // namespace
}  // namespace aequa::test
